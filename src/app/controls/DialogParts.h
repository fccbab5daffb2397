#pragma once

#include <QStringList>

class QDialog;
class QDialogButtonBox;

// What the small choosing dialogs share.

// OK and Cancel (named "btnOK" and "btnCancel") that accept and reject `dialog`; the
// caller places the box in its layout.
QDialogButtonBox* MakeOkCancel(QDialog* dialog);

// The items in alphabetical order without regard to letter case; equal ones keep their
// order.
QStringList SortedWithoutCase(QStringList items);
