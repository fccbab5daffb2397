#include "store/TRenameJournal.h"

#include "store/TSqlConnection.h"

bool TRenameJournal::Exists() {
    TSqlStatement q = db_.Prepare(
        "SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = 'import_renames'");
    return q.Step();
}

void TRenameJournal::Add(const std::string& path, const std::string& target) {
    if (!created_) {
        db_.Exec(
            "CREATE TABLE IF NOT EXISTS main.import_renames (path BLOB NOT NULL, "
            "target BLOB NOT NULL)");
        created_ = true;
    }
    TSqlStatement insert =
        db_.Prepare("INSERT INTO main.import_renames (path, target) VALUES (?1, ?2)");
    insert.Bind(1, std::string_view(path)).Bind(2, std::string_view(target));
    insert.Run();
}

std::vector<TRenameJournal::Rename> TRenameJournal::Pending() {
    std::vector<Rename> renames;
    if (!Exists())
        return renames;
    TSqlStatement q = db_.Prepare("SELECT path, target FROM main.import_renames ORDER BY rowid");
    while (q.Step())
        renames.push_back({q.Text(0), q.Text(1)});
    return renames;
}

void TRenameJournal::Clear() {
    // Dropped rather than emptied: a table file without pending renames looks as it
    // always did.
    db_.Exec("DROP TABLE IF EXISTS main.import_renames");
    created_ = false;
}
