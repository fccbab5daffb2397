#include "tools/TPagePrinter.h"

#include <QDateTime>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "shell/IDialogs.h"

namespace {

std::function<bool()>& PrinterCheck() {
    static std::function<bool()> check;
    return check;
}

QRect ToQRect(const pageplan::TRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

}  // namespace

TPagePrinter::TPagePrinter(QPrinter& printer) : printer_(printer) {}

bool TPagePrinter::PrinterInstalled() {
    if (PrinterCheck())
        return PrinterCheck()();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void TPagePrinter::SetPrinterCheck(std::function<bool()> check) {
    PrinterCheck() = std::move(check);
}

void TPagePrinter::Prepare(const QFont& font) {
    font_ = font;
    // A font sized in pixels has no point size: take its size at the screen's 96 dpi.
    const int points = font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
    const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    geometry_ = pageplan::ComputeGeometry(points, printer_.logicalDpiX(), printer_.logicalDpiY(),
                                          page.width(), page.height());
    font_.setPointSize(points > 0 ? points : 1);
}

void TPagePrinter::SetContent(const QString& title, const QStringList& lines) {
    title_ = title;
    lines_ = lines;
    printer_.setDocName(title);
    pageCount_ = pageplan::PageCount(int(lines_.size()), geometry_.linesPerPage);
}

bool TPagePrinter::PrintPages(int firstPage, int lastPage) {
    QPainter painter;
    if (!painter.begin(&printer_))
        return false;
    painter.setFont(font_);
    const auto pages =
        pageplan::PlanPages(int(lines_.size()), geometry_.linesPerPage, firstPage, lastPage);
    bool ok = true;
    for (std::size_t n = 0; n < pages.size() && ok; ++n) {
        if (n > 0)
            ok = printer_.newPage();
        DrawTitle(painter);
        const pageplan::TPlannedPage& page = pages[n];
        for (int line = page.firstLine; line < page.endLine; ++line) {
            const int y = geometry_.header.bottom + (line - page.firstLine) * geometry_.lineHeight;
            painter.drawText(
                QRect(geometry_.leftMargin, y, geometry_.header.right, geometry_.lineHeight),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextExpandTabs,
                lines_[line]);
        }
        DrawFooter(painter, page.number);
    }
    // The job is ended whatever happened above.
    return painter.end() && ok;
}

void TPagePrinter::DrawTitle(QPainter& painter) {
    painter.save();
    const QRect header = ToQRect(geometry_.header);
    painter.setClipRect(header);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title_);
    painter.restore();
}

void TPagePrinter::DrawFooter(QPainter& painter, int page) {
    const QRect footer = ToQRect(geometry_.footer);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QStringLiteral("%1 / %2").arg(page).arg(pageCount_));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                     QDateTime::currentDateTime().toString(QStringLiteral("yy/MM/dd hh:mm")));
}

void PrintRecordLines(QWidget* parent, const QFont& font, const QString& title,
                      const QStringList& lines) {
    if (!TPagePrinter::PrinterInstalled()) {
        ShowMessage(parent, QStringLiteral("No printers are installed"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    TPagePrinter pagePrinter(printer);
    pagePrinter.Prepare(font);
    pagePrinter.SetContent(title, lines);

    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, std::max(1, pagePrinter.PageCount()));
    dialog.setFromTo(1, 1);
    printer.setPrintRange(QPrinter::AllPages);
    if (Dialogs().Exec(dialog) != QDialog::Accepted)
        return;

    // The user may have chosen another printer or paper: lay the lines out for it.
    pagePrinter.Prepare(font);
    pagePrinter.SetContent(title, lines);
    int first = 1;
    int last = pagePrinter.PageCount();
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    if (!pagePrinter.PrintPages(first, std::max(last, 0)))
        ShowMessage(parent, QStringLiteral("Printing failed"));
}

QString RecordPrintTitle(const QString& database, const QString& messageId) {
    return QStringLiteral("Brevilo - ") + database + QStringLiteral("   MessageID: ") + messageId;
}

QStringList RecordPrintLines(const QString& from, const QString& group, const QString& subject,
                             const QString& date, const QString& article) {
    QStringList lines{QStringLiteral("From: ") + from, QStringLiteral("Newsgroups: ") + group,
                      QStringLiteral("Subject: ") + subject, QStringLiteral("Date: ") + date,
                      QString()};
    // The editor's own lines: a line end at the very end makes no empty last line.
    QString text = article;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (!text.isEmpty() || !article.isEmpty())
        lines += text.split(QLatin1Char('\n'));
    return lines;
}
