#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "shell/TMainContext.h"

class QMenu;
class QPoint;
class QUrl;
class TKeywordMarker;
class TSearchOptionFrm;

// The Search Records page's commands: the keyword search with its options, the subject
// search of the Log Records page, editing the result and "Save changes", "Set Memory
// Position", "Add", paging by 100, "Save Search Results...", the article view's keyword
// marking ("Find", "Find Next"), the grid's bookmark and keyword clipboard commands and
// "Information Source...". Each command catches the store's EError in one place and
// shows its own message. GUI thread only; lives as long as the main window.
class TSearchCommands : public QObject {
    Q_OBJECT

  public:
    explicit TSearchCommands(const TMainContext& context);
    ~TSearchCommands() override;

    void SearchByKeyword();    // the "Search by Keyword" button
    void KeywordBoxEnter();    // Enter in the keyword box
    void SearchBySubject();    // the Log Records page's "Search by Subject"
    void SetMemoryPosition();  // "Set Memory Position"
    void SaveChanges();        // "Save changes"
    void AddKeyword();         // Keyword menu "&Add"
    void PriorPage();          // "&Prior 100 rec."
    void NextPage();           // "&Next 100 rec."
    void SaveSearchResults();  // "Save Search &Results..."
    void InformationSource();  // "&Information Source..."
    void ToggleBookmark();     // "&Set Bookmark"
    void GoToBookmark();       // "&Go to Bookmark"
    void KeywordCopy();        // "Keyword &Copy"
    void KeywordPaste();       // "Keyword &Paste"

    // The article editor's context menu, built as it opens at globalPos.
    void ArticleContextMenu(const QPoint& globalPos);

    TSearchOptionFrm& OptionsForm() { return *options_; }
    TKeywordMarker& Marker() { return *marker_; }

    // How web and mail addresses are opened (the desktop by default); tests replace it.
    using Opener = std::function<bool(const QUrl&)>;
    static void SetOpener(Opener opener);
    // Tests get the article menu instead of its modal run (nullptr: run it).
    static void SetArticleMenuHook(std::function<void(QMenu&)> hook);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RunKeywordSearch();
    // One step of a stepped keyword search, then the next one queued.
    void SearchStep();
    // Runs a query operation on the runner; false (after "Search Error") when it failed.
    bool RunQuery(const std::function<void()>& op);
    void AfterQuery();
    void RowChanged();
    void EndMultiSelect();
    void UpdateSaveButton();
    bool OnSearchPage() const;
    std::vector<long long> SelectedMessageIDs() const;
    void PrependToCurrentNotes(const std::string& text);
    void Message(const QString& text);

    static std::function<void(QMenu&)> articleMenuHook_;

    TMainContext context_;
    TSearchOptionFrm* options_ = nullptr;
    TKeywordMarker* marker_ = nullptr;
    bool stepping_ = false;
};
