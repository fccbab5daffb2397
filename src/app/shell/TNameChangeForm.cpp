#include "shell/TNameChangeForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/DialogParts.h"

TNameChangeForm::TNameChangeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NameChangeForm"));
    setWindowTitle(QStringLiteral("Change database name"));
    cbOldName_ = new QComboBox(this);
    cbOldName_->setObjectName(QStringLiteral("cbOldName"));
    cbOldName_->setEditable(false);
    cbOldName_->setMinimumWidth(220);
    cbOldName_->setAccessibleName(QStringLiteral("Old Name:"));
    edNewName_ = new QLineEdit(this);
    edNewName_->setObjectName(QStringLiteral("edNewName"));
    edNewName_->setAccessibleName(QStringLiteral("New Name:"));

    auto* form = new QFormLayout;
    auto* oldLabel = new QLabel(QStringLiteral("&Old Name:"), this);
    oldLabel->setBuddy(cbOldName_);
    auto* newLabel = new QLabel(QStringLiteral("&New Name:"), this);
    newLabel->setBuddy(edNewName_);
    form->addRow(oldLabel, cbOldName_);
    form->addRow(newLabel, edNewName_);

    QDialogButtonBox* buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TNameChangeForm::SetItems(const QStringList& items) {
    const QStringList sorted = SortedWithoutCase(items);
    cbOldName_->clear();
    cbOldName_->addItems(sorted);
    cbOldName_->setCurrentIndex(sorted.isEmpty() ? -1 : 0);
}

QStringList TNameChangeForm::Items() const {
    QStringList items;
    for (int i = 0; i < cbOldName_->count(); ++i)
        items << cbOldName_->itemText(i);
    return items;
}

void TNameChangeForm::SelectIndex(int index) {
    cbOldName_->setCurrentIndex(index);
}

QString TNameChangeForm::OldName() const {
    return cbOldName_->currentText();
}

QString TNameChangeForm::NewName() const {
    return edNewName_->text();
}

void TNameChangeForm::SetNewName(const QString& name) {
    edNewName_->setText(name);
}
