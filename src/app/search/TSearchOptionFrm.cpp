#include "search/TSearchOptionFrm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton* AddRadio(QVBoxLayout* layout, QWidget* parent, const char* name,
                       const QString& text) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    layout->addWidget(button);
    return button;
}

}  // namespace

TSearchOptionFrm::TSearchOptionFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SearchOptionFrm"));
    setWindowTitle(QStringLiteral("Search Options"));

    auto* methods = new QGroupBox(QStringLiteral("Search Method"), this);
    auto* methodLayout = new QVBoxLayout(methods);
    rbMethod_[0] = AddRadio(methodLayout, methods, "rbInitial", QStringLiteral("&Initial Search"));
    rbMethod_[1] =
        AddRadio(methodLayout, methods, "rbNarrowing", QStringLiteral("&Narrowing Search"));
    rbMethod_[2] = AddRadio(methodLayout, methods, "rbRecycle", QStringLiteral("&Recycle Search"));
    methodLayout->addStretch();

    auto* fields = new QGroupBox(QStringLiteral("Search Field"), this);
    auto* fieldLayout = new QVBoxLayout(fields);
    rbField_[0] =
        AddRadio(fieldLayout, fields, "rbSubjectNotes", QStringLiteral("&Subject or Notes"));
    rbField_[1] = AddRadio(fieldLayout, fields, "rbArticle", QStringLiteral("&Article"));
    rbField_[2] = AddRadio(fieldLayout, fields, "rbFrom", QStringLiteral("&From"));
    rbField_[3] = AddRadio(fieldLayout, fields, "rbNewsgroups", QStringLiteral("Ne&wsgroups"));
    rbField_[4] = AddRadio(fieldLayout, fields, "rbDate", QStringLiteral("&Date"));
    rbField_[5] = AddRadio(fieldLayout, fields, "rbRank", QStringLiteral("Ran&k"));
    rbField_[6] = AddRadio(fieldLayout, fields, "rbMessageID", QStringLiteral("&MessageID"));

    cbOrderByDate_ = new QCheckBox(QStringLiteral("&Order by Date"), this);
    cbOrderByDate_->setObjectName(QStringLiteral("cbOrderByDate"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(methods);
    groups->addWidget(fields);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(cbOrderByDate_);
    layout->addWidget(buttons);

    SetOptions(TSearchOptions{});
}

void TSearchOptionFrm::EnableMethods(bool narrowing, bool recycle) {
    rbMethod_[1]->setEnabled(narrowing);
    rbMethod_[2]->setEnabled(recycle);
    if ((rbMethod_[1]->isChecked() && !narrowing) || (rbMethod_[2]->isChecked() && !recycle))
        rbMethod_[0]->setChecked(true);
}

TSearchOptions TSearchOptionFrm::Options() const {
    TSearchOptions options;
    for (int i = 0; i < 3; ++i)
        if (rbMethod_[i]->isChecked())
            options.method = static_cast<TSearchMethod>(i);
    for (int i = 0; i < 7; ++i)
        if (rbField_[i]->isChecked())
            options.field = static_cast<TSearchField>(i);
    options.orderByDate = cbOrderByDate_->isChecked();
    return options;
}

void TSearchOptionFrm::SetOptions(const TSearchOptions& options) {
    rbMethod_[static_cast<int>(options.method)]->setChecked(true);
    rbField_[static_cast<int>(options.field)]->setChecked(true);
    cbOrderByDate_->setChecked(options.orderByDate);
}
