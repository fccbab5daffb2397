#include "script/TScriptForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "base/EError.h"
#include "base/FileBytes.h"
#include "controls/Cp932Text.h"
#include "script/ScriptText.h"
#include "script/ShortDate.h"
#include "script/TFindDialog.h"
#include "script/TScript.h"
#include "script/TScriptFolder.h"
#include "script/TTestParser.h"
#include "shell/IDialogs.h"

namespace {

const QString kCaption = QStringLiteral("Test Script");

QString LowerSuffix(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

// Whether the page can be shown by the browser: an ".htm" or ".html" file.
bool IsWebPage(const QString& path) {
    const QString ext = LowerSuffix(path);
    return ext == QLatin1String(".htm") || ext == QLatin1String(".html");
}

// A glyph button as the window's tool bar has them: the icon, the hint as tool tip and the
// hint as accessible name.
QToolButton* AddButton(QWidget* parent, QHBoxLayout* bar, const char* name, const QString& text,
                       QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(text);
    button->setAccessibleName(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(20, 20));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

QString CanonicalFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) : canonical;
}

}  // namespace

TScriptForm::TScriptForm(const TScriptFormSetup& setup)
    : QWidget(nullptr, Qt::Window),
      scriptFolder_(setup.scriptFolder),
      editor_(setup.editor),
      scriptFont_(setup.scriptFont),
      scriptColor_(setup.scriptColor),
      today_(setup.today) {
    setObjectName(QStringLiteral("ScriptForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setMinimumSize(516, 387);
    CreateControls();

    for (QWidget* widget : {static_cast<QWidget*>(ComboBox1_), static_cast<QWidget*>(Label1_),
                            static_cast<QWidget*>(reOutput_)}) {
        QFont font = widget->font();
        font.setFamily(setup.articleFont.family());
        widget->setFont(font);
    }
    ComboBox1_->addItems(scriptfolder::ScriptNames(scriptFolder_));
    ComboBox1_->setCurrentIndex(-1);
    ApplyScriptFont();

    resize(640, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The wheel rule below needs every wheel event of this window, wherever the mouse is.
    qApp->installEventFilter(this);
}

TScriptForm::~TScriptForm() = default;

void TScriptForm::CreateControls() {
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(4);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    sbHTMLFileOpen_ = AddButton(this, bar, "sbHTMLFileOpen", QStringLiteral("Open html file"),
                                QStyle::SP_DialogOpenButton);
    sbTest_ = AddButton(this, bar, "sbTest", QStringLiteral("Test script"), QStyle::SP_MediaPlay);
    sbTest_->setShortcut(QKeySequence(Qt::Key_F9));
    sbStop_ = AddButton(this, bar, "sbStop", QStringLiteral("Stop script"), QStyle::SP_MediaStop);
    sbStop_->setVisible(false);
    sbStop_->setEnabled(false);
    sbNewScript_ =
        AddButton(this, bar, "sbNewScript", QStringLiteral("New script"), QStyle::SP_FileIcon);
    sbSave_ =
        AddButton(this, bar, "sbSave", QStringLiteral("Save script"), QStyle::SP_DialogSaveButton);
    sbSave_->setEnabled(false);
    sbSaveAs_ = AddButton(this, bar, "sbSaveAs", QStringLiteral("Save script as..."),
                          QStyle::SP_DriveFDIcon);
    sbEditor_ = AddButton(this, bar, "sbEditor", QStringLiteral("Open editor"),
                          QStyle::SP_FileDialogDetailedView);
    sbBrowser_ =
        AddButton(this, bar, "sbBrowser", QStringLiteral("Open Browser"), QStyle::SP_DirHomeIcon);
    sbLocate_ = AddButton(this, bar, "sbLocate", QStringLiteral("Search in Output"),
                          QStyle::SP_FileDialogContentsView);
    bar->addStretch(1);
    sbExit_ = AddButton(this, bar, "sbExit", QStringLiteral("Close"), QStyle::SP_DialogCloseButton);
    top->addLayout(bar);

    ComboBox1_ = new QComboBox(this);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setToolTip(QStringLiteral("Select a script file"));
    ComboBox1_->setAccessibleName(QStringLiteral("Select a script file"));
    ComboBox1_->setMaxVisibleItems(100);
    top->addWidget(ComboBox1_);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    memScript_ = new QPlainTextEdit(splitter);
    memScript_->setObjectName(QStringLiteral("memScript"));
    memScript_->setToolTip(QStringLiteral("Edit Script"));
    memScript_->setAccessibleName(QStringLiteral("Edit Script"));
    memScript_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memScript_->setTabChangesFocus(false);
    memScript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memScript_->setContextMenuPolicy(Qt::CustomContextMenu);
    reOutput_ = new QPlainTextEdit(splitter);
    reOutput_->setObjectName(QStringLiteral("reOutput"));
    reOutput_->setToolTip(QStringLiteral("Test Output"));
    reOutput_->setAccessibleName(QStringLiteral("Test Output"));
    reOutput_->setReadOnly(true);
    reOutput_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    reOutput_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reOutput_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reOutput_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette outputPalette = reOutput_->palette();
    outputPalette.setColor(QPalette::Base, QColor(255, 255, 160));
    outputPalette.setColor(QPalette::Text, Qt::black);
    reOutput_->setPalette(outputPalette);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    top->addWidget(splitter, 1);

    Panel1_ = new QWidget(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setAutoFillBackground(true);
    QPalette panelPalette = Panel1_->palette();
    panelPalette.setColor(QPalette::Window, QColor(255, 210, 255));
    Panel1_->setPalette(panelPalette);
    auto* panelLayout = new QHBoxLayout(Panel1_);
    panelLayout->setContentsMargins(4, 2, 4, 2);
    Label1_ = new QLabel(Panel1_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setAccessibleName(QStringLiteral("HTML file"));
    Label1_->setMinimumWidth(1);
    Label1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ProgressBar1_ = new QProgressBar(Panel1_);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setAccessibleName(QStringLiteral("Progress"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setVisible(false);
    panelLayout->addWidget(Label1_, 1);
    panelLayout->addWidget(ProgressBar1_, 1);
    top->addWidget(Panel1_);

    popScript_ = new QMenu(this);
    popScript_->setObjectName(QStringLiteral("popScript"));
    const struct {
        const char* name;
        const char* text;
    } items[] = {{"popCut", "Cu&t"},     {"popCopy", "&Copy"},
                 {"popPaste", "&Paste"}, {"popDelete", "De&lete"},
                 {"popUndo", "&Undo"},   {"popSelectAll", "&Select All"},
                 {"", nullptr},          {"popFont", "&Font..."}};
    for (const auto& item : items) {
        if (!item.text) {
            popScript_->addSeparator();
            continue;
        }
        QAction* action = popScript_->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QLatin1String(item.name));
    }
    auto action = [this](const char* name) {
        return popScript_->findChild<QAction*>(QLatin1String(name));
    };
    connect(action("popCut"), &QAction::triggered, memScript_, &QPlainTextEdit::cut);
    connect(action("popCopy"), &QAction::triggered, memScript_, &QPlainTextEdit::copy);
    connect(action("popPaste"), &QAction::triggered, memScript_, &QPlainTextEdit::paste);
    connect(action("popDelete"), &QAction::triggered, memScript_,
            [this] { memScript_->textCursor().removeSelectedText(); });
    connect(action("popUndo"), &QAction::triggered, memScript_, &QPlainTextEdit::undo);
    connect(action("popSelectAll"), &QAction::triggered, memScript_, &QPlainTextEdit::selectAll);
    connect(action("popFont"), &QAction::triggered, this, &TScriptForm::mnuScriptFontClick);
    connect(memScript_, &QWidget::customContextMenuRequested, this,
            &TScriptForm::EditorContextMenu);

    findDialog_ = new TFindDialog(this);
    connect(findDialog_, &TFindDialog::findNext, this, &TScriptForm::FindDialog1Find);

    connect(sbHTMLFileOpen_, &QToolButton::clicked, this, &TScriptForm::sbHTMLFileOpenClick);
    connect(sbTest_, &QToolButton::clicked, this, &TScriptForm::sbTestClick);
    connect(sbStop_, &QToolButton::clicked, this, &TScriptForm::sbStopClick);
    connect(sbNewScript_, &QToolButton::clicked, this, &TScriptForm::sbNewScriptClick);
    connect(sbSave_, &QToolButton::clicked, this, &TScriptForm::sbSaveClick);
    connect(sbSaveAs_, &QToolButton::clicked, this, &TScriptForm::sbSaveAsClick);
    connect(sbEditor_, &QToolButton::clicked, this, &TScriptForm::sbEditorClick);
    connect(sbBrowser_, &QToolButton::clicked, this, &TScriptForm::sbBrowserClick);
    connect(sbLocate_, &QToolButton::clicked, this, &TScriptForm::sbLocateClick);
    connect(sbExit_, &QToolButton::clicked, this, &QWidget::close);
    connect(ComboBox1_, &QComboBox::activated, this, &TScriptForm::ComboBox1Change);
    connect(memScript_, &QPlainTextEdit::textChanged, this, &TScriptForm::ScriptEdited);
}

TScriptForm* TScriptForm::Open(QPointer<TScriptForm>& form, const TScriptFormSetup& setup,
                               const QString& currentScript, const QString& importFolder,
                               QString& errorFile, const QString& failedExtension, int errorLine) {
    if (form) {
        if (form->isMinimized())
            form->showNormal();
        form->raise();
        form->activateWindow();
        return form;
    }
    form = new TScriptForm(setup);
    form->SelectScript(currentScript);
    form->SetPageFolder(importFolder);
    const QString ext = failedExtension.toLower();
    if (!errorFile.isEmpty() && (ext == QLatin1String(".htm") || ext == QLatin1String(".html")) &&
        QFileInfo(errorFile).isFile()) {
        form->SetPage(errorFile);
        form->SetErrorLine(errorLine);
    } else {
        errorFile.clear();
        // A first look at an example: its sample page is ready to test.
        const QString sample = scriptfolder::SamplePageOf(setup.scriptFolder, form->ScriptName());
        if (!sample.isEmpty())
            form->SetPage(sample);
    }
    form->show();
    return form;
}

void TScriptForm::SelectScript(const QString& name) {
    if (name == scriptName_)
        return;
    const QString path = scriptfolder::PathOf(scriptFolder_, name);
    if (!name.isEmpty() && QFileInfo(path).isFile() && LoadScript(path)) {
        scriptName_ = name;
        SetCaption(name);
        const int index = ComboBox1_->findText(name);
        ComboBox1_->setCurrentIndex(index < 0 ? (ComboBox1_->count() > 0 ? 0 : -1) : index);
        sbSave_->setEnabled(false);
    } else {
        scriptName_.clear();
        SetCaption(QString());
        ComboBox1_->setCurrentIndex(-1);
    }
}

void TScriptForm::SetPage(const QString& path) {
    pagePath_ = path;
    if (!path.isEmpty())
        pageFolder_ = QFileInfo(path).path();
    ShowPageLabel();
    UpdateBrowserButton();
}

void TScriptForm::SetErrorLine(int line) {
    errorLine_ = line;
    ShowErrorLine();
}

std::vector<std::string> TScriptForm::ScriptLines() const {
    std::vector<std::string> lines;
    const QString text = memScript_->toPlainText();
    if (text.isEmpty())
        return lines;
    QStringList parts = text.split(QLatin1Char('\n'));
    // As a list of lines a final line break opens no further line.
    if (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    lines.reserve(static_cast<std::size_t>(parts.size()));
    for (const QString& part : parts)
        lines.push_back(ToCp932(part));
    return lines;
}

void TScriptForm::ApplyScriptFont() {
    memScript_->setFont(scriptFont_);
    QPalette palette = memScript_->palette();
    palette.setColor(QPalette::Text, scriptColor_);
    memScript_->setPalette(palette);
}

void TScriptForm::ShowPageLabel() {
    const int width = std::max(0, Label1_->width() - 20);
    Label1_->setText(Label1_->fontMetrics().elidedText(pagePath_, Qt::ElideMiddle, width));
    Label1_->setToolTip(pagePath_);
}

void TScriptForm::UpdateBrowserButton() {
    sbBrowser_->setEnabled(!testing_ && IsWebPage(pagePath_));
}

void TScriptForm::ClearOutput() {
    reOutput_->clear();
    ProgressBar1_->setValue(0);
}

void TScriptForm::SetCaption(const QString& name) {
    setWindowTitle(name.isEmpty() ? kCaption : kCaption + QStringLiteral(" - ") + name);
}

void TScriptForm::ShowError(const QString& text) {
    Dialogs().Message(nullptr, text, QStringLiteral("Error"), QMessageBox::Critical,
                      QMessageBox::Ok);
}

void TScriptForm::ModifiedPrompt() {
    if (!memScript_->document()->isModified())
        return;
    const auto answer = Dialogs().Message(
        nullptr, QStringLiteral("Script file modified\r\nSave it?"), QStringLiteral("Information"),
        QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok)
        return;
    if (scriptName_ == QLatin1String(kNewScriptName))
        sbSaveAsClick();
    else
        sbSaveClick();
}

bool TScriptForm::LoadScript(const QString& path) {
    std::vector<std::string> lines;
    try {
        lines = TScript::ReadLines(QFile::encodeName(path).toStdString());
    } catch (const EError& e) {
        ShowError(FromCp932(e.what()));
        return false;
    }
    QStringList text;
    for (const std::string& line : lines)
        text << FromCp932(line);
    loading_ = true;
    memScript_->setPlainText(text.join(QLatin1Char('\n')));
    loading_ = false;
    memScript_->moveCursor(QTextCursor::Start);
    memScript_->document()->setModified(false);
    return true;
}

bool TScriptForm::WriteScript(const QString& path) {
    QByteArray bytes;
    for (const std::string& line : ScriptLines()) {
        bytes.append(line.data(), static_cast<qsizetype>(line.size()));
        bytes.append("\r\n");
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ShowError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

void TScriptForm::AddScriptEntry(const QString& name) {
    int index = ComboBox1_->findText(name);
    if (index < 0) {
        index = 0;
        while (index < ComboBox1_->count() &&
               ComboBox1_->itemText(index).compare(name, Qt::CaseInsensitive) < 0)
            ++index;
        ComboBox1_->insertItem(index, name);
    }
    ComboBox1_->setCurrentIndex(index);
}

void TScriptForm::ScriptEdited() {
    if (loading_ || testing_)
        return;
    if (ComboBox1_->currentIndex() >= 0)
        sbSave_->setEnabled(true);
}

void TScriptForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    memScript_->setFocus();
    UpdateBrowserButton();
    ShowPageLabel();
}

void TScriptForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ShowPageLabel();
}

void TScriptForm::closeEvent(QCloseEvent* event) {
    if (testing_ || worker_) {
        // A stopped test ends at its next line; the window closes as soon as it has.
        if (!testing_)
            closePending_ = true;
        event->ignore();
        return;
    }
    ModifiedPrompt();
    if (findDialog_)
        findDialog_->close();
    event->accept();
}

bool TScriptForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && focusWidget() == reOutput_) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        if (notches != 0) {
            QScrollBar* bar = reOutput_->verticalScrollBar();
            bar->setValue(bar->value() - notches * 3);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TScriptForm::sbHTMLFileOpenClick() {
    const auto chosen = Dialogs().OpenFile(
        this, QStringLiteral("Select an HTML file"), pageFolder_,
        QStringLiteral("HTML files (*.htm *.html *.HTM *.HTML);;Error files (*.err *.ERR);;"
                       "Bak files (*.bak *.BAK);;All files(*)"));
    if (!chosen)
        return;
    SetPage(*chosen);
    ClearOutput();
}

void TScriptForm::sbEditorClick() {
    const QFileInfo page(pagePath_);
    if (pagePath_.isEmpty() || !page.isFile()) {
        ShowError(QStringLiteral("Invalid html file"));
        SetPage(QString());
        return;
    }
    if (!QProcess::startDetached(editor_, {page.fileName()}, pageFolder_))
        ShowError(QStringLiteral("[Error] Can't execute ") + QLatin1Char(' ') + editor_);
}

void TScriptForm::sbBrowserClick() {
    if (pagePath_.isEmpty() || !QFileInfo(pagePath_).isFile()) {
        ShowError(QStringLiteral("Invalid html file"));
        SetPage(QString());
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(pagePath_)))
        ShowError(QStringLiteral("[Error] Can't execute ") + QLatin1Char(' ') + pagePath_);
}

void TScriptForm::sbNewScriptClick() {
    ModifiedPrompt();
    scriptName_ = QLatin1String(kNewScriptName);
    SetCaption(scriptName_);
    loading_ = true;
    memScript_->clear();
    loading_ = false;
    memScript_->document()->setModified(false);
    ClearOutput();
    ComboBox1_->setCurrentIndex(-1);
    sbSave_->setEnabled(false);
}

void TScriptForm::sbSaveClick() {
    if (scriptName_ == QLatin1String(kNewScriptName) || scriptName_.isEmpty()) {
        sbSaveAsClick();
    } else if (WriteScript(scriptfolder::PathOf(scriptFolder_, scriptName_))) {
        memScript_->document()->setModified(false);
    }
    sbSave_->setEnabled(false);
}

void TScriptForm::sbSaveAsClick() {
    const QString proposed = scriptName_.isEmpty() ? QLatin1String(kNewScriptName) : scriptName_;
    const auto chosen = Dialogs().SaveFile(
        this, QStringLiteral("Save Script As..."), scriptfolder::PathOf(scriptFolder_, proposed),
        QStringLiteral("Script files (*.hsc)"), QStringLiteral("hsc"));
    if (!chosen || !WriteScript(*chosen))
        return;
    const QFileInfo file(*chosen);
    if (CanonicalFolder(file.path()) == CanonicalFolder(scriptFolder_)) {
        scriptName_ = file.fileName();
        AddScriptEntry(scriptName_);
        SetCaption(scriptName_);
    } else {
        SetCaption(QString());
        ComboBox1_->setCurrentIndex(-1);
    }
    memScript_->document()->setModified(false);
}

void TScriptForm::ComboBox1Change(int index) {
    // Taken first: saving a new script under the prompt adds an entry to the list.
    const QString name = ComboBox1_->itemText(index);
    ModifiedPrompt();
    scriptName_ = name;
    const QString path = scriptfolder::PathOf(scriptFolder_, name);
    if (QFileInfo(path).isFile() && LoadScript(path)) {
        SetCaption(name);
        if (pagePath_.isEmpty())
            SetPage(scriptfolder::SamplePageOf(scriptFolder_, name));
    } else {
        if (!QFileInfo(path).isFile())
            ShowError(QStringLiteral("Cannot find this script file"));
        ComboBox1_->removeItem(ComboBox1_->findText(name));
        scriptName_.clear();
        SetCaption(QString());
        ComboBox1_->setCurrentIndex(-1);
        loading_ = true;
        memScript_->clear();
        loading_ = false;
        memScript_->document()->setModified(false);
    }
    sbSave_->setEnabled(false);
    ClearOutput();
}

void TScriptForm::sbTestClick() {
    if (testing_ || worker_)
        return;  // a stopped test has not reached its next line yet
    std::vector<std::string> lines = ScriptLines();
    if (lines.empty()) {
        ShowError(QStringLiteral("Script files missing"));
        return;
    }
    if (pagePath_.isEmpty() || !QFileInfo(pagePath_).isFile()) {
        ShowError(pagePath_ + QStringLiteral("\r\nHTML file missing"));
        SetPage(QString());
        return;
    }
    const QString ext = LowerSuffix(pagePath_);
    if (ext != QLatin1String(".html") && ext != QLatin1String(".htm") &&
        ext != QLatin1String(".err") && ext != QLatin1String(".bak")) {
        ShowError(QStringLiteral("HTML file missing"));
        return;
    }

    EnterTestMode();
    QCoreApplication::processEvents();

    auto* worker = new TTestParser(std::move(lines), pagePath_,
                                   today_.empty() ? script::TodayShortDate() : today_);
    // The worker blocks in each hand-over until this thread took the chunk; this thread
    // never blocks on the worker, it only runs the local loop below until the worker ends.
    connect(worker, &TTestParser::progress, this, &TScriptForm::OnProgress,
            Qt::BlockingQueuedConnection);
    connect(worker, &TTestParser::finish, this, &TScriptForm::OnFinish,
            Qt::BlockingQueuedConnection);
    QEventLoop wait;
    connect(worker, &QThread::finished, &wait, &QEventLoop::quit);
    worker_ = worker;
    reOutput_->clear();
    ProgressBar1_->setValue(0);
    worker->start(QThread::NormalPriority);
    wait.exec();

    worker_ = nullptr;
    LeaveTestMode();
    emit testEnded();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void TScriptForm::sbStopClick() {
    if (!testing_)
        return;
    if (worker_)
        worker_->Terminate();
    LeaveTestMode();
}

void TScriptForm::EnterTestMode() {
    testing_ = true;
    sbTest_->setVisible(false);
    sbStop_->setVisible(true);
    rememberedSave_ = sbSave_->isEnabled();
    for (QWidget* widget : {static_cast<QWidget*>(ComboBox1_), static_cast<QWidget*>(sbNewScript_),
                            static_cast<QWidget*>(sbSave_), static_cast<QWidget*>(sbSaveAs_),
                            static_cast<QWidget*>(sbHTMLFileOpen_), static_cast<QWidget*>(sbTest_),
                            static_cast<QWidget*>(sbEditor_), static_cast<QWidget*>(sbBrowser_),
                            static_cast<QWidget*>(sbExit_), static_cast<QWidget*>(memScript_)})
        widget->setEnabled(false);
    sbStop_->setEnabled(true);
    Label1_->setVisible(false);
    ProgressBar1_->setVisible(true);
    output_.clear();
}

void TScriptForm::LeaveTestMode() {
    // The output pane shows the tail of the output: the end carries the outcome.
    const std::string_view all = script::TrimControls(
        std::string_view(output_.constData(), static_cast<std::size_t>(output_.size())));
    QString text = FromCp932(all);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.size() > kMaxOutputChars) {
        qsizetype from = text.size() - kMaxOutputChars;
        const qsizetype entry = text.indexOf(QStringLiteral("\n\n"), from);
        if (entry >= 0 && entry + 2 < text.size())
            from = entry + 2;
        text = text.mid(from);
    }
    reOutput_->setPlainText(text);
    reOutput_->moveCursor(QTextCursor::End);
    reOutput_->ensureCursorVisible();

    testing_ = false;
    sbStop_->setVisible(false);
    sbTest_->setVisible(true);
    for (QWidget* widget :
         {static_cast<QWidget*>(ComboBox1_), static_cast<QWidget*>(sbNewScript_),
          static_cast<QWidget*>(sbSaveAs_), static_cast<QWidget*>(sbHTMLFileOpen_),
          static_cast<QWidget*>(sbTest_), static_cast<QWidget*>(sbEditor_),
          static_cast<QWidget*>(sbExit_), static_cast<QWidget*>(memScript_)})
        widget->setEnabled(true);
    sbSave_->setEnabled(rememberedSave_);
    UpdateBrowserButton();
    sbStop_->setEnabled(false);
    ProgressBar1_->setVisible(false);
    Label1_->setVisible(true);
    ShowPageLabel();
    ShowErrorLine();
}

void TScriptForm::ShowErrorLine() {
    QTextCursor cursor(memScript_->document());
    const QTextBlock block = memScript_->document()->findBlockByNumber(errorLine_ - 1);
    if (errorLine_ > 0 && block.isValid()) {
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    }
    memScript_->setTextCursor(cursor);
    memScript_->ensureCursorVisible();
}

void TScriptForm::AppendOutput(const QByteArray& output) {
    output_.append(output);
    // Keep enough bytes for the shown tail (a character takes at most two bytes), cut at an
    // entry's end: CR LF never occurs inside a double-byte character.
    constexpr qsizetype kKeepBytes = 2 * kMaxOutputChars + 4096;
    if (output_.size() > 2 * kKeepBytes) {
        qsizetype from = output_.size() - kKeepBytes;
        const qsizetype entry = output_.indexOf("\r\n\r\n", from);
        from = entry < 0 ? from : entry + 4;
        output_.remove(0, from);
    }
}

void TScriptForm::OnProgress(const QByteArray& output, int percent) {
    AppendOutput(output);
    ProgressBar1_->setValue(percent);
}

void TScriptForm::OnFinish(const QByteArray& output, int errorLine, bool success) {
    AppendOutput(output);
    errorLine_ = errorLine;
    if (success)
        ProgressBar1_->setValue(100);
}

void TScriptForm::sbLocateClick() {
    const QPoint at = memScript_->mapToGlobal(QPoint(10, 0));
    findDialog_->move(at);
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
}

void TScriptForm::FindDialog1Find() {
    const QString what = findDialog_->FindText();
    if (what.isEmpty())
        return;
    QTextDocument::FindFlags flags;
    if (findDialog_->WholeWord())
        flags |= QTextDocument::FindWholeWords;
    if (findDialog_->MatchCase())
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor current = reOutput_->textCursor();
    const int from = current.hasSelection() ? current.selectionEnd() : 0;
    const QTextCursor found = reOutput_->document()->find(what, from, flags);
    if (found.isNull())
        return;
    reOutput_->setTextCursor(found);
    reOutput_->setFocus();
}

void TScriptForm::EditorContextMenu(const QPoint& pos) {
    const bool selected = memScript_->textCursor().hasSelection();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    auto action = [this](const char* name) {
        return popScript_->findChild<QAction*>(QLatin1String(name));
    };
    action("popCut")->setEnabled(selected);
    action("popCopy")->setEnabled(selected);
    action("popDelete")->setEnabled(selected);
    action("popPaste")->setEnabled(clip && clip->hasText());
    action("popUndo")->setEnabled(memScript_->document()->isUndoAvailable());
    popScript_->popup(memScript_->mapToGlobal(pos));
}

void TScriptForm::mnuScriptFontClick() {
    const auto chosen = Dialogs().ChooseFont(this, scriptFont_, scriptColor_);
    if (!chosen)
        return;
    scriptFont_ = chosen->font;
    scriptColor_ = chosen->color;
    ApplyScriptFont();
    emit scriptFontChanged(scriptFont_, scriptColor_);
}
