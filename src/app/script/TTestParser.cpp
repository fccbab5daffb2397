#include "script/TTestParser.h"

#include <QFile>
#include <exception>

#include "base/Abort.h"

TTestParser::TTestParser(std::vector<std::string> scriptLines, const QString& pagePath,
                         std::string today, QObject* parent)
    : QThread(parent),
      run_(std::move(scriptLines), QFile::encodeName(pagePath).toStdString(), std::move(today),
           *this) {
    // The script test runs at normal priority, unlike imports and runners.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TTestParser::run() {
    try {
        run_.Run();
    } catch (const EAborted&) {
        // Abandoned: the window has stopped listening.
    } catch (const std::exception&) {
        // TTestRun reports its own failures; anything else still ends the window's wait
        // with a reason instead of leaving it in test mode.
        if (!finished_)
            Finish("Abnormal Error", 0, false);
    }
}

void TTestParser::Progress(const std::string& output, int percent) {
    emit progress(QByteArray(output.data(), static_cast<qsizetype>(output.size())), percent);
}

void TTestParser::Finish(const std::string& output, int errorLine, bool success) {
    finished_ = true;
    emit finish(QByteArray(output.data(), static_cast<qsizetype>(output.size())), errorLine,
                success);
}
