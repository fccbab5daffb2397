#include "shell/TQtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>

namespace {

TQtDialogs gQtDialogs;
IDialogs* gDialogs = &gQtDialogs;

}  // namespace

IDialogs& Dialogs() {
    return *gDialogs;
}

void SetDialogs(IDialogs* dialogs) {
    gDialogs = dialogs ? dialogs : &gQtDialogs;
}

void ShowMessage(QWidget* parent, const QString& text) {
    Dialogs().Message(parent, text, QApplication::applicationName(), QMessageBox::NoIcon,
                      QMessageBox::Ok);
}

QMessageBox::StandardButton TQtDialogs::Message(QWidget* parent, const QString& text,
                                                const QString& caption, QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    const int result = box.exec();
    return static_cast<QMessageBox::StandardButton>(result);
}

std::optional<QString> TQtDialogs::InputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& value) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> TQtDialogs::BrowseFolder(QWidget* parent, const QString& title,
                                                const QString& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent, title, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> TQtDialogs::OpenFile(QWidget* parent, const QString& title,
                                            const QString& folder, const QString& filter) {
    const QString file = QFileDialog::getOpenFileName(parent, title, folder, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> TQtDialogs::SaveFile(QWidget* parent, const QString& title,
                                            const QString& folder, const QString& filter,
                                            const QString& defaultSuffix) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<IDialogs::FontChoice> TQtDialogs::ChooseFont(QWidget* parent, const QFont& font,
                                                           const QColor& color) {
    // Qt's font dialog has no colour choice; the colour is asked right after the font,
    // so one command still sets both as the system's font dialog did.
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (!ok)
        return std::nullopt;
    const QColor chosenColor = QColorDialog::getColor(color, parent);
    return FontChoice{chosen, chosenColor.isValid() ? chosenColor : color};
}

int TQtDialogs::Exec(QDialog& dialog) {
    return dialog.exec();
}
