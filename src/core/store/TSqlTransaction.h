#pragma once

#include "store/TSqlConnection.h"

// All or nothing: everything done on the connection between construction and Commit() is
// kept together; leaving the scope without Commit() (an exception, an abandoned run) undoes
// it. The outermost scope is a write transaction taken at once (BEGIN IMMEDIATE, so a
// second writer waits at the start instead of failing half-way); a scope inside another
// one is a savepoint, so it can be undone alone.
//
// With the rollback journal a transaction over several attached files commits atomically
// across all of them (SQLite's super-journal); see doc/store-schema.md.
class TSqlTransaction {
  public:
    explicit TSqlTransaction(TSqlConnection& db);
    ~TSqlTransaction();
    TSqlTransaction(const TSqlTransaction&) = delete;
    TSqlTransaction& operator=(const TSqlTransaction&) = delete;

    void Commit();

  private:
    TSqlConnection& db_;
    bool nested_ = false;
    bool done_ = false;
};
