#pragma once

#include <set>
#include <string>
#include <vector>

#include "store/TRenameJournal.h"

// The ".bak" renames of `brevilo-cli import --rename`, kept with the records they belong
// to: each converted file's rename is noted in the transaction that commits its records
// and done after the commit (TRenameJournal), so a run killed at any moment leaves every
// file either stored and (now or at the next import) ".bak", or not stored and under its
// own name.
//
// Order of calls per group of files: BeginGroup inside the group's transaction, Converted
// for each file whose records are in it, the commit, then Committed.
class ImportRenames {
  public:
    ImportRenames(TSqlConnection& db, bool rename);

    // The renames that a killed earlier import of this table promised: done now (a name
    // already taken leaves the file as a normal rename would) and their notes dropped.
    // Their files are left out of this run: their records are stored already.
    void FinishEarlierRun();
    bool AlreadyStored(const std::string& path) const;

    // Inside the group's transaction: forgets the notes of the renames done after the
    // previous commit.
    void BeginGroup();
    void Converted(const std::string& path);
    // After the commit: renames the group's files.
    void Committed();
    // After the last commit: drops the notes. Without it the notes stay and the next
    // import finds nothing left to do for them.
    void Finish();

  private:
    static std::string Key(const std::string& path);

    TRenameJournal journal_;
    bool rename_;
    std::vector<TRenameJournal::Rename> group_;
    std::set<std::string> alreadyStored_;
    int commits_ = 0;
};
