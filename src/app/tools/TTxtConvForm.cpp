#include "tools/TTxtConvForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "shell/IDialogs.h"
#include "store/TDMod.h"
#include "tools/ExportText.h"
#include "view/TBoundRecords.h"

TShownRecords ShownRecords(TBoundRecords& records) {
    return [&records](const std::function<void(const TArticle&)>& each) {
        const long long count = records.Count();
        for (long long i = 0; i < count; ++i)
            each(records.Row(i));
    };
}

TTxtConvForm::TTxtConvForm(TDMod& dmod, TShownRecords records, const QString& folder,
                           const QString& fileName, QWidget* parent)
    : QDialog(parent), dmod_(dmod), records_(std::move(records)), folder_(folder) {
    setObjectName(QStringLiteral("TxtConvForm"));
    setWindowTitle(QStringLiteral("Convert into text"));

    edFileName_ = new QLineEdit(fileName, this);
    edFileName_->setObjectName(QStringLiteral("edFileName"));
    edFileName_->setAccessibleName(QStringLiteral("File name:"));
    edFileName_->setMinimumWidth(260);
    auto* nameLabel = new QLabel(QStringLiteral("File &name:"), this);
    nameLabel->setBuddy(edFileName_);

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(edFileName_, 0, 1);
    const TExportLabels& labels = dmod_.ExportLabels();
    int row = 1;
    auto field = [&](const char* checkName, const QString& caption, const char* editName,
                     const std::string& label, QLineEdit** edit) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(checkName));
        check->setChecked(true);
        grid->addWidget(check, row, 0);
        if (edit) {
            *edit = new QLineEdit(FromCp932(label), this);
            (*edit)->setObjectName(QString::fromLatin1(editName));
            (*edit)->setAccessibleName(QString(caption).remove(QLatin1Char('&')) +
                                       QStringLiteral(" label"));
            grid->addWidget(*edit, row, 1);
            QLineEdit* target = *edit;
            connect(check, &QCheckBox::clicked, this,
                    [this, check, target] { FieldClick(check, target); });
        }
        ++row;
        return check;
    };
    ckSubject_ =
        field("ckSubject", QStringLiteral("&Subject"), "edSubject", labels.Subject, &edSubject_);
    ckDate_ = field("ckDate", QStringLiteral("&Date"), "edDate", labels.Date, &edDate_);
    ckFrom_ = field("ckFrom", QStringLiteral("&From"), "edFrom", labels.From, &edFrom_);
    ckGroup_ =
        field("ckGroup", QStringLiteral("&Newsgroups"), "edGroup", labels.Newsgroup, &edGroup_);
    ckArticle_ = field("ckArticle", QStringLiteral("&Article"), nullptr, {}, nullptr);

    btnConvert_ = new QPushButton(QStringLiteral("&Convert"), this);
    btnConvert_->setObjectName(QStringLiteral("btnConvert"));
    btnConvert_->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(btnConvert_, &QPushButton::clicked, this, &TTxtConvForm::btnConvertClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnConvert_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void TTxtConvForm::Run(QWidget* parent, TDMod& dmod, TShownRecords records,
                       const QString& importFolder, const QString& database) {
    TTxtConvForm form(dmod, std::move(records), importFolder, database + QStringLiteral(".txt"),
                      parent);
    Dialogs().Exec(form);
}

void TTxtConvForm::FieldClick(QCheckBox* check, QLineEdit* label) {
    const bool on = check->isChecked();
    label->setEnabled(on);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(on ? QPalette::Base : QPalette::Button));
    label->setPalette(palette);
}

void TTxtConvForm::btnConvertClick() {
    const std::string path =
        QFile::encodeName(folder_ + QLatin1Char('/') + edFileName_->text()).toStdString();

    // The labels of the checked fields go to the data module and stay there.
    TExportLabels& labels = dmod_.ExportLabels();
    int fields = 0;
    if (ckSubject_->isChecked()) {
        labels.Subject = ToCp932(edSubject_->text());
        fields |= exporttext::kSubject;
    }
    if (ckDate_->isChecked()) {
        labels.Date = ToCp932(edDate_->text());
        fields |= exporttext::kDate;
    }
    if (ckFrom_->isChecked()) {
        labels.From = ToCp932(edFrom_->text());
        fields |= exporttext::kFrom;
    }
    if (ckGroup_->isChecked()) {
        labels.Newsgroup = ToCp932(edGroup_->text());
        fields |= exporttext::kNewsgroup;
    }
    if (ckArticle_->isChecked())
        fields |= exporttext::kArticle;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        exporttext::TExportFile file(path);
        exporttext::TExportWriter writer(fields, labels, file.Sink());
        records_([&writer](const TArticle& record) { writer.Add(record); });
        writer.Finish();
        file.Close();
        QApplication::restoreOverrideCursor();
    } catch (const EFileError& e) {
        QApplication::restoreOverrideCursor();
        // The message names a file-system path and the system's reason.
        ShowMessage(this, QString::fromLocal8Bit(e.what()));
    } catch (const EError& e) {
        QApplication::restoreOverrideCursor();
        ShowMessage(this, FromCp932(e.what()));
    }
}
