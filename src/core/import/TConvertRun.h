#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/TRecordFields.h"
#include "import/IConversionEngine.h"
#include "import/TMyFiler.h"

// How an import ended; the numbers are the progress window's modal results.
enum class ImportOutcome { None = 0, Done = 1, Cancelled = 2, Failed = 3, Killed = 7 };

// What an import leaves for its owner to keep: the last error and the record count.
struct TImportResult {
    ImportOutcome Outcome = ImportOutcome::None;
    int RecordCount = 0;
    std::string FailedFile;     // the path of the file that failed, as it was listed
    std::string ErrorFile;      // its ".err" name; empty when it was not renamed (a store)
    std::string ErrorMessage;   // what the user is told; see ImportOutcomeMessage
    std::string LastExtension;  // the failed file's own extension
    int ErrorLine = 0;          // the script line of a script failure, else 0
};

// The run's way back to its host. Each call is a synchronised call: the host runs it on its
// own thread (the GUI thread) while the run waits, and an exception thrown there is raised
// again in the run. After Abandon() the run makes no further call.
class IImportHost {
  public:
    virtual ~IImportHost() = default;
    // A file starts: the progress bar's position and the file's full path.
    virtual void FileProgress(int position, const std::string& path) = 0;
    // A record is ready: append it to the log (may throw: the file then fails), show the
    // record count, and move the progress bar to `position` unless it is -1.
    virtual void HandOver(const TRecordFields& fields, int recordCount, int position) = 0;
    // How the conversion of the current file ended, told before the file is renamed:
    //   Converted - it went through: its records must be kept (committed) by the time this
    //               returns, since the file becomes ".bak" next; may throw, and the file
    //               then fails;
    //   Failed    - it failed: the records handed over before the failure are kept and the
    //               file becomes ".err";
    //   Stopped   - a stop cut it short: its records must be dropped, since the file keeps
    //               its name and is taken whole by the next import.
    enum class FileEnd { Converted, Failed, Stopped };
    virtual void FileEnded(FileEnd end) { (void)end; }
    // Every file converted without a stop: the progress bar goes to 100.
    virtual void Completed() = 0;
    // The run ends (not called for an abandoned run).
    virtual void Finished(const TImportResult& result) = 0;
};

// The import thread's body (the run of TConvertThread): converts the files of a file list in order,
// hands every record to the host the moment it is produced, renames each converted file to ".bak"
// and the one that failed to ".err", and reports the outcome. Runs on any thread.
//
// Two ways to stop it, both callable from any thread:
//   RequestStop() - the polite stop: the next record is not handed over, the engines stop
//                   producing records, no further file is taken; outcome Cancelled. A file
//                   cut short keeps its name and the host drops its records (FileEnd::
//                   Stopped), so nothing of it is half kept; a file whose last record was
//                   already handed over still becomes ".bak".
//   Abandon()     - the forced stop of a run that no longer answers: the host stops
//                   waiting at once. The engines unwind at their next abort test; the run
//                   then renames nothing, hands nothing over and calls the host no more.
//                   The host must keep itself alive (or the run's calls harmless) until
//                   the run's thread ends.
class TConvertRun {
  public:
    using EngineFactory = std::function<std::unique_ptr<IConversionEngine>()>;

    // files: a copy of the list's entries; scriptPath: the web-page script (may be empty).
    TConvertRun(std::vector<TMyFiler::Entry> files, std::string scriptPath, IImportHost& host,
                EngineFactory makeEngine);

    // Whether converted files become ".bak" and the failed one ".err" (the default); off
    // for runs that only read (brevilo-cli convert).
    void SetRenameFiles(bool rename) { renameFiles_ = rename; }
    // How the run's engine reads messages (the "DecodeCharsets" setting of the import).
    void SetMailOptions(const MailParser::TParseOptions& options) { mailOptions_ = options; }

    void Run();
    void RequestStop() { stopRequested_.store(true); }
    void Abandon() { abandoned_.store(true); }
    bool Abandoned() const { return abandoned_.load(); }

    const TImportResult& Result() const { return result_; }

  private:
    void ConvertAll(IConversionEngine& engine);
    void Fail(int fileIndex, std::string message, int line);
    void CheckAbandoned() const;

    TMyFiler files_;
    std::string scriptPath_;
    IImportHost& host_;
    EngineFactory makeEngine_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> abandoned_{false};
    bool renameFiles_ = true;
    MailParser::TParseOptions mailOptions_;
    int fileIndex_ = 0;
    bool fileCutShort_ = false;  // a record of the current file was refused after a stop
    int expectedRecords_ = 0;
    TImportResult result_;
};

// What a conversion failure tells the user (call inside a catch block, with the current
// exception): a script error gives "[Script Error] Stopped at line: N" and its line; a
// failure of the EError family its own text; anything else "Abnormal Error". EAborted is
// rethrown.
std::string DescribeConversionFailure(int& line);

// The message the user sees for an outcome: the failure text, CR LF and the failed file's
// name (no folder); "Canceled by User"; "Interrupted by force"; empty when done.
std::string ImportOutcomeMessage(const TImportResult& result);
