#pragma once

#include <QObject>

#include "shell/TMainContext.h"

class TArticleTextTools;

// The text tools' menu commands: "Text Formatting", "Del Blanks at both ends " and
// "Replace Text..." (Edit), "Convert into Text..." and "Convert File Extension..."
// (Tools), "Print..." (File). GUI thread only; lives as long as the main window.
class TToolsCommands : public QObject {
    Q_OBJECT

  public:
    // Registers the handlers and enabling rules with context.commands.
    explicit TToolsCommands(const TMainContext& context);

    void mnuTextConvClick();
    void mnuFileExtConvClick();
    void mnuPrintClick();
    TArticleTextTools& ArticleTools() { return *articleTools_; }

  private:
    // The shown data set (the bound page's rows) is not empty.
    bool RecordsShown() const;
    // The log table holds a record.
    bool LogHasRecords() const;

    TMainContext context_;
    TArticleTextTools* articleTools_;
};
