#pragma once
// The PostgreSQL connections of one server instance: at most `size` open at once, each with the
// store's statements prepared. A caller waits for a free one when all are in use.
#include "Store.h"

#include <pqxx/connection>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vendra::server {

// A named statement, prepared on every connection of the pool.
struct PgStatement {
    const char* name;
    const char* sql;
};

class PgPool {
public:
    PgPool(std::string url, size_t size, std::vector<PgStatement> statements);
    ~PgPool();
    PgPool(const PgPool&) = delete;
    PgPool& operator=(const PgPool&) = delete;

    // Runs `work` on a pooled connection; `work` commits its own transaction. When the database
    // was lost before the commit (a restart, a dropped connection), every idle connection is
    // dropped and `work` runs once more on a new one; serialization failures and deadlocks run it
    // again too (nothing of them was committed). Any other failure, and a commit whose outcome
    // is unknown, is a StoreError with the SQLSTATE when there is one.
    void run(const std::function<void(pqxx::connection&)>& work);

    size_t size() const { return size_; }

private:
    class Lease;
    std::unique_ptr<pqxx::connection> connect();

    const std::string url_;
    const size_t size_;
    const std::vector<PgStatement> statements_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<pqxx::connection>> idle_;
    size_t open_ = 0;
};

}  // namespace vendra::server
