#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;

// "Change database name": "Old Name:" offers the tables (sorted, a fixed list, the first
// selected), "New Name:" takes the new name.
class TNameChangeForm : public QDialog {
    Q_OBJECT

  public:
    explicit TNameChangeForm(QWidget* parent = nullptr);

    // Replaces the list (sorted without regard to letter case); the first entry is selected.
    void SetItems(const QStringList& items);
    QStringList Items() const;
    void SelectIndex(int index);
    QString OldName() const;
    QString NewName() const;
    void SetNewName(const QString& name);

  private:
    QComboBox* cbOldName_;
    QLineEdit* edNewName_;
};
