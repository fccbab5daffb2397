#pragma once

// A main window started on a database folder with the main table "News" open, for the
// tests of the pages and commands. Questions are answered through ScriptedDialogs.

#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "view/TRecordViewWidget.h"

namespace apptest {

struct MainWindowFixture {
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<QTemporaryDir> db;
    std::unique_ptr<TDMod> dmod;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TMainfrm> window;

    // Makes the folder with the tables (the first is opened), starts the window.
    // prepare runs on the folder's data module before the window starts.
    bool Start(const std::vector<std::string>& tables = {"News"},
               const std::function<void(TDMod&)>& prepare = {}) {
        config = std::make_unique<QTemporaryDir>();
        db = std::make_unique<QTemporaryDir>();
        RedirectSettings(config->path());
        {
            TDMod maker;
            maker.OpenFolder(db->path().toStdString());
            for (const std::string& table : tables)
                maker.CreateMainTable(table);
            if (prepare)
                prepare(maker);
        }
        {
            QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
            store.setValue("DBDir", db->path());
            store.setValue("RecentTable", QString::fromStdString(tables.front()));
        }
        dmod = std::make_unique<TDMod>();
        dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        window = std::make_unique<TMainfrm>(*dmod, TAppEnv{config->path()});
        window->show();
        return QTest::qWaitForWindowExposed(window.get()) &&
               QTest::qWaitFor([&] { return window->Started(); }) && dmod->HasMainTable();
    }

    void Stop() {
        if (window) {
            dialogs->messageAnswers = {QMessageBox::Yes, QMessageBox::Yes};
            window->close();
        }
        window.reset();
        dialogs.reset();
        dmod.reset();
    }

    static TRecordFields Record(int i, const std::string& subject = {}) {
        TRecordFields record;
        record.From = "Taro <taro@example.jp>";
        record.Newsgroup = "fj.news";
        record.Subject = subject.empty() ? "Subject " + std::to_string(i) : subject;
        // Dates run backwards, so Date order reverses Import order.
        record.Date = "2001/5/" + std::to_string(28 - i % 28) + " 10:20:30";
        record.Article = "line " + std::to_string(i) + "\r\n";
        return record;
    }

    // Imports n records into the log as an import would (the log is then in use).
    void FillLog(int n) {
        {
            TDMod::LogBatch batch(*dmod);
            for (int i = 1; i <= n; ++i)
                dmod->AppendLogRecord(Record(i));
            batch.Commit();
        }
        dmod->SetLogInUse(true);
        window->RefreshView();
    }

    TRecordViewWidget& View() { return window->View(); }
    QToolButton* Button(const char* name) { return window->findChild<QToolButton*>(name); }
    QString Counter() { return window->StatusPanelText(0); }
    std::string CurrentSubject() {
        return dmod->Log().Rows().Row(dmod->Log().Rows().Current()).Subject;
    }
};

}  // namespace apptest
