#pragma once

#include <QToolBar>

#include "store/TLogView.h"

class QComboBox;
class QToolButton;
class TDBNavigator;
struct TMainContext;
struct TViewState;
class TDMod;

// The Log Records page: its tool bar (left to right: the import extension box, "Import
// records", "Filter", "Search by Subject", "Delete seleted rows", "Copy selected rows",
// "Move selected rows", the log navigator, "Write into database"), the filter menu below
// "Filter", the orderings of "&Arrange Log Database" and the grid's "&Multi Select".
// The filter, ordering and flags live in the data module; the rules deciding what is
// enabled are store/ViewRules.h. The transfers behind the buttons are TTransferCommands.
class TLogPage : public QToolBar {
    Q_OBJECT

  public:
    TLogPage(const TMainContext& context, QWidget* parent);

    // The extension of the chosen item (".eml", ".nws", ".htm", ".txt " - the trailing
    // blank of the last item is kept).
    QString ImportExtension() const;

    // Enables and disables the buttons by the view state.
    void UpdateButtons();

    // The filter commands (the filter menu's items).
    void SetFieldFilter(TLogView::Filter which);
    void SetMultiSelectionFilter();
    void SetRangeFilter();
    void ReleaseFilter();
    // Chooses a log ordering, keeping the current row.
    void Arrange(TLogView::Order order);
    // "&Multi Select": switches row multi-selection on or off.
    void ToggleMultiSelect();
    // Switches multi-select off (clearing the selection) if it is on.
    void EndMultiSelect();

    QComboBox* ExtensionBox() const { return cbExtension_; }
    QToolButton* ImportButton() const { return sbImport_; }
    QToolButton* FilterButton() const { return sbFilter_; }
    QToolButton* SubjectButton() const { return sbSubject_; }
    QToolButton* DeleteSelectedButton() const { return sbDelSelect_; }
    QToolButton* CopySelectedButton() const { return sbCopySelect_; }
    QToolButton* MoveSelectedButton() const { return sbMoveSelect_; }
    QToolButton* PostButton() const { return sbPost_; }
    TDBNavigator* Navigator() const { return navLog_; }

  private:
    void RegisterCommands();
    void FilterChanged();
    void CheckFilterItem();

    const TMainContext& context_;
    QComboBox* cbExtension_ = nullptr;
    QToolButton* sbImport_ = nullptr;
    QToolButton* sbFilter_ = nullptr;
    QToolButton* sbSubject_ = nullptr;
    QToolButton* sbDelSelect_ = nullptr;
    QToolButton* sbCopySelect_ = nullptr;
    QToolButton* sbMoveSelect_ = nullptr;
    TDBNavigator* navLog_ = nullptr;
    QToolButton* sbPost_ = nullptr;
};

// The state the enabling rules read, as the data module keeps it.
TViewState ViewStateOf(TDMod& dmod);
