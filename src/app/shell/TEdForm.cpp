#include "shell/TEdForm.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/DialogParts.h"
#include "shell/IDialogs.h"

TEdForm::TEdForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EdForm"));
    setWindowTitle(QStringLiteral("Set external editor"));

    auto* label = new QLabel(QStringLiteral("Your text editor:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    edEditor_ = new QLineEdit(this);
    edEditor_->setObjectName(QStringLiteral("edEditor"));
    edEditor_->setMinimumWidth(320);
    label->setBuddy(edEditor_);
    auto* btnSelect = new QPushButton(QStringLiteral("&Select"), this);
    btnSelect->setObjectName(QStringLiteral("btnSelect"));
    btnSelect->setAutoDefault(false);
    connect(btnSelect, &QPushButton::clicked, this, &TEdForm::btnSelectClick);

    QDialogButtonBox* buttons = MakeOkCancel(this);

    auto* row = new QHBoxLayout;
    row->addWidget(edEditor_, 1);
    row->addWidget(btnSelect);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void TEdForm::SetEditorName(const QString& name) {
    edEditor_->setText(name);
}

QString TEdForm::EditorName() const {
    return edEditor_->text();
}

void TEdForm::btnSelectClick() {
    // Programs on this platform carry no ".exe"; every file is offered.
    const QString start = edEditor_->text().contains(QLatin1Char('/'))
                              ? QFileInfo(edEditor_->text()).absolutePath()
                              : QString();
    const auto file = Dialogs().OpenFile(this, QStringLiteral("Select text editor application"),
                                         start, QStringLiteral("All files (*)"));
    if (file)
        edEditor_->setText(*file);
}
