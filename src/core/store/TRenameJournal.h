#pragma once

#include <string>
#include <utility>
#include <vector>

class TSqlConnection;

// The renames an import promised for files whose records it committed.
//
// Records reach a table in a transaction, but a file is renamed ".bak" only after the
// commit; a process killed between the two would leave committed records beside a file
// still under its old name, and the next import would store them twice. So the import
// notes each rename in the table's own file, inside the transaction that commits the
// file's records (table `import_renames`, doc/store-schema.md): after a kill, the next
// import finds the note, does the rename and leaves the file out. The table exists only
// while such notes do.
class TRenameJournal {
  public:
    struct Rename {
        std::string path;    // the file as it was imported (file-system bytes)
        std::string target;  // its ".bak" name
    };

    // `db` (its main database) must outlive the journal.
    explicit TRenameJournal(TSqlConnection& db) : db_(db) {}

    // Notes that `path` becomes `target` once the caller's open transaction commits.
    void Add(const std::string& path, const std::string& target);
    // The notes committed so far, in the order they were added.
    std::vector<Rename> Pending();
    // Forgets every note: inside the caller's transaction when one is open, else on its own.
    void Clear();

  private:
    bool Exists();

    TSqlConnection& db_;
    bool created_ = false;
};
