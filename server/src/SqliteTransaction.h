#pragma once
// Transaction and savepoint guards: whatever is not committed or released when the guard goes is
// rolled back, so an exception never leaves half a change behind.
#include "SqliteConnection.h"

#include <string>

namespace vendra::server {

// BEGIN IMMEDIATE takes the write lock up front, so a check and the write that depends on it
// (the acceptance lock) cannot be interleaved with another process's write.
class Transaction {
public:
    explicit Transaction(SqliteConnection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    SqliteConnection& c_;
    bool done_ = false;
};

// A savepoint inside a transaction: one part of it that can fail alone.
class Savepoint {
public:
    Savepoint(SqliteConnection& c, std::string name);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    // Keeps the work done since the savepoint.
    void release();
    // Undoes it. Throws when SQLite cannot, and then the whole transaction must go.
    void rollback();

private:
    SqliteConnection& c_;
    std::string name_;
    bool done_ = false;
};

}  // namespace vendra::server
