#include "store/TSqlTransaction.h"

TSqlTransaction::TSqlTransaction(TSqlConnection& db) : db_(db) {
    nested_ = db.InTransaction();
    db_.Exec(nested_ ? "SAVEPOINT brevilo_step" : "BEGIN IMMEDIATE");
}

TSqlTransaction::~TSqlTransaction() {
    if (done_)
        return;
    // Nothing may escape a destructor; a failed rollback leaves SQLite to undo the work
    // when the connection closes or the hot journal is next read.
    if (nested_) {
        sqlite3_exec(db_.handle(), "ROLLBACK TO brevilo_step; RELEASE brevilo_step", nullptr,
                     nullptr, nullptr);
    } else if (db_.InTransaction()) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void TSqlTransaction::Commit() {
    db_.Exec(nested_ ? "RELEASE brevilo_step" : "COMMIT");
    done_ = true;
}
