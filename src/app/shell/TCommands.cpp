#include "shell/TCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

enum ItemFlag : unsigned {
    kPlain = 0,
    kCheckable = 1,
    kRadio = 2,           // checkable, one of the radio group of its menu
    kSeparatorBefore = 4  // a separator line above the item
};

struct MenuItem {
    TCmd cmd;
    TMenuId menu;
    const char* name;
    const char* text;
    QKeyCombination shortcut;
    const char* hint;
    unsigned flags;
};

constexpr QKeyCombination kNone{};

// Every menu item of the main window, in menu order.
const MenuItem kMenuItems[] = {
    {TCmd::OpenDB, TMenuId::File, "mnuOpenDB", "&Open Database...", kNone,
     "Open a database of the folder", kPlain},
    {TCmd::NewDB, TMenuId::File, "mnuNewDB", "&New Database...", kNone,
     "Make a new database in the folder", kPlain},
    {TCmd::ChangeFolder, TMenuId::File, "mnuChangeFolder", "&Change Database Folder...", kNone,
     "Choose another database folder", kPlain},
    {TCmd::DataFiles, TMenuId::File, "mnuDataFiles", "Data &Files...", kNone,
     "Choose the folder of the files to import", kPlain},
    {TCmd::SaveResult, TMenuId::File, "mnuSaveResult", "Save Search &Results...", kNone,
     "Save the search result as a new database", kSeparatorBefore},
    {TCmd::Backup, TMenuId::File, "mnuBackup", "&Backup Database...", kNone,
     "Copy the database into another folder", kPlain},
    {TCmd::DbxImport, TMenuId::File, "mnudbxImport", "I&mport Dbx Files...", kNone,
     "Import the unread messages of Outlook Express", kSeparatorBefore},
    {TCmd::DelBak, TMenuId::File, "mnuDelBak", "&Delete bak files", Qt::CTRL | Qt::Key_D,
     "Delete the imported files (.bak)", kPlain},
    {TCmd::DelErr, TMenuId::File, "mnuDelErr", "Delete &err file", kNone,
     "Delete the files that failed to import (.err)", kPlain},
    {TCmd::Print, TMenuId::File, "mnuPrint", "&Print...", kNone, "Print the records",
     kSeparatorBefore},
    {TCmd::Exit, TMenuId::File, "mnuExit", "E&xit", kNone, "Close Brevilo", kSeparatorBefore},

    {TCmd::CopyFiltered, TMenuId::Edit, "mnuCopyFiltered", "&Copy Filtered", kNone,
     "Copy the filtered records into the database", kPlain},
    {TCmd::MoveFiltered, TMenuId::Edit, "mnuMoveFiltered", "&Move Filtered", kNone,
     "Move the filtered records into the database", kPlain},
    {TCmd::DeleteFiltered, TMenuId::Edit, "mnuDeleteFiltered", "&Delete Filtered", kNone,
     "Delete the filtered records", kPlain},
    {TCmd::OpenLogDB, TMenuId::Edit, "mnuOpenLogDB", "&Open Log Database...", kNone,
     "Open another database as the log", kSeparatorBefore},
    {TCmd::CloseLogDB, TMenuId::Edit, "mnuCloseLogDB", "C&lose Log Database", kNone,
     "Close the log and empty it", kPlain},
    {TCmd::PackLogDB, TMenuId::Edit, "mnuPackLogDB", "&Pack Log Database", kNone,
     "Compact the log database", kPlain},
    {TCmd::OrderByImport, TMenuId::Arrange, "mnuOrderByImport", "Import Order", kNone,
     "Show the log in import order", kRadio},
    {TCmd::OrderByDate, TMenuId::Arrange, "mnuOrderByDate", "Date Order", kNone,
     "Show the log in date order", kRadio},
    {TCmd::OrderByGroup, TMenuId::Arrange, "mnuOrderByGroup", "Group Order", kNone,
     "Show the log in group order", kRadio},
    {TCmd::OrderByFrom, TMenuId::Arrange, "mnuOrderByFrom", "From Order", kNone,
     "Show the log in sender order", kRadio},
    {TCmd::OrderBySubject, TMenuId::Arrange, "mnuOrderBySubject", "Subject Order", kNone,
     "Show the log in subject order", kRadio},
    {TCmd::TextFormat, TMenuId::Edit, "mnuTextFormat", "Text &Formatting", kNone,
     "Format the article texts of the log", kSeparatorBefore},
    {TCmd::DelBothBlanks, TMenuId::Edit, "mnuDelBothBlanks", "Del &Blanks at both ends ", kNone,
     "Delete the blanks at both ends of the lines", kPlain},
    {TCmd::TextReplace, TMenuId::Edit, "mnuTextReplace", "&Replace Text...", kNone,
     "Replace text in the log", kPlain},
    {TCmd::ViewError, TMenuId::Edit, "mnuViewError", "&View Error", kNone,
     "Open the file that failed to import", kSeparatorBefore},

    {TCmd::Prior100, TMenuId::View, "mnuPrior100", "&Prior 100 rec.", kNone,
     "Show the 100 records before these", kPlain},
    {TCmd::Next100, TMenuId::View, "mnuNext100", "&Next 100 rec.", kNone,
     "Show the 100 records after these", kPlain},

    {TCmd::Find, TMenuId::Keyword, "mnuFind", "&Find", Qt::CTRL | Qt::Key_F,
     "Find a keyword in the article", kPlain},
    {TCmd::FindNext, TMenuId::Keyword, "mnuFindNext", "Find &Next", QKeyCombination(Qt::Key_F3),
     "Find the keyword again", kPlain},
    {TCmd::AddKeyword, TMenuId::Keyword, "mnuAddKeyword", "&Add", kNone,
     "Add the keyword to the notes", kPlain},

    {TCmd::InfoSource, TMenuId::Tools, "mnuInfoSource", "&Information Source...",
     Qt::CTRL | Qt::Key_I, "Open the source of the record", kPlain},
    {TCmd::TextConv, TMenuId::Tools, "mnuTextConv", "Convert into Te&xt...", kNone,
     "Export the records as text", kPlain},
    {TCmd::FileExtConv, TMenuId::Tools, "mnuFileExtConv", "Convert File &Extension...", kNone,
     "Change the extension of files", kPlain},
    {TCmd::ChangeDBName, TMenuId::Tools, "mnuChangeDBName", "Change Database &Name", kNone,
     "Rename a database of the folder", kPlain},

    {TCmd::SetScript, TMenuId::Script, "mnuSetScript", "&Select Script...", kNone,
     "Choose the script for web pages", kPlain},
    {TCmd::TestScript, TMenuId::Script, "mnuTestScript", "&Test Script...", kNone,
     "Try a script on a page", kPlain},

    {TCmd::Font, TMenuId::Options, "mnuFont", "&Font...", kNone, "Choose the article font", kPlain},
    {TCmd::Editor, TMenuId::Options, "mnuEditor", "&Editor...", kNone,
     "Choose the external text editor", kPlain},
    {TCmd::ChangeOEUser, TMenuId::Options, "mnuChangeOEUser", "Change &OE User...", kNone,
     "Choose the Outlook Express user", kPlain},

    {TCmd::Topics, TMenuId::Help, "mnuTopics", "&Topics...", kNone, "Open the guide", kPlain},
    {TCmd::About, TMenuId::Help, "mnuAbout", "&About...", kNone, "About Brevilo", kPlain},

    {TCmd::MultiSelect, TMenuId::Grid, "popMultiSelect", "&Multi Select", kNone,
     "Select several rows", kCheckable},
    {TCmd::SetBookmark, TMenuId::Grid, "popSetBookmark", "&Set Bookmark", kNone, "Mark this row",
     kCheckable | kSeparatorBefore},
    {TCmd::GotoBookmark, TMenuId::Grid, "popGotoBookmark", "&Go to Bookmark", kNone,
     "Go to the marked row", kPlain},
    {TCmd::KeywordCopy, TMenuId::Grid, "popKeywordCopy", "Keyword &Copy", kNone, "Copy the keyword",
     kSeparatorBefore},
    {TCmd::KeywordPaste, TMenuId::Grid, "popKeywordPaste", "Keyword &Paste", kNone,
     "Paste the keyword", kPlain},

    {TCmd::FilterRelease, TMenuId::Filter, "popFltrRelease", "Release", kNone,
     "Show every record of the log", kRadio},
    {TCmd::FilterSubject, TMenuId::Filter, "popFltrSubject", "Subject", kNone,
     "Show the records with this subject", kRadio},
    {TCmd::FilterFrom, TMenuId::Filter, "popFltrFrom", "From", kNone,
     "Show the records from this sender", kRadio},
    {TCmd::FilterGroup, TMenuId::Filter, "popFltrGroup", "Group", kNone,
     "Show the records of this group", kRadio},
    {TCmd::FilterDateBefore, TMenuId::Filter, "popFltrDateBefore", "Date On && Before", kNone,
     "Show the records of this date and before", kRadio},
    {TCmd::FilterDateAfter, TMenuId::Filter, "popFltrDateAfter", "Date On && After", kNone,
     "Show the records of this date and after", kRadio},
    {TCmd::FilterMultiSelection, TMenuId::Filter, "popFltrMultiSelect", "Muliti-Selection", kNone,
     "Show the selected records", kRadio},
    {TCmd::FilterRange, TMenuId::Filter, "popFltrRange", "Range", kNone,
     "Show the records from the bookmark to this one", kRadio},
};

struct MenuSpec {
    const char* name;
    const char* text;
};

// Main menus in menu-bar order (the submenu and the pop-ups are placed separately).
constexpr MenuSpec kMenus[std::size_t(TMenuId::Count)] = {
    {"mnuFile", "&File"},
    {"mnuEdit", "&Edit"},
    {"mnuArrangeLog", "&Arrange Log Database"},
    {"mnuView", "&View"},
    {"mnuKeyword", "&Keyword"},
    {"mnuTools", "&Tools"},
    {"mnuScript", "&Script"},
    {"mnuOptions", "&Options"},
    {"mnuHelp", "&Help"},
    {"popGrid", ""},
    {"popFilter", ""},
};

}  // namespace

TCommands::TCommands(QMenuBar* bar, QWidget* owner) : QObject(owner) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (std::size_t i = 0; i < std::size_t(TMenuId::Count); ++i) {
        const auto id = TMenuId(i);
        QMenu* menu = nullptr;
        if (id == TMenuId::Grid || id == TMenuId::Filter)
            menu = new QMenu(owner);
        else if (id != TMenuId::Arrange)
            menu = bar->addMenu(QString::fromLatin1(kMenus[i].text));
        else
            continue;  // created inside Edit, where its place in the menu is
        menu->setObjectName(QString::fromLatin1(kMenus[i].name));
        menus_[i] = menu;
        connect(menu, &QMenu::aboutToShow, this, [this, id] { RefreshEnabled(id); });
        connect(menu, &QMenu::aboutToHide, this, [this, id] { EnableShortcuts(id); });
    }

    QActionGroup* groups[std::size_t(TMenuId::Count)] = {};
    for (const MenuItem& item : kMenuItems) {
        QMenu* menu = menus_[std::size_t(item.menu)];
        if (item.menu == TMenuId::Arrange && !menu) {
            QMenu* edit = menus_[std::size_t(TMenuId::Edit)];
            menu = edit->addMenu(QString::fromLatin1(kMenus[std::size_t(TMenuId::Arrange)].text));
            menu->setObjectName(QStringLiteral("mnuArrangeLog"));
            menu->menuAction()->setObjectName(QStringLiteral("mnuArrangeLogItem"));
            menus_[std::size_t(TMenuId::Arrange)] = menu;
            connect(menu, &QMenu::aboutToShow, this, [this] { RefreshEnabled(TMenuId::Arrange); });
        }
        if (item.flags & kSeparatorBefore)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setStatusTip(QString::fromLatin1(item.hint));
        if (item.shortcut != kNone)
            action->setShortcut(QKeySequence(item.shortcut));
        if (item.flags & (kCheckable | kRadio))
            action->setCheckable(true);
        if (item.flags & kRadio) {
            QActionGroup*& group = groups[std::size_t(item.menu)];
            if (!group)
                group = new QActionGroup(menu);
            group->addAction(action);
        }
        action->setEnabled(false);
        const TCmd cmd = item.cmd;
        // The rule is asked again when the item runs: a shortcut may run it long after
        // its menu was last opened.
        connect(action, &QAction::triggered, this, [this, cmd] {
            const std::size_t i = Index(cmd);
            if (handlers_[i] && (!enablers_[i] || enablers_[i]()))
                handlers_[i]();
        });
        actions_[Index(cmd)] = action;
        menuOf_[Index(cmd)] = item.menu;
    }
    // A menu's shortcuts work while it is closed, so the window holds the actions too.
    for (QAction* action : actions_)
        owner->addAction(action);
    // The Arrange submenu item is enabled by the Edit menu's rule for it.
    Action(TCmd::OrderByImport)->setChecked(true);
    Action(TCmd::FilterRelease)->setChecked(true);
}

void TCommands::Handle(TCmd cmd, Handler handler, Enabler enabler) {
    handlers_[Index(cmd)] = std::move(handler);
    enablers_[Index(cmd)] = std::move(enabler);
    QAction* action = Action(cmd);
    action->setEnabled(handlers_[Index(cmd)] &&
                       (!enablers_[Index(cmd)] || enablers_[Index(cmd)]()));
}

void TCommands::RefreshEnabled(TMenuId menu) {
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        if (menuOf_[i] != menu)
            continue;
        actions_[i]->setEnabled(handlers_[i] && (!enablers_[i] || enablers_[i]()));
    }
    emit aboutToShow(menu);
}

void TCommands::EnableShortcuts(TMenuId menu) {
    // A disabled action takes no shortcut; the rule is asked when the shortcut runs it.
    for (std::size_t i = 0; i < actions_.size(); ++i)
        if (menuOf_[i] == menu && handlers_[i] && !actions_[i]->shortcut().isEmpty())
            actions_[i]->setEnabled(true);
}

void TCommands::Trigger(TCmd cmd) {
    RefreshEnabled(menuOf_[Index(cmd)]);
    if (Action(cmd)->isEnabled())
        Action(cmd)->trigger();
}
