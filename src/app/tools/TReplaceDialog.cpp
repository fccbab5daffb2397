#include "tools/TReplaceDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);

    edFind_ = new QLineEdit(this);
    edFind_->setObjectName(QStringLiteral("edFind"));
    edFind_->setAccessibleName(QStringLiteral("Find what:"));
    edReplace_ = new QLineEdit(this);
    edReplace_->setObjectName(QStringLiteral("edReplace"));
    edReplace_->setAccessibleName(QStringLiteral("Replace with:"));
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(edFind_);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel->setBuddy(edReplace_);
    ckWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    ckWord_->setObjectName(QStringLiteral("ckWholeWord"));
    ckCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    ckCase_->setObjectName(QStringLiteral("ckMatchCase"));

    auto* form = new QFormLayout;
    form->addRow(findLabel, edFind_);
    form->addRow(replaceLabel, edReplace_);
    form->addRow(QString(), ckWord_);
    form->addRow(QString(), ckCase_);

    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* findNext = button("btnFindNext", QStringLiteral("&Find Next"));
    findNext->setDefault(true);
    QPushButton* replace = button("btnReplace", QStringLiteral("&Replace"));
    QPushButton* replaceAll = button("btnReplaceAll", QStringLiteral("Replace &All"));
    QPushButton* cancel = button("btnCancel", QStringLiteral("Cancel"));
    connect(findNext, &QPushButton::clicked, this, &TReplaceDialog::findNextClicked);
    connect(replace, &QPushButton::clicked, this, [this] { emit replaceClicked(false); });
    connect(replaceAll, &QPushButton::clicked, this, [this] { emit replaceClicked(true); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {findNext, replace, replaceAll, cancel})
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(buttons);
}

QString TReplaceDialog::FindText() const {
    return edFind_->text();
}

void TReplaceDialog::SetFindText(const QString& text) {
    edFind_->setText(text);
    edFind_->selectAll();
}

QString TReplaceDialog::ReplaceText() const {
    return edReplace_->text();
}

bool TReplaceDialog::MatchCase() const {
    return ckCase_->isChecked();
}

bool TReplaceDialog::WholeWord() const {
    return ckWord_->isChecked();
}
