#include "runner/TRunner.h"

#include <QEvent>
#include <QEventLoop>
#include <QProgressBar>
#include <QRegion>
#include <QThread>
#include <QVBoxLayout>
#include <exception>

namespace {

std::function<void(QDialog&)>& ShownHook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

// The worker: runs the operation once and keeps its outcome for the GUI thread, which
// reads it only after the thread has finished.
class TCopyThread final : public QThread {
  public:
    explicit TCopyThread(std::function<void()> op) : op_(std::move(op)) {}

    int Result() const { return result_; }
    const std::string& Error() const { return error_; }

  protected:
    void run() override {
        try {
            op_();
            result_ = TRunner::mrOK;
        } catch (const std::exception& e) {
            error_ = e.what();
            result_ = TRunner::mrAbort;
        } catch (...) {
            result_ = TRunner::mrAbort;
        }
    }

  private:
    std::function<void()> op_;
    int result_ = TRunner::mrAbort;
    std::string error_;
};

}  // namespace

TAVICopyDlg::TAVICopyDlg(QWidget* owner, TRunner::Look look)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    const bool find = look == TRunner::Look::Find;
    setObjectName(find ? QStringLiteral("AVIFindDlg") : QStringLiteral("AVICopyDlg"));
    setWindowModality(Qt::ApplicationModal);
    setAccessibleName(QStringLiteral("Please wait"));
    const QColor colour = look == TRunner::Look::Copy     ? QColor(0xc4, 0xc4, 0xff)
                          : look == TRunner::Look::Delete ? QColor(0xc4, 0xc4, 0xc4)
                                                          : QColor(0xc4, 0xff, 0xc4);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);

    if (find) {
        setFixedSize(104, 104);
        setMask(QRegion(0, 0, 104, 104, QRegion::Ellipse));
    } else {
        // Two circles as high as the window, one at each end, joined by the band between.
        setFixedSize(320, 100);
        QRegion shape(0, 0, 100, 100, QRegion::Ellipse);
        shape += QRegion(220, 0, 100, 100, QRegion::Ellipse);
        shape += QRegion(50, 0, 220, 100);
        setMask(shape);
    }
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("Animate1"));
    busy_->setRange(0, 0);  // a busy indicator that moves by itself
    busy_->setTextVisible(false);
    busy_->setAccessibleName(QStringLiteral("Working"));
    busy_->installEventFilter(this);
    installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(find ? 18 : 60, 0, find ? 18 : 60, 0);
    layout->addWidget(busy_);
}

void TAVICopyDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
}

bool TAVICopyDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint)
        ++paints_;
    return QDialog::eventFilter(watched, event);
}

void TRunner::SetShownHook(std::function<void(QDialog&)> hook) {
    ShownHook() = std::move(hook);
}

int TRunner::Run(QWidget* owner, Look look, std::function<void()> op, std::string* error) {
    TAVICopyDlg window(owner, look);
    TCopyThread worker(std::move(op));
    QEventLoop loop;
    QObject::connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
    window.show();
    if (ShownHook())
        ShownHook()(window);
    worker.start(QThread::LowPriority);
    // The local loop keeps the GUI thread pumping (painting, the busy indicator) until the
    // worker signals its end; input to other windows is blocked by the modal window.
    loop.exec();
    worker.wait();
    window.hide();
    if (error)
        *error = worker.Error();
    return worker.Result();
}
