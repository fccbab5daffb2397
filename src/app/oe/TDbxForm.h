#pragma once

#include <QDialog>
#include <QStringList>
#include <set>
#include <string>

class QListWidget;

// "Select OE Folder": the folders of the Outlook Express store that hold unread messages,
// as a check list. The check marks only inform - they show the folders imported since the
// program started; the command takes the highlighted item. One instance lives for the
// whole run and keeps the set of imported folders (never saved).
class TDbxForm : public QDialog {
    Q_OBJECT

  public:
    explicit TDbxForm(QWidget* parent = nullptr);

    // Replaces the items by these display names (cp932), in this order; the first is
    // selected.
    void SetItems(const std::vector<std::string>& displayNames);
    int SelectedIndex() const;
    void SelectIndex(int index);
    // The display name of item `index` (cp932).
    const std::string& DisplayName(int index) const;

    // Remembers the folder of item `index` as imported.
    void MarkImported(int index);
    // Whether item `index` carries a check mark.
    bool IsChecked(int index) const;

    // Checks the items whose folders were imported (FormShow; the command also calls it
    // before the window runs).
    void PutCheckMarks();

    QListWidget* ChkListBox() const { return ChkListBox1_; }

    // The folder name of a display name: its text before the first "(".
    static std::string FolderName(const std::string& displayName);

  protected:
    // Puts the check marks (FormShow).
    void showEvent(QShowEvent* event) override;

  private:
    QListWidget* ChkListBox1_;
    std::vector<std::string> names_;
    std::set<std::string> imported_;
};
