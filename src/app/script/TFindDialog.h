#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The modeless find dialog of the script test window: a text, "whole word" and "match
// case", and Find Next, which emits findNext(). It searches nothing itself; its owner
// does.
class TFindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFindDialog(QWidget* parent);

    QString FindText() const;
    bool WholeWord() const;
    bool MatchCase() const;

    QLineEdit* FindEdit() const { return edFind_; }
    QCheckBox* WholeWordBox() const { return ckWholeWord_; }
    QCheckBox* MatchCaseBox() const { return ckMatchCase_; }
    QPushButton* FindNextButton() const { return btnFindNext_; }

  signals:
    void findNext();

  private:
    QLineEdit* edFind_ = nullptr;
    QCheckBox* ckWholeWord_ = nullptr;
    QCheckBox* ckMatchCase_ = nullptr;
    QPushButton* btnFindNext_ = nullptr;
};
