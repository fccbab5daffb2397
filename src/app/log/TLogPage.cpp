#include "log/TLogPage.h"

#include <QComboBox>
#include <QToolButton>

#include "controls/TDBNavigator.h"
#include "shell/TMainContext.h"
#include "shell/ToolButton.h"
#include "store/TDMod.h"
#include "view/TRecordViewWidget.h"

TLogPage::TLogPage(const TMainContext& context, QWidget* parent)
    : QToolBar(parent), context_(context) {
    setObjectName(QStringLiteral("tsLog"));
    setMovable(false);
    cbExtension_ = new QComboBox(this);
    cbExtension_->setObjectName(QStringLiteral("cbExtension"));
    cbExtension_->addItems({QStringLiteral("*.eml"), QStringLiteral("*.nws"),
                            QStringLiteral("*.htm"), QStringLiteral("*.txt ")});
    cbExtension_->setToolTip(QStringLiteral("Import extension"));
    cbExtension_->setAccessibleName(QStringLiteral("Import extension"));
    cbExtension_->setStatusTip(QStringLiteral("Extension of the files to import"));
    cbExtension_->setCurrentIndex(0);
    addWidget(cbExtension_);
    sbImport_ = AddToolButton(this, "sbImport", QStringLiteral("Import"),
                              QStringLiteral("Import records|Import records from the data files"));
    sbFilter_ = AddToolButton(this, "sbFilter", QStringLiteral("Filter"),
                              QStringLiteral("Filter|Filter the log records"));
    sbSubject_ =
        AddToolButton(this, "sbSubject", QStringLiteral("Subject"),
                      QStringLiteral("Search by Subject|Search the database by this subject"));
    addSeparator();
    sbDelSelect_ = AddToolButton(this, "sbDelSelect", QStringLiteral("Delete"),
                                 QStringLiteral("Delete seleted rows|Delete the selected rows"));
    sbCopySelect_ = AddToolButton(
        this, "sbCopySelect", QStringLiteral("Copy"),
        QStringLiteral("Copy selected rows|Copy the selected rows into the database"));
    sbMoveSelect_ = AddToolButton(
        this, "sbMoveSelect", QStringLiteral("Move"),
        QStringLiteral("Move selected rows|Move the selected rows into the database"));
    addSeparator();
    navLog_ = context.view.CreateNavigator(true, this);
    navLog_->setObjectName(QStringLiteral("navLog"));
    addWidget(navLog_);
    addSeparator();
    sbPost_ = AddToolButton(this, "sbPost", QStringLiteral("Write"),
                            QStringLiteral("Write into database|Write into database permanently"));
    for (QToolButton* button :
         {sbImport_, sbFilter_, sbSubject_, sbDelSelect_, sbCopySelect_, sbMoveSelect_, sbPost_})
        button->setEnabled(false);
}

QString TLogPage::ImportExtension() const {
    const QString item = cbExtension_->currentText();
    const qsizetype dot = item.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : item.mid(dot);
}

void TLogPage::UpdateButtons() {
    cbExtension_->setEnabled(!context_.dmod.LogInUse());
}
