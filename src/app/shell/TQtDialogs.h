#pragma once

#include "shell/IDialogs.h"

// The dialogs of the running program: Qt's message box, input dialog, file and font
// dialogs. Every window centres itself on its parent, as the program's small dialogs do.
class TQtDialogs final : public IDialogs {
  public:
    QMessageBox::StandardButton Message(QWidget* parent, const QString& text,
                                        const QString& caption, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) override;
    std::optional<QString> InputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& value) override;
    std::optional<QString> BrowseFolder(QWidget* parent, const QString& title,
                                        const QString& startFolder) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) override;
    std::optional<FontChoice> ChooseFont(QWidget* parent, const QFont& font,
                                         const QColor& color) override;
    int Exec(QDialog& dialog) override;
};
