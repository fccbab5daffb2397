#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>

#include "tools/PagePlan.h"

class QPainter;
class QPrinter;
class QWidget;

// Prints lines of text on a printer: a title line at the top of every page, the lines in
// the chosen font 15 mm from the left edge, and a footer with "page / count" on the left
// and the time of printing ("yy/mm/dd hh:nn") on the right. The geometry is
// pageplan::ComputeGeometry's for the printer's resolution and printable page.
//
// The printer is the caller's and must outlive this object. GUI thread only.
class TPagePrinter {
  public:
    explicit TPagePrinter(QPrinter& printer);

    // Whether the system lists at least one printer (tests may answer instead).
    static bool PrinterInstalled();
    static void SetPrinterCheck(std::function<bool()> check);

    // Sets up the page geometry for the font on the printer as it is now configured.
    void Prepare(const QFont& font);
    // The title (also the print job's name) and the lines; computes the page count.
    void SetContent(const QString& title, const QStringList& lines);
    // Prints pages first..last as one job. False when the printer could not start the job
    // or failed while printing (the job is ended either way).
    bool PrintPages(int firstPage, int lastPage);

    int PageCount() const { return pageCount_; }
    const pageplan::TPageGeometry& Geometry() const { return geometry_; }

  private:
    void DrawTitle(QPainter& painter);
    void DrawFooter(QPainter& painter, int page);

    QPrinter& printer_;
    QFont font_;
    pageplan::TPageGeometry geometry_;
    QString title_;
    QStringList lines_;
    int pageCount_ = 0;
};

// "Print...": prints a record's lines after the print dialog (all pages or a page range,
// preset 1 to 1). "No printers are installed" when there is none. The dialog goes through
// the dialogs interface, so a test can answer it.
void PrintRecordLines(QWidget* parent, const QFont& font, const QString& title,
                      const QStringList& lines);

// What "Print..." prints for the shown record: the title "Brevilo - <database>   MessageID: "
// followed by the MessageID (empty on the Log Records page), and the lines "From: ",
// "Newsgroups: ", "Subject: ", "Date: " with the record boxes' texts, an empty line and
// the article's lines.
QString RecordPrintTitle(const QString& database, const QString& messageId);
QStringList RecordPrintLines(const QString& from, const QString& group, const QString& subject,
                             const QString& date, const QString& article);
