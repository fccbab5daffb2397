#include "shell/TMainfrm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTextOption>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "controls/TDBNavigator.h"
#include "html/TColBlank.h"
#include "shell/DateFormat.h"
#include "shell/FolderText.h"
#include "shell/IDialogs.h"
#include "shell/TAboutBox.h"
#include "shell/TEdForm.h"
#include "shell/TMigrationForm.h"
#include "shell/TSelectForm.h"
#include "store/TArticleGridModel.h"
#include "store/TDMod.h"

namespace {

const QString kLetters52 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

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

// A menu item; items whose command another part of the program provides are created
// disabled and stay so until that command exists.
QAction* AddItem(QMenu* menu, const char* name, const QString& text,
                 const QKeySequence& shortcut = {}) {
    auto* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction* AddPendingItem(QMenu* menu, const char* name, const QString& text,
                        const QKeySequence& shortcut = {}) {
    QAction* action = AddItem(menu, name, text, shortcut);
    action->setEnabled(false);
    return action;
}

// A tool button with a two-part hint: the short part is the tool tip, the long part goes
// to the status bar.
QToolButton* AddButton(QToolBar* bar, const char* name, const QString& text, const QString& hint) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    const qsizetype bar_at = hint.indexOf(QLatin1Char('|'));
    button->setToolTip(bar_at < 0 ? hint : hint.left(bar_at));
    button->setStatusTip(bar_at < 0 ? hint : hint.mid(bar_at + 1));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}

}  // namespace

TMainfrm::TMainfrm(TDMod& dmod, const TAppEnv& env, QWidget* parent)
    : QMainWindow(parent), dmod_(dmod) {
    setObjectName(QStringLiteral("Mainfrm"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    // 1. Fonts and settings.
    LoadSettings();

    // 2. The program folder.
    programFolder_ =
        env.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : env.programFolder;
    while (programFolder_.size() > 1 && programFolder_.endsWith(QLatin1Char('/')))
        programFolder_.chop(1);

    CreateMenus();
    CreatePages();
    CreateRecordView();
    CreateStatusBar();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Panel0"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(PageControl1_);
    layout->addWidget(findChild<QWidget*>(QStringLiteral("Panel1")));
    layout->addWidget(Splitter1_, 1);
    setCentralWidget(central);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(3000);
    Timer1_->setSingleShot(true);
    connect(Timer1_, &QTimer::timeout, this, &TMainfrm::Timer1Timer);

    SelectForm_ = new TSelectForm(this);

    // 4. The first extension.
    cbExtension_->setCurrentIndex(0);

    // 5. Article font, then the window centred in the work area.
    ApplyArticleFont();
    resize(760, 640);
    setMinimumSize(555, 555);
    CentreOnWorkArea();

    // 6. No table yet.
    currentTable_.clear();
    logInUse_ = false;
    multiSelect_ = false;
    noTable_ = true;
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

void TMainfrm::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    mnuFile_ = bar->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    QAction* openDB = AddItem(mnuFile_, "mnuOpenDB", QStringLiteral("&Open Database..."));
    connect(openDB, &QAction::triggered, this, &TMainfrm::mnuOpenDBClick);
    QAction* newDB = AddItem(mnuFile_, "mnuNewDB", QStringLiteral("&New Database..."));
    connect(newDB, &QAction::triggered, this, &TMainfrm::mnuNewDBClick);
    AddPendingItem(mnuFile_, "mnuChangeFolder", QStringLiteral("&Change Database Folder..."));
    AddPendingItem(mnuFile_, "mnuDataFiles", QStringLiteral("Data &Files..."));
    mnuFile_->addSeparator();
    AddPendingItem(mnuFile_, "mnuSaveResult", QStringLiteral("Save Search &Results..."));
    AddPendingItem(mnuFile_, "mnuBackup", QStringLiteral("&Backup Database..."));
    mnuFile_->addSeparator();
    AddPendingItem(mnuFile_, "mnudbxImport", QStringLiteral("I&mport Dbx Files..."));
    AddPendingItem(mnuFile_, "mnuDelBak", QStringLiteral("&Delete bak files"),
                   QKeySequence(Qt::CTRL | Qt::Key_D));
    AddPendingItem(mnuFile_, "mnuDelErr", QStringLiteral("Delete &err file"));
    mnuFile_->addSeparator();
    AddPendingItem(mnuFile_, "mnuPrint", QStringLiteral("&Print..."));
    mnuFile_->addSeparator();
    QAction* exit = AddItem(mnuFile_, "mnuExit", QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    mnuEdit_ = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    AddPendingItem(mnuEdit_, "mnuCopyFiltered", QStringLiteral("&Copy Filtered"));
    AddPendingItem(mnuEdit_, "mnuMoveFiltered", QStringLiteral("&Move Filtered"));
    AddPendingItem(mnuEdit_, "mnuDeleteFiltered", QStringLiteral("&Delete Filtered"));
    mnuEdit_->addSeparator();
    QAction* openLog = AddItem(mnuEdit_, "mnuOpenLogDB", QStringLiteral("&Open Log Database..."));
    connect(openLog, &QAction::triggered, this, &TMainfrm::mnuOpenLogDBClick);
    QAction* closeLog = AddItem(mnuEdit_, "mnuCloseLogDB", QStringLiteral("C&lose Log Database"));
    connect(closeLog, &QAction::triggered, this, &TMainfrm::mnuCloseLogDBClick);
    connect(mnuEdit_, &QMenu::aboutToShow, this, &TMainfrm::mnuEditPopup);
    AddPendingItem(mnuEdit_, "mnuPackLogDB", QStringLiteral("&Pack Log Database"));
    QMenu* arrange = mnuEdit_->addMenu(QStringLiteral("&Arrange Log Database"));
    arrange->setObjectName(QStringLiteral("mnuArrangeLog"));
    arrange->menuAction()->setObjectName(QStringLiteral("mnuArrangeLogItem"));
    arrange->menuAction()->setEnabled(false);
    auto* orders = new QActionGroup(this);
    for (const auto& [name, text] :
         {std::pair{"mnuOrderByImport", "Import Order"}, std::pair{"mnuOrderByDate", "Date Order"},
          std::pair{"mnuOrderByGroup", "Group Order"}, std::pair{"mnuOrderByFrom", "From Order"},
          std::pair{"mnuOrderBySubject", "Subject Order"}}) {
        QAction* item = AddItem(arrange, name, QString::fromLatin1(text));
        item->setCheckable(true);
        orders->addAction(item);
    }
    findChild<QAction*>(QStringLiteral("mnuOrderByImport"))->setChecked(true);
    mnuEdit_->addSeparator();
    AddPendingItem(mnuEdit_, "mnuTextFormat", QStringLiteral("Text &Formatting"));
    AddPendingItem(mnuEdit_, "mnuDelBothBlanks", QStringLiteral("Del &Blanks at both ends "));
    AddPendingItem(mnuEdit_, "mnuTextReplace", QStringLiteral("&Replace Text..."));
    mnuEdit_->addSeparator();
    AddPendingItem(mnuEdit_, "mnuViewError", QStringLiteral("&View Error"));

    mnuView_ = bar->addMenu(QStringLiteral("&View"));
    mnuView_->setObjectName(QStringLiteral("mnuView"));
    AddPendingItem(mnuView_, "mnuPrior100", QStringLiteral("&Prior 100 rec."));
    AddPendingItem(mnuView_, "mnuNext100", QStringLiteral("&Next 100 rec."));

    mnuKeyword_ = bar->addMenu(QStringLiteral("&Keyword"));
    mnuKeyword_->setObjectName(QStringLiteral("mnuKeyword"));
    AddPendingItem(mnuKeyword_, "mnuFind", QStringLiteral("&Find"),
                   QKeySequence(Qt::CTRL | Qt::Key_F));
    AddPendingItem(mnuKeyword_, "mnuFindNext", QStringLiteral("Find &Next"),
                   QKeySequence(Qt::Key_F3));
    AddPendingItem(mnuKeyword_, "mnuAddKeyword", QStringLiteral("&Add"));

    mnuTools_ = bar->addMenu(QStringLiteral("&Tools"));
    mnuTools_->setObjectName(QStringLiteral("mnuTools"));
    AddPendingItem(mnuTools_, "mnuInfoSource", QStringLiteral("&Information Source..."),
                   QKeySequence(Qt::CTRL | Qt::Key_I));
    AddPendingItem(mnuTools_, "mnuTextConv", QStringLiteral("Convert into Te&xt..."));
    AddPendingItem(mnuTools_, "mnuFileExtConv", QStringLiteral("Convert File &Extension..."));
    AddPendingItem(mnuTools_, "mnuChangeDBName", QStringLiteral("Change Database &Name"));

    mnuScript_ = bar->addMenu(QStringLiteral("&Script"));
    mnuScript_->setObjectName(QStringLiteral("mnuScript"));
    AddPendingItem(mnuScript_, "mnuSetScript", QStringLiteral("&Select Script..."));
    AddPendingItem(mnuScript_, "mnuTestScript", QStringLiteral("&Test Script..."));

    mnuOptions_ = bar->addMenu(QStringLiteral("&Options"));
    mnuOptions_->setObjectName(QStringLiteral("mnuOptions"));
    QAction* font = AddItem(mnuOptions_, "mnuFont", QStringLiteral("&Font..."));
    connect(font, &QAction::triggered, this, &TMainfrm::mnuFontClick);
    QAction* editor = AddItem(mnuOptions_, "mnuEditor", QStringLiteral("&Editor..."));
    connect(editor, &QAction::triggered, this, &TMainfrm::mnuEditorClick);
    AddPendingItem(mnuOptions_, "mnuChangeOEUser", QStringLiteral("Change &OE User..."));

    mnuHelp_ = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
    AddPendingItem(mnuHelp_, "mnuTopics", QStringLiteral("&Topics..."));
    QAction* about = AddItem(mnuHelp_, "mnuAbout", QStringLiteral("&About..."));
    connect(about, &QAction::triggered, this, &TMainfrm::mnuAboutClick);

    // The grid's context menu.
    popGrid_ = new QMenu(this);
    popGrid_->setObjectName(QStringLiteral("popGrid"));
    AddPendingItem(popGrid_, "popMultiSelect", QStringLiteral("&Multi Select"))->setCheckable(true);
    popGrid_->addSeparator();
    AddPendingItem(popGrid_, "popSetBookmark", QStringLiteral("&Set Bookmark"))->setCheckable(true);
    AddPendingItem(popGrid_, "popGotoBookmark", QStringLiteral("&Go to Bookmark"));
    popGrid_->addSeparator();
    AddPendingItem(popGrid_, "popKeywordCopy", QStringLiteral("Keyword &Copy"));
    AddPendingItem(popGrid_, "popKeywordPaste", QStringLiteral("Keyword &Paste"));

    // The View and Keyword menus belong to the Search Records page.
    mnuView_->menuAction()->setVisible(false);
    mnuKeyword_->menuAction()->setVisible(false);
}

void TMainfrm::CreatePages() {
    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName(QStringLiteral("PageControl1"));
    PageControl1_->setDocumentMode(true);
    PageControl1_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    // Log Records.
    auto* tsLog = new QToolBar(PageControl1_);
    tsLog->setObjectName(QStringLiteral("tsLog"));
    tsLog->setMovable(false);
    cbExtension_ = new QComboBox(tsLog);
    cbExtension_->setObjectName(QStringLiteral("cbExtension"));
    // "*.mbox" follows the four classic items: mbox files are read as mailboxes and keep
    // their names after an import.
    cbExtension_->addItems({QStringLiteral("*.eml"), QStringLiteral("*.nws"),
                            QStringLiteral("*.htm"), QStringLiteral("*.txt "),
                            QStringLiteral("*.mbox")});
    cbExtension_->setToolTip(QStringLiteral("Import extension"));
    cbExtension_->setStatusTip(QStringLiteral("Extension of the files to import"));
    tsLog->addWidget(cbExtension_);
    sbImport_ = AddButton(tsLog, "sbImport", QStringLiteral("Import"),
                          QStringLiteral("Import records|Import records from the data files"));
    sbFilter_ = AddButton(tsLog, "sbFilter", QStringLiteral("Filter"),
                          QStringLiteral("Filter|Filter the log records"));
    sbSubject_ = AddButton(tsLog, "sbSubject", QStringLiteral("Subject"),
                           QStringLiteral("Search by Subject|Search the database by this subject"));
    tsLog->addSeparator();
    sbDelSelect_ = AddButton(tsLog, "sbDelSelect", QStringLiteral("Delete"),
                             QStringLiteral("Delete seleted rows|Delete the selected rows"));
    sbCopySelect_ =
        AddButton(tsLog, "sbCopySelect", QStringLiteral("Copy"),
                  QStringLiteral("Copy selected rows|Copy the selected rows into the database"));
    sbMoveSelect_ =
        AddButton(tsLog, "sbMoveSelect", QStringLiteral("Move"),
                  QStringLiteral("Move selected rows|Move the selected rows into the database"));
    tsLog->addSeparator();
    navLog_ = new TDBNavigator(true, tsLog);
    navLog_->setObjectName(QStringLiteral("navLog"));
    tsLog->addWidget(navLog_);
    tsLog->addSeparator();
    sbPost_ = AddButton(tsLog, "sbPost", QStringLiteral("Write"),
                        QStringLiteral("Write into database|Write into database permanently"));

    // Search Records.
    auto* tsSearch = new QToolBar(PageControl1_);
    tsSearch->setObjectName(QStringLiteral("tsSearch"));
    tsSearch->setMovable(false);
    edKeyword_ = new QLineEdit(tsSearch);
    edKeyword_->setObjectName(QStringLiteral("edKeyword"));
    edKeyword_->setMinimumWidth(200);
    edKeyword_->setToolTip(QStringLiteral("Keywords"));
    edKeyword_->setStatusTip(QStringLiteral("Keywords joined by \"&\""));
    tsSearch->addWidget(edKeyword_);
    sbSearch_ = AddButton(tsSearch, "sbSearch", QStringLiteral("Search"),
                          QStringLiteral("Search by Keyword|Search the database by keywords"));
    sbMemory_ =
        AddButton(tsSearch, "sbMemory", QStringLiteral("Memory"),
                  QStringLiteral("Set Memory Position|Keep these records for Recycle Search"));
    tsSearch->addSeparator();
    sbSrchDelSelect_ = AddButton(tsSearch, "sbSrchDelSelect", QStringLiteral("Delete"),
                                 QStringLiteral("Delete seleted rows|Delete the selected rows"));
    tsSearch->addSeparator();
    navSearch_ = new TDBNavigator(false, tsSearch);
    navSearch_->setObjectName(QStringLiteral("navSearch"));
    tsSearch->addWidget(navSearch_);
    tsSearch->addSeparator();
    sbSave_ = AddButton(tsSearch, "sbSave", QStringLiteral("Save"),
                        QStringLiteral("Save changes|Save the changes into the database"));

    // The commands behind these buttons belong to the import, filter, transfer and query
    // parts of the program; until those exist the buttons stay disabled.
    for (QToolButton* button :
         {sbImport_, sbFilter_, sbSubject_, sbDelSelect_, sbCopySelect_, sbMoveSelect_, sbPost_,
          sbSearch_, sbMemory_, sbSrchDelSelect_, sbSave_})
        button->setEnabled(false);
    cbExtension_->setEnabled(true);

    PageControl1_->addTab(tsLog, QStringLiteral("Log Records"));
    PageControl1_->addTab(tsSearch, QStringLiteral("Search Records"));
    connect(PageControl1_, &QTabWidget::currentChanged, this, &TMainfrm::PageControl1Change);
    connect(navLog_, &TDBNavigator::clicked, this,
            [this](TDBNavigator::Button button) { NavigatorClick(button); });
    connect(navSearch_, &TDBNavigator::clicked, this,
            [this](TDBNavigator::Button button) { NavigatorClick(button); });
}

void TMainfrm::CreateRecordView() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    auto makeBox = [panel](const char* name) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    auto makeLabel = [panel](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, panel);
        label->setBuddy(buddy);
        return label;
    };
    edDate_ = makeBox("edDate");
    edGroup_ = makeBox("edGroup");
    edGroup_->setMaxLength(60);
    edFrom_ = makeBox("edFrom");
    edSubject_ = makeBox("edSubject");
    grid->addWidget(makeLabel(QStringLiteral("Date"), edDate_), 0, 0);
    grid->addWidget(edDate_, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Group"), edGroup_), 0, 2);
    grid->addWidget(edGroup_, 0, 3);
    grid->addWidget(makeLabel(QStringLiteral("From"), edFrom_), 1, 0);
    grid->addWidget(edFrom_, 1, 1, 1, 3);
    grid->addWidget(makeLabel(QStringLiteral("Subject"), edSubject_), 2, 0);
    grid->addWidget(edSubject_, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    edDate_->setMaximumWidth(170);

    dreArticle_ = new QPlainTextEdit(this);
    dreArticle_->setObjectName(QStringLiteral("dreArticle"));
    dreArticle_->setLineWrapMode(QPlainTextEdit::NoWrap);
    dreArticle_->setWordWrapMode(QTextOption::NoWrap);
    dreArticle_->setTabChangesFocus(false);
    dreArticle_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dreArticle_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    dbgNews_ = new TDBEditGrid(this);
    dbgNews_->setObjectName(QStringLiteral("dbgNews"));
    dbgNews_->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgNews_->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgNews_->setShowGrid(true);
    dbgNews_->setTabKeyNavigation(true);
    dbgNews_->verticalHeader()->setDefaultSectionSize(dbgNews_->fontMetrics().height() + 4);
    dbgNews_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbgNews_->horizontalHeader()->setStretchLastSection(true);
    connect(dbgNews_, &TDBEditGrid::contextMenuRequested, this,
            [this](const QPoint& globalPos) { popGrid_->popup(globalPos); });
    gridModel_ = new TArticleGridModel(this);
    dbgNews_->setModel(gridModel_);
    connect(dbgNews_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { GridCurrentChanged(current); });
    connect(gridModel_, &TArticleGridModel::reloaded, this, [this] {
        ApplyColumnWidths();
        const long long row = gridModel_->CurrentRow();
        if (row >= 0) {
            const QModelIndex index = gridModel_->index(int(row), TArticleGridModel::ColSubject);
            dbgNews_->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            dbgNews_->scrollTo(index);
        }
        ShowCurrentRecord();
    });

    // Editing the records belongs to the navigators' Edit and Post; until those exist
    // the record view only shows the current row, so no edit can be lost.
    for (QLineEdit* box : {edDate_, edGroup_, edFrom_, edSubject_})
        box->setReadOnly(true);
    dreArticle_->setReadOnly(true);
    dreArticle_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    dbgNews_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Splitter1_ = new QSplitter(Qt::Vertical, this);
    Splitter1_->setObjectName(QStringLiteral("Splitter1"));
    Splitter1_->addWidget(dreArticle_);
    Splitter1_->addWidget(dbgNews_);
    Splitter1_->setChildrenCollapsible(false);
    Splitter1_->setStretchFactor(0, 3);
    Splitter1_->setStretchFactor(1, 2);
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
    const QString item = cbExtension_->currentText();
    const qsizetype dot = item.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : item.mid(dot);
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

void TMainfrm::StatusBarResized() {
    panels_[0]->setFixedWidth(120);
    panels_[1]->setFixedWidth(qMax(0, width() - 235));
    RefreshFolderStatus();
}

void TMainfrm::UpdateTitle() {
    QString title = QStringLiteral("Brevilo");
    if (!databaseFolder_.isEmpty()) {
        title += QStringLiteral(" - [") + databaseFolder_ + QStringLiteral("]");
        if (!currentTable_.isEmpty()) {
            title += QLatin1Char(' ');
            if (!currentLog_.isEmpty())
                title += currentLog_ + QStringLiteral(" ----> ");
            title += currentTable_;
        }
    }
    setWindowTitle(title);
}

void TMainfrm::ApplyArticleFont() {
    QPalette palette = dreArticle_->palette();
    palette.setColor(QPalette::Text, articleColor_);
    dreArticle_->setPalette(palette);
    dreArticle_->setFont(articleFont_);

    // The boxes that follow the article font take only its face name; their sizes and
    // colours stay as designed.
    const QString family = articleFont_.family();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{edGroup_, edFrom_, edSubject_, edKeyword_, statusBar()}) {
        QFont font = widget->font();
        font.setFamily(family);
        widget->setFont(font);
    }
    for (QLabel* panel : panels_) {
        QFont font = panel->font();
        font.setFamily(family);
        panel->setFont(font);
    }
    gridModel_->SetTextFamily(family);

    // The blank maker of the HTML engine lays tables out in units of these two widths,
    // so they are measured in the font the article is shown in.
    const QFontMetrics metrics(articleFont_, dreArticle_);
    spacesWidth_ = metrics.horizontalAdvance(QString(52, QLatin1Char(' ')));
    lettersWidth_ = metrics.horizontalAdvance(kLetters52);
    HTMLParser::TColBlank::SetMetrics(lettersWidth_, spacesWidth_);

    // 32 tab stops, the i-th at 4 * i mean letter widths. The mean letter width is taken
    // in twips, rounded as MulDiv does, so the stops fall where the text layout expects.
    const int dpi = qMax(1, dreArticle_->logicalDpiX());
    const int meanTwips = int(std::lround(double(lettersWidth_) * 1440.0 / (52.0 * double(dpi))));
    const qreal stepPixels = 4.0 * meanTwips * dpi / 1440.0;
    QTextOption option = dreArticle_->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (int i = 1; i <= 32; ++i)
        tabs.append(QTextOption::Tab(stepPixels * i, QTextOption::LeftTab));
    option.setTabs(tabs);
    option.setTabStopDistance(stepPixels > 0 ? stepPixels : 8);
    option.setWrapMode(QTextOption::NoWrap);
    dreArticle_->document()->setDefaultTextOption(option);
}

void TMainfrm::mnuFontClick() {
    const auto choice = Dialogs().ChooseFont(this, articleFont_, articleColor_);
    if (!choice)
        return;
    articleFont_ = choice->font;
    articleColor_ = choice->color;
    ApplyArticleFont();
}

void TMainfrm::mnuEditorClick() {
    TEdForm form(this);
    form.SetEditorName(settings_.EditorName);
    if (Dialogs().Exec(form) == QDialog::Accepted)
        settings_.EditorName = form.EditorName();
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
    if (notches != 0) {
        QScrollBar* bar = dreArticle_->verticalScrollBar();
        bar->setValue(bar->value() - 3 * notches);
    }
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

    // Close: pending edits of the search result, then the settings, once.
    if (dmod_.IsFolderOpen() && dmod_.Search().HasPendingChanges() &&
        Dialogs().Message(this, QStringLiteral("Record modified\r\nSave it?"),
                          QStringLiteral("Save Updates"), QMessageBox::NoIcon,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        try {
            dmod_.SaveChanges();
        } catch (const EError& e) {
            ShowError(FromCp932(e.what()));
        }
    }
    sbSave_->setEnabled(false);
    SaveSettings();
    event->accept();
}

bool TMainfrm::OpenDatabaseFolder(const QString& folder) {
    try {
        dmod_.OpenFolder(QFile::encodeName(folder).toStdString());
    } catch (const EError&) {
        databaseFolder_.clear();
        return false;
    }
    databaseFolder_ = folder;
    settings_.DBDir = folder;
    UpdateTitle();
    return true;
}

void TMainfrm::DeferredStartup() {
    if (started_)
        return;
    started_ = true;

    // 1. A script that has gone from the program folder is forgotten.
    if (!settings_.RecentScript.isEmpty() &&
        !QFileInfo::exists(programFolder_ + QLatin1Char('/') + settings_.RecentScript)) {
        settings_.RecentScript.clear();
        panels_[2]->setText(settings_.RecentScript);
    }

    // 2. A database folder, asked for when none is known.
    if (settings_.DBDir.isEmpty()) {
        const auto chosen = Dialogs().BrowseFolder(this, QStringLiteral("Select Database Folder"),
                                                   QDir::currentPath());
        const QString folder = chosen ? *chosen : programFolder_;
        if (!OpenDatabaseFolder(folder)) {
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
        mnuOpenDBClick();
    else
        mnuNewDBClick();

    // 5. Without a table the search page stays hidden.
    if (currentTable_.isEmpty()) {
        noTable_ = true;
        UpdateButtonState();
    }
    emit startupFinished();
}

bool TMainfrm::PendingChangesPrompt() {
    if (!dmod_.IsFolderOpen())
        return true;
    if (dmod_.Search().HasPendingChanges() &&
        Dialogs().Message(this, QStringLiteral("Record modified\r\nSave it?"),
                          QStringLiteral("Save Updates"), QMessageBox::NoIcon,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        try {
            dmod_.SaveChanges();
        } catch (const EError& e) {
            ShowError(FromCp932(e.what()));
        }
    }
    sbSave_->setEnabled(false);
    return true;
}

void TMainfrm::ShowError(const QString& text) {
    ShowMessage(this, text);
}

QStringList TMainfrm::UserTableNames() {
    std::vector<std::string> tables;
    try {
        if (dmod_.IsFolderOpen())
            dmod_.ListUserTables(tables);
    } catch (const EError&) {
        tables.clear();
    }
    if (tables.empty()) {
        Dialogs().Message(this, QStringLiteral("Database files missing"), QStringLiteral("Warning"),
                          QMessageBox::Warning, QMessageBox::Ok);
        return {};
    }
    QStringList names;
    for (const std::string& table : tables)
        names << FromCp932(table);
    return names;
}

void TMainfrm::mnuOpenDBClick() {
    PendingChangesPrompt();

    QStringList names = UserTableNames();
    if (names.isEmpty())
        return;
    SelectForm_->setWindowTitle(QStringLiteral("Open Database"));
    SelectForm_->SetItems(names);
    SelectForm_->SelectItem(settings_.RecentTable);
    if (Dialogs().Exec(*SelectForm_) != QDialog::Accepted)
        return;
    const QString chosen = SelectForm_->SelectedItem();
    if (chosen.isEmpty())
        return;

    const std::string name = ToCp932(chosen);
    if (!dmod_.IsArticleTable(name)) {
        ShowMessage(this, QStringLiteral("Unsupported database type"));
        return;
    }
    if (ActivePage() == SearchPage)
        ShowPage(LogPage);
    try {
        dmod_.OpenMainTable(name);
    } catch (const EError& e) {
        ShowError(FromCp932(e.what()));
        return;
    }
    currentTable_ = chosen;
    settings_.RecentTable = chosen;
    noTable_ = false;
    UpdateButtonState();
    UpdateTitle();
}

void TMainfrm::mnuNewDBClick() {
    PendingChangesPrompt();

    const auto answer = Dialogs().InputText(this, QStringLiteral("New Database"),
                                            QStringLiteral("Enter a new database name"), QString());
    if (!answer)
        return;
    const QString chosen = *answer;
    // The name becomes a file name: none of the characters file names of the system the
    // tables came from may not hold. A character cp932 lacks turns into "?" and is refused
    // with them.
    const std::string name = ToCp932(chosen);
    if (name.empty() || name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        ShowMessage(this, QStringLiteral("Invalid database name"));
        return;
    }
    bool exists = false;
    try {
        exists = dmod_.IsFolderOpen() && dmod_.TableExists(name);
    } catch (const EError&) {
        exists = false;
    }
    if (exists) {
        ShowMessage(this, QStringLiteral("Database name already exsits"));
        return;
    }
    try {
        if (!dmod_.IsFolderOpen())
            throw EError("no database folder");
        dmod_.CreateMainTable(name);
        if (ActivePage() == SearchPage)
            ShowPage(LogPage);
        currentTable_ = chosen;
        settings_.RecentTable = chosen;
        noTable_ = false;
        edKeyword_->clear();
        UpdateButtonState();
        dmod_.DeleteValFile(name);
        UpdateTitle();
    } catch (const EError&) {
        UpdateTitle();
        ShowMessage(this, QStringLiteral("Error: Cannot make database"));
    }
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
    multiSelect_ = false;
    dbgNews_->setSelectionMode(QAbstractItemView::SingleSelection);
    BindView(page);
    if (page == SearchPage) {
        mnuView_->menuAction()->setVisible(true);
        mnuKeyword_->menuAction()->setVisible(true);
        mnuEdit_->menuAction()->setVisible(false);
        if (!dreArticle_->textCursor().hasSelection())
            edKeyword_->setFocus();
    } else {
        mnuView_->menuAction()->setVisible(false);
        mnuKeyword_->menuAction()->setVisible(false);
        mnuEdit_->menuAction()->setVisible(true);
        dreArticle_->setFocus();
        RefreshFolderStatus();
    }
    UpdateButtonState();
    UpdateCounter();
}

void TMainfrm::BindView(Page page) {
    if (!dmod_.IsFolderOpen()) {
        gridModel_->Unbind();
        UpdateCounter();
        return;
    }
    if (page == SearchPage)
        gridModel_->BindSearch(dmod_.Search());
    else
        gridModel_->BindLog(dmod_.Log());
    UpdateCounter();
}

void TMainfrm::RefreshView() {
    if (!gridModel_->Refresh())
        ShowCurrentRecord();
    UpdateButtonState();
}

void TMainfrm::ApplyColumnWidths() {
    QHeaderView* header = dbgNews_->horizontalHeader();
    // MessageID is shown on the search page and for a log database; the temporary log's
    // own numbers mean nothing to the user.
    const bool showId = gridModel_->IsBoundToLog() ? !currentLog_.isEmpty() : true;
    dbgNews_->setColumnHidden(TArticleGridModel::ColMessageID, !showId);
    if (showId)
        header->resizeSection(TArticleGridModel::ColMessageID, 70);
    header->resizeSection(TArticleGridModel::ColRank, 45);
    header->resizeSection(TArticleGridModel::ColSubject, 250);
}

void TMainfrm::GridCurrentChanged(const QModelIndex& current) {
    if (!current.isValid())
        return;
    gridModel_->SetCurrentRow(current.row());
    ShowCurrentRecord();
}

void TMainfrm::ShowCurrentRecord() {
    const TArticle* row = gridModel_->RecordAt(gridModel_->CurrentRow());
    if (!row) {
        for (QLineEdit* box : {edDate_, edGroup_, edFrom_, edSubject_})
            box->clear();
        dreArticle_->clear();
    } else {
        if (row->Date) {
            const TTimestamp& d = *row->Date;
            edDate_->setText(dateformat::FormatDateTime(
                QStringLiteral("mm/dd/yyyy hh:nn:ss"),
                QDateTime(QDate(d.year, d.month, d.day), QTime(d.hour, d.minute, d.second))));
        } else {
            edDate_->clear();
        }
        edGroup_->setText(FromCp932(row->Newsgroup));
        edFrom_->setText(FromCp932(row->From));
        edSubject_->setText(FromCp932(row->Subject));
        // Line ends are CR LF in the store; the editor keeps one paragraph per line.
        std::string article = row->Article;
        std::string text;
        text.reserve(article.size());
        for (std::size_t i = 0; i < article.size(); ++i) {
            if (article[i] == '\r' && i + 1 < article.size() && article[i + 1] == '\n')
                continue;
            text += article[i];
        }
        dreArticle_->setPlainText(FromCp932(text));
        edGroup_->setCursorPosition(0);
        edFrom_->setCursorPosition(0);
        edSubject_->setCursorPosition(0);
    }
    UpdateCounter();
    UpdateNavigators();
}

void TMainfrm::UpdateCounter() {
    QString text;
    try {
        if (dmod_.IsFolderOpen() && gridModel_->rowCount() >= 0) {
            if (ActivePage() == SearchPage) {
                if (dmod_.HasMainTable())
                    text = QStringLiteral("%1 of %2")
                               .arg(dmod_.Search().Count())
                               .arg(dmod_.MainRowCount());
            } else {
                text = QString::fromStdString(dmod_.Log().CounterText());
            }
        }
    } catch (const EError&) {
        text.clear();
    }
    panels_[0]->setText(text);
}

void TMainfrm::UpdateNavigators() {
    const long long count = gridModel_->rowCount();
    const long long current = gridModel_->CurrentRow();
    for (TDBNavigator* navigator : {navLog_, navSearch_}) {
        navigator->SetButtonEnabled(TDBNavigator::nbFirst, current > 0);
        navigator->SetButtonEnabled(TDBNavigator::nbPrior, current > 0);
        navigator->SetButtonEnabled(TDBNavigator::nbNext, current >= 0 && current < count - 1);
        navigator->SetButtonEnabled(TDBNavigator::nbLast, current >= 0 && current < count - 1);
    }
}

void TMainfrm::NavigatorClick(int button) {
    const int count = gridModel_->rowCount();
    const int current = int(gridModel_->CurrentRow());
    int target = -1;
    switch (button) {
        case TDBNavigator::nbFirst:
            target = 0;
            break;
        case TDBNavigator::nbPrior:
            target = current - 1;
            break;
        case TDBNavigator::nbNext:
            target = current + 1;
            break;
        case TDBNavigator::nbLast:
            target = count - 1;
            break;
        default:
            return;
    }
    if (target < 0 || target >= count)
        return;
    const QModelIndex index = gridModel_->index(target, TArticleGridModel::ColSubject);
    dbgNews_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dbgNews_->scrollTo(index);
}

void TMainfrm::UpdateButtonState() {
    PageControl1_->setTabVisible(SearchPage, !noTable_);
    cbExtension_->setEnabled(!logInUse_);
    // The tool-bar commands themselves (import, filters, transfers, queries) are not part
    // of the shell; their buttons stay disabled until those commands are connected.
    UpdateNavigators();
}

void TMainfrm::EnterIdleLogState() {
    logInUse_ = false;
    for (const char* name : {"popGotoBookmark", "popKeywordCopy", "popKeywordPaste"})
        if (QAction* item = findChild<QAction*>(QString::fromLatin1(name)))
            item->setEnabled(false);
    cbExtension_->setEnabled(true);
    edKeyword_->clear();
}

void TMainfrm::mnuEditPopup() {
    bool filterActive = false;
    long long logRows = 0;
    try {
        if (dmod_.IsFolderOpen()) {
            filterActive = dmod_.Log().FilterActive();
            logRows = dmod_.Log().TableCount();
        }
    } catch (const EError&) {
        logRows = 0;
    }
    const bool folderOpen = dmod_.IsFolderOpen();
    findChild<QAction*>(QStringLiteral("mnuOpenLogDB"))
        ->setEnabled(folderOpen && !filterActive && logRows == 0);
    findChild<QAction*>(QStringLiteral("mnuCloseLogDB"))
        ->setEnabled(folderOpen && !filterActive && logRows > 0);
}

void TMainfrm::mnuOpenLogDBClick() {
    QStringList names = UserTableNames();
    if (names.isEmpty())
        return;
    TMigrationForm form(this);
    form.setWindowTitle(QStringLiteral("Open Log Database"));
    form.SetTarget(currentTable_);
    form.SetItems(names);
    if (Dialogs().Exec(form) != QDialog::Accepted)
        return;
    const QString chosen = form.SelectedItem();
    if (chosen.isEmpty())
        return;
    const std::string name = ToCp932(chosen);
    if (!dmod_.IsArticleTable(name)) {
        ShowMessage(this, QStringLiteral("Unsupported database type"));
        return;
    }
    try {
        dmod_.OpenLogTable(name);
    } catch (const EError& e) {
        ShowError(FromCp932(e.what()));
        return;
    }
    currentLog_ = chosen;
    logInUse_ = true;
    if (ActivePage() == SearchPage)
        ShowPage(LogPage);
    else
        BindView(LogPage);
    if (gridModel_->rowCount() > 0) {
        const QModelIndex first = gridModel_->index(0, TArticleGridModel::ColSubject);
        dbgNews_->selectionModel()->setCurrentIndex(
            first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        dbgNews_->scrollTo(first);
    }
    UpdateButtonState();
    UpdateTitle();
}

void TMainfrm::mnuCloseLogDBClick() {
    try {
        dmod_.ResetTempTables();
    } catch (const EError& e) {
        ShowError(FromCp932(e.what()));
    }
    currentLog_.clear();
    UpdateTitle();
    EnterIdleLogState();
    BindView(ActivePage());
    UpdateButtonState();
}
