#include "shell/TMainfrm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "database/TDatabaseCommands.h"
#include "html/TColBlank.h"
#include "import/TImportCommands.h"
#include "import/TImportWiring.h"
#include "log/TLogPage.h"
#include "log/TTransferCommands.h"
#include "script/TScriptCommands.h"
#include "search/TSearchCommands.h"
#include "search/TSearchPage.h"
#include "shell/DateFormat.h"
#include "shell/FolderText.h"
#include "shell/IDialogs.h"
#include "shell/TAboutBox.h"
#include "shell/TCommands.h"
#include "shell/TEdForm.h"
#include "shell/TInstallPaths.h"
#include "shell/TSelectForm.h"
#include "store/TDMod.h"
#include "tools/TToolsCommands.h"
#include "view/TBoundRecords.h"
#include "view/TRecordViewWidget.h"

namespace {

// Settings keep colours as Windows colour values (0x00BBGGRR).
QColor ColorFromRef(int ref) {
    return QColor(ref & 0xff, (ref >> 8) & 0xff, (ref >> 16) & 0xff);
}

int ColorToRef(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QFont FontFrom(const QString& name, int pointSize) {
    QFont font(name);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

}  // namespace

TMainfrm::TMainfrm(TDMod& dmod, const TAppEnv& env, QWidget* parent)
    : QMainWindow(parent), dmod_(dmod) {
    setObjectName(QStringLiteral("Mainfrm"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    // 1. Fonts and settings.
    LoadSettings();

    // 2. The user's data and script folders; the script folder is made (and seeded with
    // the examples) on first use.
    dataFolder_ = env.dataFolder.isEmpty()
                      ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                      : env.dataFolder;
    while (dataFolder_.size() > 1 && dataFolder_.endsWith(QLatin1Char('/')))
        dataFolder_.chop(1);
    scriptFolder_ = dataFolder_ + QStringLiteral("/scripts");

    // 3. The menus, the record view, the pages and the commands.
    commands_ = new TCommands(menuBar(), this);
    view_ = new TRecordViewWidget(this);
    context_ = std::make_unique<TMainContext>(TMainContext{*this, dmod_, *commands_, *view_});
    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName(QStringLiteral("PageControl1"));
    PageControl1_->setDocumentMode(true);
    PageControl1_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    logPage_ = new TLogPage(*context_, PageControl1_);
    searchPage_ = new TSearchPage(*context_, PageControl1_);
    PageControl1_->addTab(logPage_, QStringLiteral("Log Records"));
    PageControl1_->addTab(searchPage_, QStringLiteral("Search Records"));
    connect(PageControl1_, &QTabWidget::currentChanged, this, &TMainfrm::PageControl1Change);
    // The pages from the keyboard, wherever the focus is: Ctrl+Tab and Ctrl+PgDn go to the
    // other page, as in a browser's tabs.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (PageControl1_->isTabVisible(SearchPage))
                ShowPage(ActivePage() == LogPage ? SearchPage : LogPage);
        });
    }
    CreateStatusBar();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Panel0"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(PageControl1_);
    layout->addWidget(view_, 1);
    setCentralWidget(central);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(3000);
    Timer1_->setSingleShot(true);
    connect(Timer1_, &QTimer::timeout, this, &TMainfrm::Timer1Timer);

    SelectForm_ = new TSelectForm(this);
    databaseCommands_ = new TDatabaseCommands(*context_, Dialogs());
    connect(databaseCommands_, &TDatabaseCommands::mainTableChanged, this,
            [this] { searchPage_->KeywordBox()->clear(); });
    toolsCommands_ = new TToolsCommands(*context_);
    searchCommands_ = new TSearchCommands(*context_);
    transferCommands_ = new TTransferCommands(*context_);
    scriptCommands_ = new TScriptCommands(*context_);
    RouteFrameCommands();
    importWiring_ = new TImportWiring(*context_);
    // The script window opens on the page of a failed web-page import.
    scriptCommands_->SetImportFiler(&importWiring_->Imports().Filer());
    setAcceptDrops(true);
    connect(view_, &TRecordViewWidget::currentChanged, this, &TMainfrm::UpdateCounter);
    connect(view_, &TRecordViewWidget::rowsChanged, this, &TMainfrm::UpdateButtonState);
    connect(view_->Grid(), &TDBEditGrid::contextMenuRequested, this,
            [this](const QPoint& globalPos) { commands_->Menu(TMenuId::Grid)->popup(globalPos); });

    // 5. Article font, then the window centred in the work area.
    ApplyArticleFont();
    resize(760, 640);
    setMinimumSize(555, 555);
    CentreOnWorkArea();

    // 6. No table yet.
    dmod_.SetLogInUse(false);
    dmod_.SetMultiSelect(false);
    PageControl1_->setTabVisible(SearchPage, false);

    // 7. Date globals.
    dateformat::InstallDateGlobals();

    // 8. The database folder of the last run, when it is still there.
    if (!settings_.DBDir.isEmpty() && !OpenDatabaseFolder(settings_.DBDir))
        settings_.DBDir.clear();

    // 9. The idle log state and the buttons.
    EnterIdleLogState();
    UpdateButtonState();
    UpdateTitle();
    RefreshFolderStatus();
    panels_[2]->setText(settings_.RecentScript);
}

TMainfrm::~TMainfrm() = default;

void TMainfrm::RouteFrameCommands() {
    commands_->Handle(TCmd::Exit, [this] { close(); });
    commands_->Handle(TCmd::Font, [this] { mnuFontClick(); });
    commands_->Handle(TCmd::Editor, [this] { mnuEditorClick(); });
    commands_->Handle(TCmd::Topics, [this] { mnuTopicsClick(); });
    commands_->Handle(TCmd::About, [this] { mnuAboutClick(); });
    // The check mark shows the setting, which the import reads (MailParser::TParseOptions).
    commands_->Handle(TCmd::DecodeCharsets, [this] { mnuDecodeCharsetsClick(); });
    commands_->Action(TCmd::DecodeCharsets)->setChecked(settings_.DecodeCharsets);
    // The View and Keyword menus belong to the Search Records page.
    commands_->Menu(TMenuId::View)->menuAction()->setVisible(false);
    commands_->Menu(TMenuId::Keyword)->menuAction()->setVisible(false);
}

void TMainfrm::LoadSettings() {
    QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
    settings_.Load(store, QDir::currentPath());

    articleFont_ = FontFrom(settings_.FontName, settings_.FontSize);
    articleColor_ = ColorFromRef(settings_.FontColor);
    scriptFont_ = FontFrom(settings_.ScriptFontName, settings_.ScriptFontSize);
    scriptColor_ = ColorFromRef(settings_.ScriptFontColor);
}

void TMainfrm::SaveSettings() {
    if (settingsSaved_)
        return;
    settingsSaved_ = true;

    settings_.FontName = articleFont_.family();
    settings_.FontSize = articleFont_.pointSize();
    settings_.FontColor = ColorToRef(articleColor_);
    settings_.ScriptFontName = scriptFont_.family();
    settings_.ScriptFontSize = scriptFont_.pointSize();
    settings_.ScriptFontColor = ColorToRef(scriptColor_);

    QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
    if (!settings_.Save(store))
        qWarning("Brevilo: the settings could not be written to %s", qPrintable(store.fileName()));
}

void TMainfrm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        if (i == 0) {
            label->setAlignment(Qt::AlignCenter);
            label->setFrameShape(QFrame::NoFrame);
        } else {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        }
        panels_[i] = label;
    }
    panels_[0]->setFixedWidth(120);
    panels_[1]->setFixedWidth(320);
    panels_[2]->setMinimumWidth(0);
    bar->addWidget(panels_[0]);
    bar->addWidget(panels_[1]);
    bar->addWidget(panels_[2], 1);
    bar->installEventFilter(this);
}

void TMainfrm::CentreOnWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QSize size = this->size();
    if (size.width() > area.width() - 16 || size.height() > area.height() - 16)
        size =
            size.boundedTo(QSize(area.width() - 16, area.height() - 16)).expandedTo(minimumSize());
    resize(size);
    move(area.x() + (area.width() - size.width()) / 2,
         area.y() + (area.height() - size.height()) / 2);
}

QString TMainfrm::ImportExtension() const {
    return logPage_->ImportExtension();
}

QString TMainfrm::StatusPanelText(int panel) const {
    return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

void TMainfrm::ShowStatusText(const QString& text, bool forThreeSeconds) {
    panels_[1]->setText(text);
    if (forThreeSeconds)
        Timer1_->start();
}

void TMainfrm::Timer1Timer() {
    Timer1_->stop();
    RefreshFolderStatus();
}

void TMainfrm::RefreshFolderStatus() {
    const int width = panels_[1]->width() - 20;
    folderStatusText_ = ShortenFolderText(settings_.CurDir, panels_[1]->fontMetrics(), width);
    panels_[1]->setText(folderStatusText_);
}

void TMainfrm::ShowCurrentScript() {
    panels_[2]->setText(settings_.RecentScript);
}

void TMainfrm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainfrm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty())
        importWiring_->FilesDropped(paths);
}

void TMainfrm::StatusBarResized() {
    panels_[0]->setFixedWidth(120);
    panels_[1]->setFixedWidth(qMax(0, width() - 235));
    RefreshFolderStatus();
}

QString TMainfrm::DatabaseFolder() const {
    return dmod_.IsFolderOpen() ? QFile::decodeName(QByteArray::fromStdString(dmod_.Folder()))
                                : QString();
}

QString TMainfrm::CurrentTable() const {
    return FromCp932(dmod_.MainTableName());
}

QString TMainfrm::CurrentLog() const {
    return FromCp932(dmod_.LogTableName());
}

bool TMainfrm::NoTable() const {
    return !dmod_.HasMainTable();
}

bool TMainfrm::LogInUse() const {
    return dmod_.LogInUse();
}

bool TMainfrm::MultiSelect() const {
    return dmod_.MultiSelect();
}

void TMainfrm::UpdateTitle() {
    QString title = QStringLiteral("Brevilo");
    const QString folder = DatabaseFolder();
    if (!folder.isEmpty()) {
        title += QStringLiteral(" - [") + folder + QStringLiteral("]");
        if (dmod_.HasMainTable()) {
            title += QLatin1Char(' ');
            if (!dmod_.LogIsTemporary())
                title += CurrentLog() + QStringLiteral(" ----> ");
            title += CurrentTable();
        }
    }
    setWindowTitle(title);
}

void TMainfrm::ApplyArticleFont() {
    const QSize widths = view_->ApplyArticleFont(articleFont_, articleColor_);
    spacesWidth_ = widths.width();
    lettersWidth_ = widths.height();
    // The blank maker of the HTML engine lays tables out in units of these two widths,
    // so they are measured in the font the article is shown in.
    HTMLParser::TColBlank::SetMetrics(lettersWidth_, spacesWidth_);

    // The keyword box and the status bar take only the face name.
    const QString family = articleFont_.family();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{searchPage_->KeywordBox(), statusBar()}) {
        QFont font = widget->font();
        font.setFamily(family);
        widget->setFont(font);
    }
    for (QLabel* panel : panels_) {
        QFont font = panel->font();
        font.setFamily(family);
        panel->setFont(font);
    }
}

void TMainfrm::mnuFontClick() {
    const auto choice = Dialogs().ChooseFont(this, articleFont_, articleColor_);
    if (!choice)
        return;
    articleFont_ = choice->font;
    articleColor_ = choice->color;
    ApplyArticleFont();
}

void TMainfrm::SetScriptFont(const QFont& font, const QColor& color) {
    scriptFont_ = font;
    scriptColor_ = color;
}

void TMainfrm::mnuEditorClick() {
    TEdForm form(this);
    form.SetEditorName(settings_.EditorName);
    if (Dialogs().Exec(form) == QDialog::Accepted)
        settings_.EditorName = form.EditorName();
}

void TMainfrm::mnuDecodeCharsetsClick() {
    settings_.DecodeCharsets = commands_->Action(TCmd::DecodeCharsets)->isChecked();
}

// The guide is HTML, read in the desktop's browser: the installed copy, or the source
// tree's when the program runs from its build folder.
void TMainfrm::mnuTopicsClick() {
    const QString guide =
        TInstallPaths::ForProgram(QCoreApplication::applicationDirPath()).GuideIndex();
    if (guide.isEmpty())
        Dialogs().Message(this, QStringLiteral("The user guide is not installed"),
                          QStringLiteral("Warning"), QMessageBox::Warning, QMessageBox::Ok);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        Dialogs().Message(this, QStringLiteral("Cannot open the user guide:\n") + guide,
                          QStringLiteral("Warning"), QMessageBox::Warning, QMessageBox::Ok);
}

void TMainfrm::mnuAboutClick() {
    TAboutBox box(this);
    Dialogs().Exec(box);
}

bool TMainfrm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The long part of a hint goes to panel 1; without a hint the data-folder text
        // comes back.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip.isEmpty())
            panels_[1]->setText(folderStatusText_);
        else
            panels_[1]->setText(tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainfrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize)
        StatusBarResized();
    return QMainWindow::eventFilter(watched, event);
}

void TMainfrm::wheelEvent(QWheelEvent* event) {
    // Anywhere on the window outside the editor and the grid the wheel scrolls the
    // article: three lines per notch, upwards for a wheel turned away from the user.
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        view_->ScrollArticle(notches);
    event->accept();
}

void TMainfrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The start-up questions come once the window is on screen.
    if (!startPosted_) {
        startPosted_ = true;
        QMetaObject::invokeMethod(this, &TMainfrm::DeferredStartup, Qt::QueuedConnection);
    }
}

void TMainfrm::closeEvent(QCloseEvent* event) {
    if (settingsSaved_) {
        event->accept();
        return;
    }
    // An edit in the boxes is written before anything is asked about the log.
    view_->PostEdit();
    // Close query: records still in the log are lost with the temporary tables.
    bool logHasRows = false;
    try {
        logHasRows = dmod_.IsFolderOpen() && dmod_.Log().TableCount() > 0;
    } catch (const EError&) {
        logHasRows = false;
    }
    if (logHasRows && Dialogs().Message(this, QStringLiteral("Discard remaining records?"),
                                        QStringLiteral("Warning"), QMessageBox::Question,
                                        QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        event->ignore();
        return;
    }

    // Close: pending edits of the search result, then the settings, once. The script test
    // window goes with the main window.
    PendingChangesPrompt();
    SaveSettings();
    scriptCommands_->CloseForm();
    event->accept();
}

bool TMainfrm::OpenDatabaseFolder(const QString& folder) {
    try {
        dmod_.OpenFolder(QFile::encodeName(folder).toStdString());
    } catch (const EError&) {
        return false;
    }
    settings_.DBDir = folder;
    UpdateTitle();
    return true;
}

void TMainfrm::DeferredStartup() {
    if (started_)
        return;
    started_ = true;

    // 1. A script that has gone from the script folder is forgotten.
    if (!settings_.RecentScript.isEmpty() &&
        !QFileInfo::exists(scriptFolder_ + QLatin1Char('/') + settings_.RecentScript)) {
        settings_.RecentScript.clear();
        panels_[2]->setText(settings_.RecentScript);
    }

    // 2. A database folder, asked for when none is known.
    if (settings_.DBDir.isEmpty()) {
        const auto chosen = Dialogs().BrowseFolder(this, QStringLiteral("Select Database Folder"),
                                                   QDir::currentPath());
        const QString folder = chosen ? *chosen : dataFolder_;
        if ((!chosen && !QDir().mkpath(folder)) || !OpenDatabaseFolder(folder)) {
            settings_.DBDir.clear();
            ShowMessage(this, QStringLiteral("Error: Try again"));
        }
    }

    // 3. The log on the grid.
    BindView(LogPage);

    // 4. A table: one of the folder's, or a new one.
    int userTables = 0;
    try {
        if (dmod_.IsFolderOpen())
            userTables = dmod_.CountUserTables();
    } catch (const EError&) {
        userTables = 0;
    }
    if (userTables > 0)
        databaseCommands_->mnuOpenDBClick();
    else
        databaseCommands_->mnuNewDBClick();

    // 5. Without a table the search page stays hidden.
    if (!dmod_.HasMainTable())
        UpdateButtonState();
    emit startupFinished();
}

void TMainfrm::PendingChangesPrompt() {
    if (!dmod_.IsFolderOpen())
        return;
    if (dmod_.Search().HasPendingChanges() &&
        Dialogs().Message(this, QStringLiteral("Record modified\r\nSave it?"),
                          QStringLiteral("Save Updates"), QMessageBox::NoIcon,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        try {
            dmod_.SaveChanges();
        } catch (const EError& e) {
            ShowMessage(this, FromCp932(e.what()));
        }
    }
    searchPage_->SaveButton()->setEnabled(false);
}

TMainfrm::Page TMainfrm::ActivePage() const {
    return PageControl1_->currentIndex() == SearchPage ? SearchPage : LogPage;
}

void TMainfrm::ShowPage(Page page) {
    if (PageControl1_->currentIndex() == page)
        return;
    PageControl1_->setCurrentIndex(page);
}

void TMainfrm::PageControl1Change(int index) {
    const Page page = index == SearchPage ? SearchPage : LogPage;
    view_->PostEdit();
    if (dmod_.MultiSelect()) {
        dmod_.SetMultiSelect(false);
        view_->Grid()->clearSelection();
        view_->Grid()->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    BindView(page);
    commands_->Menu(TMenuId::View)->menuAction()->setVisible(page == SearchPage);
    commands_->Menu(TMenuId::Keyword)->menuAction()->setVisible(page == SearchPage);
    commands_->Menu(TMenuId::Edit)->menuAction()->setVisible(page == LogPage);
    if (page == SearchPage) {
        if (!view_->ArticleEditor()->textCursor().hasSelection())
            searchPage_->KeywordBox()->setFocus();
    } else {
        view_->ArticleEditor()->setFocus();
        RefreshFolderStatus();
    }
    UpdateButtonState();
    UpdateCounter();
}

void TMainfrm::BindView(Page page) {
    if (!dmod_.IsFolderOpen()) {
        view_->Bind(nullptr);
    } else if (page == SearchPage) {
        view_->Bind(MakeSearchRecords(dmod_.Search()));
    } else {
        view_->Bind(MakeLogRecords(dmod_));
    }
    // MessageID is shown on the search page and for a log database; the temporary log's
    // own numbers mean nothing to the user.
    view_->ShowMessageIDColumn(page == SearchPage || !dmod_.LogIsTemporary());
    UpdateCounter();
}

void TMainfrm::RefreshView() {
    view_->Refresh();
    UpdateButtonState();
}

void TMainfrm::UpdateCounter() {
    QString text;
    try {
        if (dmod_.IsFolderOpen() && !view_->Frozen()) {
            if (ActivePage() == SearchPage) {
                if (dmod_.HasMainTable())
                    text = FromCp932(dmod_.SearchCounterText());
            } else {
                text = FromCp932(dmod_.Log().CounterText());
            }
        }
    } catch (const EError&) {
        text.clear();
    }
    panels_[0]->setText(text);
}

void TMainfrm::UpdateButtonState() {
    PageControl1_->setTabVisible(SearchPage, dmod_.HasMainTable());
    logPage_->UpdateButtons();
    searchPage_->UpdateButtons();
}

void TMainfrm::EnterIdleLogState() {
    dmod_.SetLogInUse(false);
    for (TCmd cmd : {TCmd::GotoBookmark, TCmd::KeywordCopy, TCmd::KeywordPaste})
        commands_->Action(cmd)->setEnabled(false);
    logPage_->ExtensionBox()->setEnabled(true);
    searchPage_->KeywordBox()->clear();
}
