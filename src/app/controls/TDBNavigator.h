#pragma once

#include <QWidget>

class QToolButton;

// The record navigator of a tool bar: First, Prior, Next, Last, Insert, Delete, Edit, Post
// and Cancel, each a small button with its hint. The owner decides what each does and
// when it is enabled; the navigator only reports the press.
class TDBNavigator : public QWidget {
    Q_OBJECT

  public:
    enum Button { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };
    static constexpr int kButtonCount = 9;

    // withInsert false leaves the Insert button out (the search page's navigator).
    explicit TDBNavigator(bool withInsert, QWidget* parent = nullptr);

    QToolButton* ButtonAt(Button button) const { return buttons_[button]; }
    void SetButtonEnabled(Button button, bool enabled);

  signals:
    void clicked(TDBNavigator::Button button);

  private:
    QToolButton* buttons_[kButtonCount] = {};
};
