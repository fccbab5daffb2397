#pragma once

#include <QToolBar>

class QLineEdit;
class QToolButton;
class TDBNavigator;
struct TMainContext;

// The Search Records page's tool bar, left to right: the keyword box, "Search by
// Keyword", "Set Memory Position", "Delete seleted rows", the search navigator and "Save
// changes".
class TSearchPage : public QToolBar {
    Q_OBJECT

  public:
    TSearchPage(const TMainContext& context, QWidget* parent);

    // Enables and disables the buttons by the view state.
    void UpdateButtons();

    QLineEdit* KeywordBox() const { return edKeyword_; }
    QToolButton* SearchButton() const { return sbSearch_; }
    QToolButton* MemoryButton() const { return sbMemory_; }
    QToolButton* DeleteSelectedButton() const { return sbSrchDelSelect_; }
    QToolButton* SaveButton() const { return sbSave_; }
    TDBNavigator* Navigator() const { return navSearch_; }

  private:
    const TMainContext& context_;
    QLineEdit* edKeyword_ = nullptr;
    QToolButton* sbSearch_ = nullptr;
    QToolButton* sbMemory_ = nullptr;
    QToolButton* sbSrchDelSelect_ = nullptr;
    TDBNavigator* navSearch_ = nullptr;
    QToolButton* sbSave_ = nullptr;
};
