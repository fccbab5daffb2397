#pragma once

#include <QDialog>
#include <QString>

#include "tools/TFileExtConverter.h"

class QCheckBox;
class QComboBox;
class QPushButton;

// "Convert file extension": renames the files of the import folder that match a mask to
// another extension, with Undo for the last step. The rules are TFileExtConverter's; the
// window shows its messages. Created for one use with the import folder, shown modally.
class TFileExtForm : public QDialog {
    Q_OBJECT

  public:
    explicit TFileExtForm(const QString& folder, QWidget* parent = nullptr);

    // "Convert File Extension...": the window over the import folder, modal, then gone.
    static void Run(QWidget* parent, const QString& importFolder);

    void btnConvertClick();
    void btnUndoClick();

    const TFileExtConverter& Converter() const { return converter_; }

  private:
    TFileExtConverter converter_;
    QComboBox* cbMask_;
    QComboBox* cbPostExt_;
    QCheckBox* cbConcat_;
    QPushButton* btnConvert_;
    QPushButton* btnUndo_;
};
