#pragma once

// Answers every modal question of the program from a script the test sets up, and keeps
// a record of what was asked. A question without a prepared answer is recorded as
// unexpected and answered as if cancelled, so a test fails instead of hanging.

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "shell/IDialogs.h"

class ScriptedDialogs final : public IDialogs {
  public:
    struct Call {
        QString kind;  // "message", "input", "folder", "open", "save", "font", "exec"
        QString caption;
        QString text;  // message text, input prompt, start folder, or dialog class name
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };

    ScriptedDialogs() : previous_(&Dialogs()) { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(previous_); }

    std::deque<QMessageBox::StandardButton> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    // Each handler gets the dialog, may fill it in, and returns its result code.
    std::deque<std::function<int(QDialog&)>> execAnswers;

    QList<Call> calls;
    QStringList unexpected;

    QStringList Kinds() const {
        QStringList kinds;
        for (const Call& call : calls)
            kinds << call.kind;
        return kinds;
    }
    const Call* Last(const QString& kind) const {
        for (auto it = calls.crbegin(); it != calls.crend(); ++it)
            if (it->kind == kind)
                return &*it;
        return nullptr;
    }

    QMessageBox::StandardButton Message(QWidget*, const QString& text, const QString& caption,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) override {
        calls.append({"message", caption, text, icon, buttons});
        if (messageAnswers.empty()) {
            unexpected << QStringLiteral("message: ") + text;
            return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
        }
        const auto answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    std::optional<QString> InputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString&) override {
        calls.append({"input", title, prompt, QMessageBox::NoIcon, {}});
        return Take(inputAnswers, QStringLiteral("input: ") + title);
    }

    std::optional<QString> BrowseFolder(QWidget*, const QString& title,
                                        const QString& startFolder) override {
        calls.append({"folder", title, startFolder, QMessageBox::NoIcon, {}});
        return Take(folderAnswers, QStringLiteral("folder: ") + title);
    }

    std::optional<QString> OpenFile(QWidget*, const QString& title, const QString& folder,
                                    const QString&) override {
        calls.append({"open", title, folder, QMessageBox::NoIcon, {}});
        return Take(fileAnswers, QStringLiteral("open: ") + title);
    }

    std::optional<QString> SaveFile(QWidget*, const QString& title, const QString& folder,
                                    const QString&, const QString&) override {
        calls.append({"save", title, folder, QMessageBox::NoIcon, {}});
        return Take(fileAnswers, QStringLiteral("save: ") + title);
    }

    std::optional<FontChoice> ChooseFont(QWidget*, const QFont& font, const QColor&) override {
        calls.append({"font", QString(), font.family(), QMessageBox::NoIcon, {}});
        if (fontAnswers.empty()) {
            unexpected << QStringLiteral("font");
            return std::nullopt;
        }
        auto answer = fontAnswers.front();
        fontAnswers.pop_front();
        return answer;
    }

    int Exec(QDialog& dialog) override {
        calls.append({"exec",
                      dialog.windowTitle(),
                      QString::fromLatin1(dialog.metaObject()->className()),
                      QMessageBox::NoIcon,
                      {}});
        if (execAnswers.empty()) {
            unexpected << QStringLiteral("exec: ") + dialog.windowTitle();
            return QDialog::Rejected;
        }
        auto answer = std::move(execAnswers.front());
        execAnswers.pop_front();
        return answer(dialog);
    }

  private:
    IDialogs* previous_;

    std::optional<QString> Take(std::deque<std::optional<QString>>& answers, const QString& what) {
        if (answers.empty()) {
            unexpected << what;
            return std::nullopt;
        }
        const bool given = answers.front().has_value();
        const QString value = given ? *answers.front() : QString();
        answers.pop_front();
        if (!given)
            return std::nullopt;
        return value;
    }
};
