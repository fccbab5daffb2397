#pragma once

// The menus of the main window, built in one place from the item table in TCommands.cpp.
//
// How a subsystem (search, import, script, tools, ...) adds a menu command:
//  1. Give the command an id in TCmd and a row in kMenuItems (TCommands.cpp): the menu,
//     the designer name (objectName), the text with its "&" mnemonic, the shortcut and the
//     hint. Nothing else in the frame changes.
//  2. In the subsystem's own class (in its own folder), which receives a TMainContext,
//     call context.commands.Handle(TCmd::X, handler, enabler). The enabler is asked each
//     time the item's menu opens (and by RefreshEnabled()); without one the item is
//     enabled whenever it has a handler. An item without a handler stays disabled.
//  3. Construct that class once in TMainfrm's constructor.
// The handler reaches the data module (context.dmod), the record view shared by both
// pages (context.view: the bound record set, posting a pending edit, freezing the
// controls), the frame (context.frame: pages, title, status texts, settings) and the
// background runner (runner/TRunner.h: TRunner::Run shows the modal wait window while a
// data-module operation runs on a worker thread). Every question and message goes
// through Dialogs() (shell/IDialogs.h). Each command catches the store's EError in one
// place and shows its own message.

#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

enum class TCmd {
    // File
    OpenDB,
    NewDB,
    ChangeFolder,
    DataFiles,
    SaveResult,
    Backup,
    DbxImport,
    DelBak,
    DelErr,
    Print,
    Exit,
    // Edit
    CopyFiltered,
    MoveFiltered,
    DeleteFiltered,
    OpenLogDB,
    CloseLogDB,
    PackLogDB,
    OrderByImport,
    OrderByDate,
    OrderByGroup,
    OrderByFrom,
    OrderBySubject,
    TextFormat,
    DelBothBlanks,
    TextReplace,
    ViewError,
    // View (Search Records page)
    Prior100,
    Next100,
    // Keyword (Search Records page)
    Find,
    FindNext,
    AddKeyword,
    // Tools
    InfoSource,
    TextConv,
    FileExtConv,
    ChangeDBName,
    // Script
    SetScript,
    TestScript,
    // Options
    Font,
    Editor,
    ChangeOEUser,
    // Help
    Topics,
    About,
    // The grid's context menu
    MultiSelect,
    SetBookmark,
    GotoBookmark,
    KeywordCopy,
    KeywordPaste,
    // The log filter menu (the "Filter" button)
    FilterRelease,
    FilterSubject,
    FilterFrom,
    FilterGroup,
    FilterDateBefore,
    FilterDateAfter,
    FilterMultiSelection,
    FilterRange,
    Count
};

// The menus the table fills.
enum class TMenuId {
    File,
    Edit,
    Arrange,  // "&Arrange Log Database", a submenu of Edit
    View,
    Keyword,
    Tools,
    Script,
    Options,
    Help,
    Grid,    // the grid's context menu "popGrid"
    Filter,  // the filter menu "popFilter" below the Filter button
    Count
};

// Owns the actions of every menu item and runs the handlers subsystems gave. GUI thread
// only; lives as long as the main window.
class TCommands : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void()>;
    using Enabler = std::function<bool()>;

    // Builds every menu: the main ones on bar, the pop-up ones parented to owner.
    TCommands(QMenuBar* bar, QWidget* owner);

    // The handler runs when the item is chosen; the enabler decides whether it is enabled
    // (asked when its menu opens). A second call replaces both.
    void Handle(TCmd cmd, Handler handler, Enabler enabler = {});
    // Recomputes the enabling of every item of menu (as opening it does).
    void RefreshEnabled(TMenuId menu);
    // Runs the command as choosing its item would, if its item is enabled.
    void Trigger(TCmd cmd);

    QAction* Action(TCmd cmd) const { return actions_[Index(cmd)]; }
    QMenu* Menu(TMenuId menu) const { return menus_[std::size_t(menu)]; }

  signals:
    // A menu is opening; its items' enabling has just been recomputed. For rules that are
    // not one item's (the Arrange submenu's own item, check marks).
    void aboutToShow(TMenuId menu);

  private:
    static std::size_t Index(TCmd cmd) { return std::size_t(cmd); }
    void EnableShortcuts(TMenuId menu);

    std::array<QAction*, std::size_t(TCmd::Count)> actions_{};
    std::array<QMenu*, std::size_t(TMenuId::Count)> menus_{};
    std::array<TMenuId, std::size_t(TCmd::Count)> menuOf_{};
    std::array<Handler, std::size_t(TCmd::Count)> handlers_;
    std::array<Enabler, std::size_t(TCmd::Count)> enablers_;
};
