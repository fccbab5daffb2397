#include "shell/TMigrationForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/DialogParts.h"

TMigrationForm::TMigrationForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MigrationForm"));
    lbTo_ = new QLabel(this);
    lbTo_->setObjectName(QStringLiteral("lbTo"));
    cbFrom_ = new QComboBox(this);
    cbFrom_->setObjectName(QStringLiteral("cbFrom"));
    cbFrom_->setEditable(false);
    cbFrom_->setMinimumWidth(220);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("To:"), lbTo_);
    form->addRow(QStringLiteral("From:"), cbFrom_);

    QDialogButtonBox* buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TMigrationForm::SetTarget(const QString& table) {
    lbTo_->setText(table);
}

void TMigrationForm::SetItems(const QStringList& items) {
    const QStringList sorted = SortedWithoutCase(items);
    cbFrom_->clear();
    cbFrom_->addItems(sorted);
    cbFrom_->setCurrentIndex(sorted.isEmpty() ? -1 : 0);
}

QStringList TMigrationForm::Items() const {
    QStringList items;
    for (int i = 0; i < cbFrom_->count(); ++i)
        items << cbFrom_->itemText(i);
    return items;
}

void TMigrationForm::SelectIndex(int index) {
    cbFrom_->setCurrentIndex(index);
}

QString TMigrationForm::SelectedItem() const {
    return cbFrom_->currentText();
}
