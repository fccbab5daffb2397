#include "CliTable.h"

#include "base/EError.h"
#include "store/ArticleTable.h"
#include "store/TSqlTransaction.h"
#include "store/TTableFolder.h"

std::unique_ptr<TSqlConnection> OpenCliTable(const std::string& folder, const std::string& name,
                                             bool create) {
    TTableFolder tables(folder);
    for (const char* scratch : {"tmpdb", "tmpout", "tmpmem"})
        if (TTableFolder::SameName(name, scratch))
            throw EError(name + " is a temporary table of the program, not a database");
    bool exists = tables.TableExists(name);
    if (!exists) {
        if (!create)
            throw EError("Database files missing");
        if (!TTableFolder::IsValidNewName(name))
            throw EError("Invalid database name");
    }
    auto db = std::make_unique<TSqlConnection>(tables.TableFile(name), !exists);
    PrepareStoreConnection(*db);
    PrepareStoreSchema(*db, "main");
    // A file without any table is one whose creation was cut short (a process killed
    // between making the file and committing its schema): it is made now.
    bool empty = !exists;
    if (exists && !HasArticleSchema(*db, "main", true)) {
        TSqlStatement count = db->Prepare("SELECT count(*) FROM main.sqlite_master");
        empty = count.Step() && count.Int(0) == 0;
    }
    if (empty) {
        TSqlTransaction t(*db);
        CreateArticleSchema(*db, "main", TTableKind::Keyed, false);
        t.Commit();
    } else if (!HasArticleSchema(*db, "main", true)) {
        throw EError("Unsupported database type");
    }
    return db;
}
