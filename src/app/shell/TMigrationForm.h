#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;

// The log-database chooser: "To:" names the current table, "From:" offers the tables
// (sorted, a fixed list). The caller sets the caption.
class TMigrationForm : public QDialog {
    Q_OBJECT

  public:
    explicit TMigrationForm(QWidget* parent = nullptr);

    void SetTarget(const QString& table);
    // Replaces the list (sorted without regard to letter case); the first entry is selected.
    void SetItems(const QStringList& items);
    QStringList Items() const;
    void SelectIndex(int index);
    QString SelectedItem() const;

  private:
    QLabel* lbTo_;
    QComboBox* cbFrom_;
};
