#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "store/TArticle.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TBoundRecords;
class TDMod;

// Calls its argument once for every record the main window shows, in the order shown.
using TShownRecords = std::function<void(const std::function<void(const TArticle&)>&)>;

// The records of the page's record set as the page shows them (order, filter, cached
// edits). The record set must outlive the result's use.
TShownRecords ShownRecords(TBoundRecords& records);

// "Convert into text": writes the shown records, with the fields and labels chosen, to a
// text file in the import folder (exporttext::TExportWriter's format). The labels of an
// export stay in the data module for the rest of the session. Created for one use, shown
// modally; the window stays open after each export.
class TTxtConvForm : public QDialog {
    Q_OBJECT

  public:
    TTxtConvForm(TDMod& dmod, TShownRecords records, const QString& folder, const QString& fileName,
                 QWidget* parent = nullptr);

    // "Convert into Text...": the window for these records, with the import folder and
    // "<database>.txt", modal, then gone.
    static void Run(QWidget* parent, TDMod& dmod, TShownRecords records,
                    const QString& importFolder, const QString& database);

    void btnConvertClick();

  private:
    void FieldClick(QCheckBox* check, QLineEdit* label);

    TDMod& dmod_;
    TShownRecords records_;
    QString folder_;
    QLineEdit* edFileName_;
    QCheckBox* ckSubject_;
    QLineEdit* edSubject_;
    QCheckBox* ckDate_;
    QLineEdit* edDate_;
    QCheckBox* ckFrom_;
    QLineEdit* edFrom_;
    QCheckBox* ckGroup_;
    QLineEdit* edGroup_;
    QCheckBox* ckArticle_;
    QPushButton* btnConvert_;
};
