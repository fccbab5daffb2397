#pragma once

#include <string>
#include <string_view>

// The main window's enabling rules and filter text, as functions of the state the data
// module keeps, so that they are tested without widgets. The window asks them each time
// its tool bars are refreshed or a menu opens.

// What the rules read.
struct TViewState {
    bool noTable = true;         // no main table is open
    bool logInUse = false;       // the log is locked against import
    bool multiSelect = false;    // the grid selects several rows
    bool filterActive = false;   // a log filter is set
    bool logIsTemporary = true;  // the log is "tmpdb", not a log database
    long long logRows = 0;       // rows in the log table, whatever the filter
};

// The Log Records tool bar.
struct TLogButtons {
    bool importRecords = false;  // "Import records" and the extension box
    bool filter = false;
    bool searchBySubject = false;
    bool deleteSelected = false;
    bool copySelected = false;
    bool moveSelected = false;
    bool writeIntoDatabase = false;
    bool operator==(const TLogButtons&) const = default;
};
TLogButtons LogPageButtons(const TViewState& state);
// The Search Records page's "Delete seleted rows".
bool SearchDeleteSelectedEnabled(const TViewState& state);

// The Edit menu, computed when it opens.
struct TEditMenu {
    bool copyFiltered = false;
    bool moveFiltered = false;
    bool deleteFiltered = false;
    bool openLog = false;
    bool closeLog = false;
    bool packLog = false;
    bool arrangeLog = false;
    bool textTools = false;  // "Text Formatting", "Del Blanks at both ends ", "Replace Text..."
    bool operator==(const TEditMenu&) const = default;
};
TEditMenu EditMenuItems(const TViewState& state);

// The filter menu below the "Filter" button: which items may be chosen.
struct TFilterMenu {
    bool release = true;
    bool fieldFilters = false;  // Subject, From, Group and the two Date filters
    bool multiSelection = false;
    bool range = false;
    bool operator==(const TFilterMenu&) const = default;
};
TFilterMenu FilterMenuItems(bool bookmarkSet, bool multiSelect);

// The text the "Subject" filter looks for: the selected text of the Subject box when
// there is a selection; otherwise the whole Subject, and when it holds a colon only what
// follows the last colon, with blanks and control bytes trimmed at both ends. cp932: the
// colon is found by stepping over characters (a lone lead byte at the end counts as one
// character).
std::string SubjectFilterText(std::string_view subject, std::string_view selection);
