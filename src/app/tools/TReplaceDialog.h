#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The find-and-replace dialog of "Replace Text...": modeless; the user keeps working in the
// article while it is open. It only asks: the owner does the replacing on replaceClicked.
class TReplaceDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TReplaceDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    bool MatchCase() const;
    bool WholeWord() const;

  signals:
    // Replace (all = false) or Replace All.
    void replaceClicked(bool all);
    void findNextClicked();

  private:
    QLineEdit* edFind_;
    QLineEdit* edReplace_;
    QCheckBox* ckCase_;
    QCheckBox* ckWord_;
};
