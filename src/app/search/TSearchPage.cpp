#include "search/TSearchPage.h"

#include <QLineEdit>
#include <QToolButton>

#include "controls/TDBNavigator.h"
#include "shell/TMainContext.h"
#include "shell/ToolButton.h"
#include "view/TRecordViewWidget.h"

TSearchPage::TSearchPage(const TMainContext& context, QWidget* parent)
    : QToolBar(parent), context_(context) {
    setObjectName(QStringLiteral("tsSearch"));
    setMovable(false);
    edKeyword_ = new QLineEdit(this);
    edKeyword_->setObjectName(QStringLiteral("edKeyword"));
    edKeyword_->setMinimumWidth(200);
    edKeyword_->setToolTip(QStringLiteral("Keywords"));
    edKeyword_->setAccessibleName(QStringLiteral("Keywords"));
    edKeyword_->setStatusTip(QStringLiteral("Keywords joined by \"&\""));
    addWidget(edKeyword_);
    sbSearch_ = AddToolButton(this, "sbSearch", QStringLiteral("Search"),
                              QStringLiteral("Search by Keyword|Search the database by keywords"));
    sbMemory_ =
        AddToolButton(this, "sbMemory", QStringLiteral("Memory"),
                      QStringLiteral("Set Memory Position|Keep these records for Recycle Search"));
    addSeparator();
    sbSrchDelSelect_ =
        AddToolButton(this, "sbSrchDelSelect", QStringLiteral("Delete"),
                      QStringLiteral("Delete seleted rows|Delete the selected rows"));
    addSeparator();
    navSearch_ = context.view.CreateNavigator(false, this);
    navSearch_->setObjectName(QStringLiteral("navSearch"));
    addWidget(navSearch_);
    addSeparator();
    sbSave_ = AddToolButton(this, "sbSave", QStringLiteral("Save"),
                            QStringLiteral("Save changes|Save the changes into the database"));
    // The query commands belong to the search part of the program; until they are
    // connected their buttons stay disabled.
    for (QToolButton* button : {sbSearch_, sbMemory_, sbSrchDelSelect_, sbSave_})
        button->setEnabled(false);
}

void TSearchPage::UpdateButtons() {}
