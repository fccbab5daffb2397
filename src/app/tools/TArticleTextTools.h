#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QPlainTextEdit;
class TReplaceDialog;

// The Edit menu's article commands - "Text Formatting", "Del Blanks at both ends " and
// "Replace Text..." - over the article editor: on its selection when it has one, else on
// its whole text. The rules are texttools' (cp932 bytes); this class moves the editor's
// text through them and back, as single undo steps of the editor.
//
// Each command first asks the record view to put the shown record into edit mode
// (beginEdit); when it cannot (no record), nothing changes. The edited text then waits in
// the editor like any other edit until the record is posted. GUI thread only.
class TArticleTextTools : public QObject {
    Q_OBJECT

  public:
    TArticleTextTools(QPlainTextEdit* editor, std::function<bool()> beginEdit,
                      QObject* parent = nullptr);

    void mnuTextFormatClick();
    void mnuDelBothBlanksClick();
    // Shows the modeless replace dialog with its top-left corner at `screenPos`, its
    // search text preset with the editor's selection.
    void mnuTextReplaceClick(const QPoint& screenPos);
    // The dialog's Replace (all = false) and Replace All.
    void ReplaceDialog1Replace(bool all);

    // The dialog, created on first use; nullptr before.
    TReplaceDialog* ReplaceDialog() const { return ReplaceDialog1_; }

  private:
    enum class Transform { Format, DeleteBlanks };
    void RunTransform(Transform transform);
    void FindNext();

    QPlainTextEdit* editor_;
    std::function<bool()> beginEdit_;
    TReplaceDialog* ReplaceDialog1_ = nullptr;
};
