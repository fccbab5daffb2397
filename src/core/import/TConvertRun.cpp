#include "import/TConvertRun.h"

#include <algorithm>

#include "base/Abort.h"
#include "base/EError.h"
#include "import/FileMask.h"
#include "import/Mailboxes.h"
#include "script/EScriptError.h"

TConvertRun::TConvertRun(std::vector<TMyFiler::Entry> files, std::string scriptPath,
                         IImportHost& host, EngineFactory makeEngine)
    : scriptPath_(std::move(scriptPath)), host_(host), makeEngine_(std::move(makeEngine)) {
    for (const TMyFiler::Entry& e : files)
        files_.AddTagged(e.path, e.tag);
}

void TConvertRun::CheckAbandoned() const {
    if (abandoned_.load())
        throw EAborted{};
}

void TConvertRun::Run() {
    AbortScope abortScope(&abandoned_);
    try {
        std::unique_ptr<IConversionEngine> engine = makeEngine_();
        engine->SetMailOptions(mailOptions_);
        engine->SetOnRecord([this, &engine] {
            if (stopRequested_.load()) {
                fileCutShort_ = true;
                engine->SetStopFlag();
                return;
            }
            CheckAbandoned();
            ++result_.RecordCount;
            int position = -1;
            if (expectedRecords_ != 0 && result_.RecordCount % 2 == 1)
                // Long articles give more records than messages: the bar stops at 100.
                position = static_cast<int>(std::min<long long>(
                    100, static_cast<long long>(result_.RecordCount) * 100 / expectedRecords_));
            host_.HandOver(engine->Fields(), result_.RecordCount, position);
        });
        try {
            engine->SetScript(scriptPath_);
        } catch (const EError& e) {
            // The script is read before any file is touched: nothing to rename.
            result_.Outcome = ImportOutcome::Failed;
            result_.ErrorMessage = e.what();
            CheckAbandoned();
            host_.Finished(result_);
            return;
        }
        ConvertAll(*engine);
        CheckAbandoned();
        host_.Finished(result_);
    } catch (const EAborted&) {
        // Abandoned: the host has moved on and must hear nothing more.
    }
}

void TConvertRun::ConvertAll(IConversionEngine& engine) {
    try {
        if (files_.Count() == 1 &&
            (files_.TagAt(0) != 0 || MailboxKindOf(files_.FileAt(0)) != MailboxKind::None)) {
            // Tagged mode: one store expected to yield TagAt(0) records; it keeps its name.
            // A lone mailbox is counted first (while its name is shown), so that its
            // progress moves as a store's does.
            fileIndex_ = 0;
            host_.FileProgress(0, files_.FileAt(0));
            expectedRecords_ =
                files_.TagAt(0) != 0 ? files_.TagAt(0) : CountMailboxMessages(files_.FileAt(0));
            result_.ErrorLine = 0;
            fileCutShort_ = false;
            engine.Convert(files_.FileAt(0));
            CheckAbandoned();
            host_.FileEnded(fileCutShort_ ? IImportHost::FileEnd::Stopped
                                          : IImportHost::FileEnd::Converted);
        } else {
            for (fileIndex_ = 0; fileIndex_ < files_.Count() && !stopRequested_.load();
                 ++fileIndex_) {
                CheckAbandoned();
                host_.FileProgress(fileIndex_ * 100 / files_.Count(), files_.FileAt(fileIndex_));
                result_.ErrorLine = 0;
                fileCutShort_ = false;
                engine.Convert(files_.FileAt(fileIndex_));
                CheckAbandoned();
                if (fileCutShort_) {
                    host_.FileEnded(IImportHost::FileEnd::Stopped);
                    break;
                }
                host_.FileEnded(IImportHost::FileEnd::Converted);
                if (renameFiles_)
                    files_.RenameTo(fileIndex_, ".bak");
            }
        }
        if (stopRequested_.load()) {
            result_.Outcome = ImportOutcome::Cancelled;
        } else {
            CheckAbandoned();
            host_.Completed();
            result_.Outcome = ImportOutcome::Done;
        }
    } catch (...) {
        int line = 0;
        std::string message = DescribeConversionFailure(line);
        Fail(fileIndex_, std::move(message), line);
    }
}

std::string DescribeConversionFailure(int& line) {
    line = 0;
    try {
        throw;
    } catch (const EAborted&) {
        throw;
    } catch (const EScriptError& e) {
        line = e.Line();
        return "[Script Error] Stopped at line: " + std::to_string(e.Line());
    } catch (const EError& e) {
        return e.what();
    } catch (...) {
        // Failures outside the family that carries a message for the user (a store
        // reader's format error, exhausted memory) get the generic text.
        return "Abnormal Error";
    }
}

void TConvertRun::Fail(int fileIndex, std::string message, int line) {
    CheckAbandoned();
    try {
        host_.FileEnded(IImportHost::FileEnd::Failed);
    } catch (const EAborted&) {
        throw;
    } catch (...) {
        // The file has failed already; the first failure is the one to report.
    }
    if (renameFiles_) {
        files_.RenameTo(fileIndex, ".err");
    } else {
        files_.LastExtension = ExtensionOf(files_.FileAt(fileIndex));
    }
    result_.Outcome = ImportOutcome::Failed;
    result_.ErrorMessage = std::move(message);
    result_.ErrorLine = line;
    result_.FailedFile = files_.FileAt(fileIndex);
    result_.ErrorFile = files_.ErrorFile;
    result_.LastExtension = files_.LastExtension;
}

std::string ImportOutcomeMessage(const TImportResult& result) {
    switch (result.Outcome) {
        case ImportOutcome::Failed: {
            // A store that failed keeps its name and has no ".err" file: name the store.
            std::string name = result.ErrorFile.empty() ? result.FailedFile : result.ErrorFile;
            while (name.size() > 1 && name.back() == '/')
                name.pop_back();  // a Maildir folder named with its trailing slash
            if (name.empty())
                return result.ErrorMessage;
            if (std::size_t slash = name.rfind('/'); slash != std::string::npos)
                name.erase(0, slash + 1);
            return result.ErrorMessage + "\r\n" + name;
        }
        case ImportOutcome::Cancelled:
            return "Canceled by User";
        case ImportOutcome::Killed:
            return "Interrupted by force";
        default:
            return {};
    }
}
