#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "core/oe/DbxBuilder.h"
#include "import/IImportWindow.h"
#include "import/TImportCommands.h"
#include "oe/TDbxForm.h"
#include "oe/TOECommands.h"
#include "shell/TSelectForm.h"
#include "shell/TSettings.h"
#include "store/TDMod.h"

using dbxtest::DbxBuilder;

namespace {

class FakeWindow : public IImportWindow {
  public:
    QWidget owner;
    int logPageShown = 0;
    QWidget* Owner() override { return &owner; }
    bool LogInUse() const override { return false; }
    void ShowLogPage() override { ++logPageShown; }
    void ImportStarting() override {}
    void ImportEnded() override {}
    void ImportSettingsChanged() override {}
};

}  // namespace

// The Outlook Express commands on a real store and a real log: the store folder check, the
// folder chooser with its marks, the tagged import, and the identity chooser.
class TestOE : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_, db_, wine_;
    std::unique_ptr<TDMod> dmod_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<FakeWindow> window_;
    TSettings settings_;
    std::unique_ptr<TImportCommands> imports_;
    std::unique_ptr<TOECommands> oe_;

    void Start(const QByteArray& userReg = {}) {
        const QString reg = wine_->filePath(QStringLiteral("user.reg"));
        QFile file(reg);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("WINE REGISTRY Version 2\n\n" + userReg);
        file.close();
        oe_ = std::make_unique<TOECommands>(*dmod_, settings_, *window_, *imports_,
                                            QFile::encodeName(reg).toStdString());
    }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
        db_ = std::make_unique<QTemporaryDir>();
        wine_ = std::make_unique<QTemporaryDir>();
        dmod_ = std::make_unique<TDMod>();
        dmod_->OpenFolder(db_->path().toStdString());
        dialogs_ = std::make_unique<ScriptedDialogs>();
        window_ = std::make_unique<FakeWindow>();
        settings_ = TSettings{};
        imports_ = std::make_unique<TImportCommands>(*dmod_, settings_, *window_,
                                                     [] { return QString(); });
    }

    void cleanup() {
        QVERIFY2(dialogs_->unexpected.isEmpty(), qPrintable(dialogs_->unexpected.join("; ")));
        oe_.reset();
        imports_.reset();
        window_.reset();
        dialogs_.reset();
        dmod_.reset();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void missingStoreIsForgotten() {
        Start();
        settings_.OEStoreRoot = db_->filePath(QStringLiteral("no-store"));
        QVERIFY(oe_->CanImportDbx());
        dialogs_->messageAnswers = {QMessageBox::Ok};
        oe_->mnudbxImportClick();
        const auto* message = dialogs_->Last("message");
        QVERIFY(message);
        QCOMPARE(message->text, QStringLiteral("Folders.dbx file not found"));
        QCOMPARE(message->caption, QStringLiteral("Warning"));
        QCOMPARE(message->icon, QMessageBox::Critical);
        QVERIFY(settings_.OEStoreRoot.isEmpty());
        QVERIFY(!oe_->CanImportDbx());
    }

    // A store with unread messages in Inbox (downloaded) and News (headers only).
    void storeIsImportedAndMarked() {
        Start();
        const std::string store = QFile::encodeName(wine_->path()).toStdString();
        DbxBuilder folders(DbxBuilder::Kind::FolderList);
        folders.IndexFolders({folders.AddFolder("Inbox", "Inbox.dbx", 2),
                              folders.AddFolder("Outbox", "Outbox.dbx", 0),
                              folders.AddFolder("News", "News.dbx", 1)});
        folders.Write(store + "/Folders.dbx");
        DbxBuilder inbox;
        inbox.IndexMessages({inbox.AddMessage("From: a@b\r\nSubject: m1\r\n\r\none\r\n"),
                             inbox.AddMessage("From: a@b\r\nSubject: m2\r\n\r\ntwo\r\n")});
        inbox.Write(store + "/Inbox.dbx");
        DbxBuilder news;
        news.IndexMessages({news.AddMessage("From: a@b\r\nSubject: n\r\n\r\nx\r\n", 0)});
        news.Write(store + "/News.dbx");
        settings_.OEStoreRoot = wine_->path();

        QStringList offered;
        bool checkedBefore = true;
        dialogs_->execAnswers.push_back([&](QDialog& dialog) {
            auto& form = static_cast<TDbxForm&>(dialog);
            for (int i = 0; i < form.ChkListBox()->count(); ++i)
                offered << form.ChkListBox()->item(i)->text();
            checkedBefore = form.IsChecked(0);
            return int(QDialog::Accepted);  // the first, Inbox, is selected
        });
        oe_->mnudbxImportClick();
        QCOMPARE(dialogs_->Last("exec")->caption, QStringLiteral("Select OE Folder"));
        QCOMPARE(offered, (QStringList{"Inbox(2)", "News(1)"}));
        QVERIFY(!checkedBefore);
        QCOMPARE(window_->logPageShown, 1);
        QCOMPARE(dmod_->Log().TableCount(), 2);
        QVERIFY(!oe_->CanImportDbx());  // records in the log
        QVERIFY(QFileInfo::exists(wine_->filePath("Inbox.dbx")));

        // Next time Inbox carries its mark; News has nothing downloaded.
        dmod_->ResetTempTables();
        bool inboxChecked = false, newsChecked = true;
        dialogs_->execAnswers.push_back([&](QDialog& dialog) {
            auto& form = static_cast<TDbxForm&>(dialog);
            inboxChecked = form.IsChecked(0);
            newsChecked = form.IsChecked(1);
            form.SelectIndex(1);
            return int(QDialog::Accepted);
        });
        dialogs_->messageAnswers = {QMessageBox::Ok};
        oe_->mnudbxImportClick();
        QVERIFY(inboxChecked);
        QVERIFY(!newsChecked);
        QCOMPARE(dmod_->Log().TableCount(), 0);
        QCOMPARE(dialogs_->Last("message")->text, QStringLiteral("No downloaded messages"));
        QCOMPARE(dialogs_->Last("message")->icon, QMessageBox::Warning);
    }

    void folderNameIsTheTextBeforeTheParenthesis() {
        QCOMPARE(TDbxForm::FolderName("Inbox(12)"), std::string("Inbox"));
        QCOMPARE(TDbxForm::FolderName("a(b)(3)"), std::string("a"));
    }

    void changeUserOffersIdentitiesWithAStore() {
        Start(R"([Identities] 1
"Default User ID"="{1}"
[Identities\\{1}] 1
"Username"="Taro"
"User ID"="{1}"
[Identities\\{1}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/stores/taro\\"
[Identities\\{2}] 1
"Username"="hanako"
"User ID"="{2}"
[Identities\\{2}\\Software\\Microsoft\\Outlook Express\\5.0] 1
"Store Root"="/stores/hanako"
[Identities\\{3}] 1
"Username"="No Mail"
"User ID"="{3}"
)");
        oe_->ResolveStore();
        QCOMPARE(oe_->IdentityCount(), 3);
        QVERIFY(oe_->CanChangeOEUser());
        QCOMPARE(settings_.Username, QStringLiteral("Taro"));
        QCOMPARE(settings_.OEStoreRoot, QStringLiteral("/stores/taro"));

        dialogs_->execAnswers.push_back([](QDialog& dialog) {
            auto& form = static_cast<TSelectForm&>(dialog);
            if (form.Items() != QStringList{"hanako", "Taro"} ||
                form.SelectedItem() != QLatin1String("Taro"))
                return int(QDialog::Rejected);
            form.SelectItem(QStringLiteral("hanako"));
            return int(QDialog::Accepted);
        });
        oe_->mnuChangeOEUserClick();
        QCOMPARE(dialogs_->Last("exec")->caption, QStringLiteral("Select User"));
        QCOMPARE(settings_.Username, QStringLiteral("hanako"));
        QCOMPARE(settings_.OEStoreRoot, QStringLiteral("/stores/hanako"));
    }

    void oneIdentityCannotBeChanged() {
        Start(R"([Identities\\{1}] 1
"Username"="Taro"
)");
        oe_->ResolveStore();
        QCOMPARE(oe_->IdentityCount(), 1);
        QVERIFY(!oe_->CanChangeOEUser());
    }
};

QTEST_MAIN(TestOE)
#include "tst_oe.moc"
