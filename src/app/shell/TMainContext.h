#pragma once

class TCommands;
class TDMod;
class TMainfrm;
class TRecordViewWidget;

// What a part of the main window (a page, a command class) is given to work with. The
// objects belong to the main window and the program, and outlive every part. Questions
// and messages go through Dialogs() (shell/IDialogs.h); background operations through
// TRunner (runner/TRunner.h).
struct TMainContext {
    TMainfrm& frame;          // pages, title, status texts, settings
    TDMod& dmod;              // every table and the view state (flags, filter, ordering)
    TCommands& commands;      // menu items: handlers and enabling
    TRecordViewWidget& view;  // record boxes, article editor, grid and navigators
};
