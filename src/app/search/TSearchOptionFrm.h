#pragma once

#include <QDialog>

#include "store/TSearchOptions.h"

class QCheckBox;
class QRadioButton;

// The search options dialog: search method, search field and "Order by Date". Created
// once with the main window, so the choices persist for the run.
class TSearchOptionFrm : public QDialog {
    Q_OBJECT

  public:
    explicit TSearchOptionFrm(QWidget* parent);

    // Enables "Narrowing Search" and "Recycle Search"; a disabled choice that was checked
    // gives way to "Initial Search". Call before showing the dialog.
    void EnableMethods(bool narrowing, bool recycle);

    TSearchOptions Options() const;
    void SetOptions(const TSearchOptions& options);

  private:
    QRadioButton* rbMethod_[3] = {};
    QRadioButton* rbField_[7] = {};
    QCheckBox* cbOrderByDate_ = nullptr;
};
