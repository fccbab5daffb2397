#include "script/TScriptCommands.h"

#include <QFile>

#include "import/TMyFiler.h"
#include "script/TScriptFolder.h"
#include "shell/TCommands.h"
#include "shell/TMainContext.h"
#include "shell/TMainfrm.h"

TScriptCommands::TScriptCommands(TMainContext& context)
    : QObject(&context.frame), context_(context) {
    context_.commands.Handle(TCmd::TestScript, [this] { mnuTestScriptClick(); });
}

void TScriptCommands::mnuTestScriptClick() {
    TMainfrm& frame = context_.frame;
    const bool opening = !form_;
    if (opening)
        scriptfolder::Prepare(frame.ScriptFolder(), scriptfolder::ExamplesFolder());

    TScriptFormSetup setup;
    setup.scriptFolder = frame.ScriptFolder();
    setup.editor = frame.Settings().EditorName;
    setup.articleFont = frame.ArticleFont();
    setup.scriptFont = frame.ScriptFont();
    setup.scriptColor = frame.ScriptColor();

    TMyFiler none;
    TMyFiler& filer = filer_ ? *filer_ : none;
    QString errorFile = QFile::decodeName(filer.ErrorFile.c_str());
    TScriptForm::Open(form_, setup, frame.Settings().RecentScript, frame.Settings().CurDir,
                      errorFile, QString::fromStdString(filer.LastExtension), filer.ErrorLine);
    if (errorFile.isEmpty())
        filer.ErrorFile.clear();
    if (opening && form_)
        connect(form_, &TScriptForm::scriptFontChanged, &frame, &TMainfrm::SetScriptFont);
}

void TScriptCommands::CloseForm() {
    if (!form_)
        return;
    if (form_->Testing())
        form_->sbStopClick();
    form_->close();
}
