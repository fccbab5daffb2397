#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// The table chooser (also the script chooser): a list of names sorted without regard to
// letter case, with OK and Cancel. The caller sets the caption. Created once at start-up
// and kept for the whole run.
class TSelectForm : public QDialog {
    Q_OBJECT

  public:
    explicit TSelectForm(QWidget* parent = nullptr);

    // Replaces the list.
    void SetItems(const QStringList& items);
    QStringList Items() const;

    // Selects the entry equal to name without regard to letter case; the first entry
    // when there is none.
    void SelectItem(const QString& name);

    // The selected name; empty when the list is empty.
    QString SelectedItem() const;

    QListWidget* ListBox() const { return ListBox1_; }

  private:
    QListWidget* ListBox1_;
};
