#pragma once

#include <QLabel>

// A label for a path: when the text is wider than the label, its middle is replaced by
// an ellipsis so that the start of the folder and the file name stay readable. The full
// text stays the label's accessible name and tool tip.
class TEllipsisLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TEllipsisLabel(QWidget* parent = nullptr);

    void SetPath(const QString& path);
    const QString& Path() const { return path_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();

    QString path_;
};
