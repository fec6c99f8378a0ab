#include "SqliteTransaction.h"

namespace vendra::server {

Transaction::Transaction(SqliteConnection& c) : c_(c) { c_.exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (done_) return;
    try {
        c_.exec("ROLLBACK");
    } catch (...) {
        // SQLite has already rolled back what it could not keep.
    }
}

void Transaction::commit() {
    c_.exec("COMMIT");
    done_ = true;
}

Savepoint::Savepoint(SqliteConnection& c, std::string name) : c_(c), name_(std::move(name)) {
    c_.exec(("SAVEPOINT " + name_).c_str());
}

Savepoint::~Savepoint() {
    if (done_) return;
    try {
        rollback();
    } catch (...) {
        // Unwinding already: the transaction around it is rolled back by its own guard.
    }
}

void Savepoint::release() {
    c_.exec(("RELEASE " + name_).c_str());
    done_ = true;
}

void Savepoint::rollback() {
    done_ = true;
    c_.exec(("ROLLBACK TO " + name_).c_str());
    c_.exec(("RELEASE " + name_).c_str());
}

}  // namespace vendra::server
