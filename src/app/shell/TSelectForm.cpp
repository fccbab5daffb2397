#include "shell/TSelectForm.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/DialogParts.h"

TSelectForm::TSelectForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SelectForm"));
    setWindowTitle(QStringLiteral("Select table"));

    ListBox1_ = new QListWidget(this);
    ListBox1_->setObjectName(QStringLiteral("ListBox1"));
    ListBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ListBox1_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    QDialogButtonBox* buttons = MakeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1_);
    layout->addWidget(buttons);
    resize(280, 320);
}

void TSelectForm::SetItems(const QStringList& items) {
    const QStringList sorted = SortedWithoutCase(items);
    ListBox1_->clear();
    ListBox1_->addItems(sorted);
}

QStringList TSelectForm::Items() const {
    QStringList items;
    for (int i = 0; i < ListBox1_->count(); ++i)
        items << ListBox1_->item(i)->text();
    return items;
}

void TSelectForm::SelectItem(const QString& name) {
    if (ListBox1_->count() == 0)
        return;
    int row = 0;
    for (int i = 0; i < ListBox1_->count(); ++i) {
        if (QString::compare(ListBox1_->item(i)->text(), name, Qt::CaseInsensitive) == 0) {
            row = i;
            break;
        }
    }
    ListBox1_->setCurrentRow(row);
}

QString TSelectForm::SelectedItem() const {
    const QListWidgetItem* item = ListBox1_->currentItem();
    return item ? item->text() : QString();
}
