#include "oe/TDbxForm.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/Cp932Text.h"
#include "controls/DialogParts.h"

TDbxForm::TDbxForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DbxForm"));
    ChkListBox1_ = new QListWidget(this);
    ChkListBox1_->setObjectName(QStringLiteral("ChkListBox1"));
    ChkListBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    ChkListBox1_->setAccessibleName(QStringLiteral("Folders"));
    connect(ChkListBox1_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    QDialogButtonBox* buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ChkListBox1_);
    layout->addWidget(buttons);
    resize(300, 320);
}

std::string TDbxForm::FolderName(const std::string& displayName) {
    return displayName.substr(0, displayName.find('('));
}

void TDbxForm::SetItems(const std::vector<std::string>& displayNames) {
    names_ = displayNames;
    ChkListBox1_->clear();
    for (const std::string& name : names_) {
        auto* item = new QListWidgetItem(FromCp932(name), ChkListBox1_);
        // A mark the user cannot change: it tells, it does not choose.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    if (!names_.empty())
        ChkListBox1_->setCurrentRow(0);
}

int TDbxForm::SelectedIndex() const {
    return ChkListBox1_->currentRow();
}

void TDbxForm::SelectIndex(int index) {
    ChkListBox1_->setCurrentRow(index);
}

const std::string& TDbxForm::DisplayName(int index) const {
    return names_.at(static_cast<std::size_t>(index));
}

void TDbxForm::MarkImported(int index) {
    if (index >= 0 && index < static_cast<int>(names_.size()))
        imported_.insert(FolderName(DisplayName(index)));
}

bool TDbxForm::IsChecked(int index) const {
    const QListWidgetItem* item = ChkListBox1_->item(index);
    return item && item->checkState() == Qt::Checked;
}

void TDbxForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PutCheckMarks();
}

void TDbxForm::PutCheckMarks() {
    for (int i = 0; i < ChkListBox1_->count(); ++i)
        ChkListBox1_->item(i)->setCheckState(
            imported_.count(FolderName(names_[static_cast<std::size_t>(i)])) ? Qt::Checked
                                                                             : Qt::Unchecked);
}
