#include "store/ViewRules.h"

#include "text/Cp932.h"

TLogButtons LogPageButtons(const TViewState& s) {
    TLogButtons b;
    b.importRecords = !s.logInUse;
    if (s.noTable) {
        // Only import, and deleting rows chosen by multi-select, work without a table.
        b.deleteSelected = s.multiSelect;
        return b;
    }
    if (s.multiSelect) {
        b.deleteSelected = b.copySelected = b.moveSelected = true;
        b.filter = s.logRows > 0;
        return b;
    }
    b.searchBySubject = b.filter = s.logRows > 0;
    b.writeIntoDatabase = !s.filterActive && s.logRows > 0;
    return b;
}

bool SearchDeleteSelectedEnabled(const TViewState& s) {
    return s.multiSelect;
}

TEditMenu EditMenuItems(const TViewState& s) {
    TEditMenu m;
    m.deleteFiltered = s.filterActive && s.logRows > 0;
    m.copyFiltered = m.moveFiltered = m.deleteFiltered && !s.noTable;
    m.textTools = s.logRows > 0;
    if (s.filterActive)
        return m;  // no log database command while a filter is set
    m.arrangeLog = s.logIsTemporary && s.logRows > 1;
    m.packLog = !s.logIsTemporary && s.logRows > 0;
    m.openLog = s.logRows == 0;
    m.closeLog = s.logRows > 0;
    return m;
}

TFilterMenu FilterMenuItems(bool bookmarkSet, bool multiSelect) {
    TFilterMenu m;
    if (bookmarkSet)
        m.range = true;
    else if (multiSelect)
        m.multiSelection = true;
    else
        m.fieldFilters = true;
    return m;
}

namespace {

bool IsTrimmed(unsigned char c) {
    return c <= ' ';
}

}  // namespace

std::string SubjectFilterText(std::string_view subject, std::string_view selection) {
    if (!selection.empty())
        return std::string(selection);
    std::size_t start = 0;
    for (std::size_t i = 0; i < subject.size();) {
        const unsigned char c = static_cast<unsigned char>(subject[i]);
        if (c == ':')
            start = i + 1;
        i += cp932::isLeadByte(c) && i + 1 < subject.size() ? 2 : 1;
    }
    std::size_t end = subject.size();
    while (start < end && IsTrimmed(static_cast<unsigned char>(subject[start])))
        ++start;
    while (end > start && IsTrimmed(static_cast<unsigned char>(subject[end - 1])))
        --end;
    return std::string(subject.substr(start, end - start));
}
