#include "PgPool.h"

#include <pqxx/except>

namespace vendra::server {

namespace {

constexpr int kMaxRollbackRetries = 8;

// SQLSTATE classes of a lost connection: connection exceptions and an operator's shutdown.
bool connectionLost(const std::string& state) {
    return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03";
}

StoreError failure(const std::string& what, const std::string& state) {
    return StoreError("postgresql: " + what, 0, state);
}

}  // namespace

// A connection borrowed for one call; back to the pool when it goes, unless it was found broken.
class PgPool::Lease {
public:
    explicit Lease(PgPool& pool) : pool_(pool) {
        std::unique_lock lock(pool_.mutex_);
        pool_.freed_.wait(lock, [&] { return !pool_.idle_.empty() || pool_.open_ < pool_.size_; });
        if (!pool_.idle_.empty()) {
            c_ = std::move(pool_.idle_.back());
            pool_.idle_.pop_back();
            return;
        }
        ++pool_.open_;
        lock.unlock();
        try {
            c_ = pool_.connect();
        } catch (...) {
            lock.lock();
            --pool_.open_;
            pool_.freed_.notify_one();
            throw;
        }
    }
    ~Lease() {
        std::lock_guard lock(pool_.mutex_);
        if (c_ && !broken_)
            pool_.idle_.push_back(std::move(c_));
        else
            --pool_.open_;
        pool_.freed_.notify_one();
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    pqxx::connection& connection() { return *c_; }
    // The connection is lost, and so most likely are the idle ones opened before it.
    void broken() {
        broken_ = true;
        std::lock_guard lock(pool_.mutex_);
        pool_.open_ -= pool_.idle_.size();
        pool_.idle_.clear();
    }

private:
    PgPool& pool_;
    std::unique_ptr<pqxx::connection> c_;
    bool broken_ = false;
};

PgPool::PgPool(std::string url, size_t size, std::vector<PgStatement> statements)
    : url_(std::move(url)), size_(std::max<size_t>(size, 1)), statements_(std::move(statements)) {}

PgPool::~PgPool() = default;

std::unique_ptr<pqxx::connection> PgPool::connect() {
    try {
        auto c = std::make_unique<pqxx::connection>(url_);
        c->set_client_encoding("UTF8");
        for (const PgStatement& s : statements_) c->prepare(s.name, s.sql);
        return c;
    } catch (const pqxx::sql_error& e) {
        throw failure(std::string("cannot connect: ") + e.what(), e.sqlstate());
    } catch (const pqxx::failure& e) {
        throw failure(std::string("cannot connect: ") + e.what(), "08001");
    }
}

void PgPool::run(const std::function<void(pqxx::connection&)>& work) {
    bool reconnected = false;
    for (int rollbacks = 0;;) {
        Lease lease(*this);
        std::string what, state;
        try {
            work(lease.connection());
            return;
        } catch (const pqxx::in_doubt_error& e) {
            lease.broken();
            throw failure(std::string("commit outcome unknown: ") + e.what(), "08007");
        } catch (const pqxx::serialization_failure& e) {
            if (++rollbacks > kMaxRollbackRetries) throw failure(e.what(), "40001");
            continue;
        } catch (const pqxx::deadlock_detected& e) {
            if (++rollbacks > kMaxRollbackRetries) throw failure(e.what(), "40P01");
            continue;
        } catch (const pqxx::broken_connection& e) {
            what = e.what();
            state = "08006";
        } catch (const pqxx::sql_error& e) {
            if (!connectionLost(e.sqlstate()) && lease.connection().is_open()) throw failure(e.what(), e.sqlstate());
            what = e.what();
            state = e.sqlstate();
        } catch (const pqxx::failure& e) {
            if (lease.connection().is_open()) throw failure(e.what(), {});
            what = e.what();
            state = "08006";
        }
        lease.broken();
        if (reconnected) throw failure(what, state);
        reconnected = true;
    }
}

}  // namespace vendra::server
