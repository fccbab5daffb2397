#include "ImportRenames.h"

#include <cstdlib>
#include <filesystem>

#include "import/TMyFiler.h"

ImportRenames::ImportRenames(TSqlConnection& db, bool rename) : journal_(db), rename_(rename) {}

std::string ImportRenames::Key(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

void ImportRenames::FinishEarlierRun() {
    std::vector<TRenameJournal::Rename> pending = journal_.Pending();
    if (pending.empty())
        return;
    for (const TRenameJournal::Rename& r : pending) {
        // Gone: renamed before the kill. Still there: renamed now, unless the ".bak" name is
        // taken, when the file keeps its name and is imported again, as after any import.
        if (!std::filesystem::exists(r.path) || RenameNoReplace(r.path, r.target))
            alreadyStored_.insert(r.path);
    }
    journal_.Clear();
}

bool ImportRenames::AlreadyStored(const std::string& path) const {
    return !alreadyStored_.empty() && alreadyStored_.count(Key(path)) != 0;
}

void ImportRenames::BeginGroup() {
    if (rename_ && commits_ > 0)
        journal_.Clear();
}

void ImportRenames::Converted(const std::string& path) {
    if (!rename_ || TMyFiler::IsMailStore(path))
        return;
    std::string key = Key(path);
    std::string target = ReplaceExtension(key, ".bak");
    journal_.Add(key, target);
    group_.push_back({std::move(key), std::move(target)});
}

void ImportRenames::Committed() {
    ++commits_;
    // A test seam: ends the process between a commit and its renames, where a kill is the
    // most harmful, so tests can show the next run still stores every file once.
    if (const char* exitAfter = std::getenv("BREVILO_TEST_EXIT_AFTER_COMMIT");
        exitAfter && std::atoi(exitAfter) == commits_)
        std::_Exit(3);
    for (const TRenameJournal::Rename& r : group_)
        RenameNoReplace(r.path, r.target);
    group_.clear();
}

void ImportRenames::Finish() {
    if (rename_ && commits_ > 0)
        journal_.Clear();
}
