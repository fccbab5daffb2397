#include "tools/TFileExtForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/Cp932Text.h"
#include "shell/IDialogs.h"

TFileExtForm::TFileExtForm(const QString& folder, QWidget* parent)
    : QDialog(parent), converter_(QFile::encodeName(folder).toStdString()) {
    setObjectName(QStringLiteral("FileExtForm"));
    setWindowTitle(QStringLiteral("Convert file extension"));

    cbMask_ = new QComboBox(this);
    cbMask_->setObjectName(QStringLiteral("cbMask"));
    cbMask_->setEditable(true);
    cbMask_->addItems({QStringLiteral("*.bak"), QStringLiteral("*.asp"), QStringLiteral("*.cgi"),
                       QStringLiteral("*.err"), QStringLiteral("*.*")});
    cbMask_->setCurrentText(QStringLiteral("*.*"));
    cbPostExt_ = new QComboBox(this);
    cbPostExt_->setObjectName(QStringLiteral("cbPostExt"));
    cbPostExt_->setEditable(true);
    cbPostExt_->addItems({QStringLiteral("htm"), QStringLiteral("eml"), QStringLiteral("nws"),
                          QStringLiteral("txt")});
    cbPostExt_->setCurrentText(QString());
    cbConcat_ = new QCheckBox(QStringLiteral("Simply Add"), this);
    cbConcat_->setObjectName(QStringLiteral("cbConcat"));

    auto* maskLabel = new QLabel(QStringLiteral("&Mask:"), this);
    maskLabel->setBuddy(cbMask_);
    auto* extLabel = new QLabel(QStringLiteral("&New Ext:"), this);
    extLabel->setBuddy(cbPostExt_);
    cbMask_->setAccessibleName(QStringLiteral("Mask:"));
    cbPostExt_->setAccessibleName(QStringLiteral("New Ext:"));
    auto* form = new QFormLayout;
    form->addRow(maskLabel, cbMask_);
    form->addRow(extLabel, cbPostExt_);
    form->addRow(QString(), cbConcat_);

    btnConvert_ = new QPushButton(QStringLiteral("&Convert"), this);
    btnConvert_->setObjectName(QStringLiteral("btnConvert"));
    btnConvert_->setDefault(true);
    btnUndo_ = new QPushButton(QStringLiteral("&Undo"), this);
    btnUndo_->setObjectName(QStringLiteral("btnUndo"));
    btnUndo_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(btnConvert_, &QPushButton::clicked, this, &TFileExtForm::btnConvertClick);
    connect(btnUndo_, &QPushButton::clicked, this, &TFileExtForm::btnUndoClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnConvert_);
    buttons->addWidget(btnUndo_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TFileExtForm::Run(QWidget* parent, const QString& importFolder) {
    TFileExtForm form(importFolder, parent);
    Dialogs().Exec(form);
}

void TFileExtForm::btnConvertClick() {
    // The mask is a file-name pattern (file-system bytes); the extension is put into
    // file names the same way.
    const std::string mask = QFile::encodeName(cbMask_->currentText()).toStdString();
    const std::string ext = QFile::encodeName(cbPostExt_->currentText()).toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string message = converter_.Convert(mask, ext, cbConcat_->isChecked());
    btnUndo_->setEnabled(converter_.CanUndo());
    QApplication::restoreOverrideCursor();
    ShowMessage(this, QFile::decodeName(QByteArray::fromStdString(message)));
}

void TFileExtForm::btnUndoClick() {
    converter_.Undo();
    btnUndo_->setEnabled(converter_.CanUndo());
}
