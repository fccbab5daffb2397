#include "log/TLogPage.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "controls/TDBNavigator.h"
#include "shell/IDialogs.h"
#include "shell/TCommands.h"
#include "shell/TMainContext.h"
#include "shell/TMainfrm.h"
#include "shell/ToolButton.h"
#include "store/DateText.h"
#include "store/TDMod.h"
#include "store/ViewRules.h"
#include "view/TBoundRecords.h"
#include "view/TRecordViewWidget.h"

TViewState ViewStateOf(TDMod& dmod) {
    TViewState state;
    state.noTable = !dmod.HasMainTable();
    state.logInUse = dmod.LogInUse();
    state.multiSelect = dmod.MultiSelect();
    if (dmod.IsFolderOpen()) {
        state.filterActive = dmod.Log().FilterActive();
        state.logIsTemporary = dmod.LogIsTemporary();
        state.logRows = dmod.Log().TableCount();
    }
    return state;
}

TLogPage::TLogPage(const TMainContext& context, QWidget* parent)
    : QToolBar(parent), context_(context) {
    setObjectName(QStringLiteral("tsLog"));
    setMovable(false);
    cbExtension_ = new QComboBox(this);
    cbExtension_->setObjectName(QStringLiteral("cbExtension"));
    // "*.mbox" follows the four classic items: mbox files are read as mailboxes and keep
    // their names after an import.
    cbExtension_->addItems({QStringLiteral("*.eml"), QStringLiteral("*.nws"),
                            QStringLiteral("*.htm"), QStringLiteral("*.txt "),
                            QStringLiteral("*.mbox")});
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

    // The filter menu drops below its button.
    connect(sbFilter_, &QToolButton::clicked, this, [this] {
        context_.commands.Menu(TMenuId::Filter)
            ->popup(sbFilter_->mapToGlobal(QPoint(0, sbFilter_->height())));
    });
    RegisterCommands();
}

void TLogPage::RegisterCommands() {
    TCommands& commands = context_.commands;
    TDMod& dmod = context_.dmod;
    auto fieldFilters = [&dmod] {
        return FilterMenuItems(dmod.Log().BookmarkID() >= 0, dmod.MultiSelect()).fieldFilters;
    };
    commands.Handle(TCmd::FilterRelease, [this] { ReleaseFilter(); });
    for (const auto& [cmd, which] :
         {std::pair{TCmd::FilterSubject, TLogView::Filter::Subject},
          std::pair{TCmd::FilterFrom, TLogView::Filter::From},
          std::pair{TCmd::FilterGroup, TLogView::Filter::Group},
          std::pair{TCmd::FilterDateBefore, TLogView::Filter::DateOnOrBefore},
          std::pair{TCmd::FilterDateAfter, TLogView::Filter::DateOnOrAfter}}) {
        const TLogView::Filter filter = which;
        commands.Handle(
            cmd, [this, filter] { SetFieldFilter(filter); }, fieldFilters);
    }
    commands.Handle(
        TCmd::FilterMultiSelection, [this] { SetMultiSelectionFilter(); },
        [&dmod] {
            return FilterMenuItems(dmod.Log().BookmarkID() >= 0, dmod.MultiSelect()).multiSelection;
        });
    commands.Handle(
        TCmd::FilterRange, [this] { SetRangeFilter(); },
        [&dmod] {
            return FilterMenuItems(dmod.Log().BookmarkID() >= 0, dmod.MultiSelect()).range;
        });

    for (const auto& [cmd, which] : {std::pair{TCmd::OrderByImport, TLogView::Order::Import},
                                     std::pair{TCmd::OrderByDate, TLogView::Order::Date},
                                     std::pair{TCmd::OrderByGroup, TLogView::Order::Newsgroup},
                                     std::pair{TCmd::OrderByFrom, TLogView::Order::From},
                                     std::pair{TCmd::OrderBySubject, TLogView::Order::Subject}}) {
        const TLogView::Order order = which;
        commands.Handle(
            cmd, [this, order] { Arrange(order); },
            [&dmod] { return dmod.IsFolderOpen() && EditMenuItems(ViewStateOf(dmod)).arrangeLog; });
    }
    commands.Handle(
        TCmd::MultiSelect, [this] { ToggleMultiSelect(); },
        [this] { return context_.view.RowCount() > 0; });

    connect(&commands, &TCommands::aboutToShow, this, [this, &dmod](TMenuId menu) {
        if (menu == TMenuId::Edit) {
            context_.commands.Menu(TMenuId::Arrange)
                ->menuAction()
                ->setEnabled(dmod.IsFolderOpen() && EditMenuItems(ViewStateOf(dmod)).arrangeLog);
        } else if (menu == TMenuId::Filter) {
            CheckFilterItem();
        } else if (menu == TMenuId::Grid) {
            context_.commands.Action(TCmd::MultiSelect)->setChecked(dmod.MultiSelect());
        }
    });
}

QString TLogPage::ImportExtension() const {
    const QString item = cbExtension_->currentText();
    const qsizetype dot = item.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : item.mid(dot);
}

void TLogPage::UpdateButtons() {
    TDMod& dmod = context_.dmod;
    TLogButtons b;
    try {
        b = LogPageButtons(ViewStateOf(dmod));
    } catch (const EError&) {
        b = TLogButtons{};  // a log that cannot be read offers nothing
    }
    if (!dmod.IsFolderOpen())
        b = TLogButtons{!dmod.LogInUse()};
    cbExtension_->setEnabled(b.importRecords);
    sbImport_->setEnabled(b.importRecords);
    sbFilter_->setEnabled(b.filter);
    sbSubject_->setEnabled(b.searchBySubject);
    sbDelSelect_->setEnabled(b.deleteSelected);
    sbCopySelect_->setEnabled(b.copySelected);
    sbMoveSelect_->setEnabled(b.moveSelected);
    sbPost_->setEnabled(b.writeIntoDatabase);
}

void TLogPage::CheckFilterItem() {
    TCmd checked = TCmd::FilterRelease;
    switch (context_.dmod.Log().filter()) {
        case TLogView::Filter::None:
            break;
        case TLogView::Filter::Subject:
            checked = TCmd::FilterSubject;
            break;
        case TLogView::Filter::From:
            checked = TCmd::FilterFrom;
            break;
        case TLogView::Filter::Group:
            checked = TCmd::FilterGroup;
            break;
        case TLogView::Filter::DateOnOrBefore:
            checked = TCmd::FilterDateBefore;
            break;
        case TLogView::Filter::DateOnOrAfter:
            checked = TCmd::FilterDateAfter;
            break;
        case TLogView::Filter::MultiSelection:
            checked = TCmd::FilterMultiSelection;
            break;
        case TLogView::Filter::Range:
            checked = TCmd::FilterRange;
            break;
    }
    context_.commands.Action(checked)->setChecked(true);
}

void TLogPage::FilterChanged() {
    context_.view.Refresh();
    CheckFilterItem();
    context_.frame.UpdateButtonState();
    context_.frame.UpdateCounter();
}

void TLogPage::SetFieldFilter(TLogView::Filter which) {
    TRecordViewWidget& view = context_.view;
    TLogView& log = context_.dmod.Log();
    if (!view.PostEdit())
        return;
    auto textOf = [](QLineEdit* box) {
        return ToCp932(box->hasSelectedText() ? box->selectedText() : box->text());
    };
    try {
        switch (which) {
            case TLogView::Filter::Subject: {
                QLineEdit* box = view.SubjectBox();
                log.SetTextFilter(
                    which, SubjectFilterText(ToCp932(box->text()), ToCp932(box->selectedText())));
                break;
            }
            case TLogView::Filter::From:
                log.SetTextFilter(which, textOf(view.FromBox()));
                break;
            case TLogView::Filter::Group:
                log.SetTextFilter(which, textOf(view.GroupBox()));
                break;
            case TLogView::Filter::DateOnOrBefore:
            case TLogView::Filter::DateOnOrAfter: {
                const std::string date = ToCp932(view.DateBox()->text().trimmed());
                if (date.empty())
                    break;  // a row without a date sets no filter
                log.SetDateFilter(which, DateTextToTimestamp(date, CurrentYear()));
                break;
            }
            default:
                return;
        }
    } catch (const EError& e) {
        ShowMessage(&context_.frame, FromCp932(e.what()));
    }
    FilterChanged();
}

void TLogPage::SetMultiSelectionFilter() {
    const std::vector<long long> ids = context_.view.SelectedMessageIDs();
    if (!context_.view.PostEdit())
        return;
    try {
        context_.dmod.Log().SetSelectionFilter(ids);
    } catch (const EError& e) {
        ShowMessage(&context_.frame, FromCp932(e.what()));
    }
    EndMultiSelect();
    FilterChanged();
}

void TLogPage::SetRangeFilter() {
    if (!context_.view.PostEdit())
        return;
    try {
        context_.dmod.Log().SetRangeFilter();
    } catch (const EError& e) {
        ShowMessage(&context_.frame, FromCp932(e.what()));
    }
    FilterChanged();
}

void TLogPage::ReleaseFilter() {
    TRecordViewWidget& view = context_.view;
    if (!view.PostEdit())
        return;
    try {
        context_.dmod.Log().ReleaseFilter();
    } catch (const EError& e) {
        ShowMessage(&context_.frame, FromCp932(e.what()));
    }
    for (QLineEdit* box : {view.FromBox(), view.GroupBox(), view.SubjectBox()})
        box->deselect();
    FilterChanged();
}

void TLogPage::Arrange(TLogView::Order order) {
    TRecordViewWidget& view = context_.view;
    if (!view.PostEdit())
        return;
    EndMultiSelect();
    {
        TFrozenView frozen(view);
        try {
            context_.dmod.Log().SetOrder(order);  // clears the bookmark, keeps the row
        } catch (const EError& e) {
            ShowMessage(&context_.frame, FromCp932(e.what()));
        }
    }
    context_.frame.UpdateCounter();
}

void TLogPage::ToggleMultiSelect() {
    TDMod& dmod = context_.dmod;
    TRecordViewWidget& view = context_.view;
    if (!dmod.MultiSelect()) {
        if (view.Bound() && view.Bound()->IsLog())
            dmod.Log().ClearBookmark();
        else
            dmod.Search().ClearBookmark();
        dmod.SetMultiSelect(true);
        view.SetRowMultiSelection(true);
        // The row under the last right-button press becomes the first selected row.
        view.Grid()->ReplayLastRightPress();
    } else {
        EndMultiSelect();
    }
    context_.commands.Action(TCmd::MultiSelect)->setChecked(dmod.MultiSelect());
    context_.frame.UpdateButtonState();
}

void TLogPage::EndMultiSelect() {
    if (!context_.dmod.MultiSelect())
        return;
    context_.dmod.SetMultiSelect(false);
    context_.view.SetRowMultiSelection(false);
    context_.commands.Action(TCmd::MultiSelect)->setChecked(false);
}
