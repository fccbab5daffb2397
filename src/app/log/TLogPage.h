#pragma once

#include <QToolBar>

class QComboBox;
class QToolButton;
class TDBNavigator;
struct TMainContext;

// The Log Records page's tool bar, left to right: the import extension box, "Import
// records", "Filter", "Search by Subject", "Delete seleted rows", "Copy selected rows",
// "Move selected rows", the log navigator and "Write into database".
class TLogPage : public QToolBar {
    Q_OBJECT

  public:
    TLogPage(const TMainContext& context, QWidget* parent);

    // The extension of the chosen item (".eml", ".nws", ".htm", ".txt " - the trailing
    // blank of the last item is kept).
    QString ImportExtension() const;

    // Enables and disables the buttons by the view state.
    void UpdateButtons();

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
