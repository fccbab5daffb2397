#include "script/TFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    edFind_ = new QLineEdit(this);
    edFind_->setObjectName(QStringLiteral("edFind"));
    edFind_->setAccessibleName(QStringLiteral("Find what"));
    label->setBuddy(edFind_);
    ckWholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    ckWholeWord_->setObjectName(QStringLiteral("ckWholeWord"));
    ckMatchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    ckMatchCase_->setObjectName(QStringLiteral("ckMatchCase"));
    btnFindNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
    btnFindNext_->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext_->setDefault(true);
    btnFindNext_->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(edFind_, 0, 1);
    grid->addWidget(btnFindNext_, 0, 2);
    grid->addWidget(ckWholeWord_, 1, 0, 1, 2);
    grid->addWidget(cancel, 1, 2);
    grid->addWidget(ckMatchCase_, 2, 0, 1, 2);

    connect(edFind_, &QLineEdit::textChanged, this,
            [this](const QString& text) { btnFindNext_->setEnabled(!text.isEmpty()); });
    connect(btnFindNext_, &QPushButton::clicked, this, &TFindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

QString TFindDialog::FindText() const {
    return edFind_->text();
}

bool TFindDialog::WholeWord() const {
    return ckWholeWord_->isChecked();
}

bool TFindDialog::MatchCase() const {
    return ckMatchCase_->isChecked();
}
