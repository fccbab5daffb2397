#pragma once

#include <QDialog>

class QLineEdit;

// "Set external editor": the program that opens error files and pages. The text is taken
// as it stands on OK, without a check.
class TEdForm : public QDialog {
    Q_OBJECT

  public:
    explicit TEdForm(QWidget* parent = nullptr);

    void SetEditorName(const QString& name);
    QString EditorName() const;

  private:
    void btnSelectClick();

    QLineEdit* edEditor_;
};
