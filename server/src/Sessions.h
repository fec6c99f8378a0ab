#pragma once
// Login sessions and the slow-down of repeated failed logins, both kept in the store so that a
// restart keeps the clients logged in and the slow-down in force. Times are wall-clock times.
#include "Store.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <mutex>
#include <optional>

namespace vendra::server {

using Clock = std::chrono::steady_clock;  // durations
using WallClock = std::chrono::system_clock;  // what is stored

struct Session {
    QString receiver;
    QString orderer;
};

// Sessions expire when unused for `idleLimit`. The store keeps each token only as a digest; a
// session's last use is written back at most every `touchEvery`, so busy clients cost no write per
// request; lookups are served from memory once a session is known. Several servers may share the
// store: a session unknown here, or idle as far as this server saw, is looked up in the store, and
// one gone from the store is refused here at its next write-back.
class SessionTable {
public:
    SessionTable(Store& store, std::chrono::seconds idleLimit = std::chrono::hours(12), int perOrderer = 20,
                 std::chrono::seconds touchEvery = std::chrono::minutes(5));

    // A new random token for the orderer of the receiver.
    QString open(const QString& receiver, const QString& orderer, WallClock::time_point now = WallClock::now());
    // The live session of the token (its idle time restarts), or none.
    std::optional<Session> find(const QString& token, WallClock::time_point now = WallClock::now());

private:
    struct Known {
        Session session;
        WallClock::time_point lastUsed;
        WallClock::time_point stored;  // the last use as the store has it
    };
    Store& store_;
    std::chrono::seconds idleLimit_;
    int perOrderer_;
    std::chrono::seconds touchEvery_;
    std::mutex mutex_;
    QHash<QString, Known> known_;  // by digest
};

// After `freeFailures` failed logins in a row for one ID, every further attempt must wait:
// base, then twice as long after each further failure, up to `maxDelay`. A success clears it.
class LoginThrottle {
public:
    LoginThrottle(Store& store, int freeFailures = 3, std::chrono::milliseconds base = std::chrono::seconds(1),
                  std::chrono::milliseconds maxDelay = std::chrono::seconds(60))
        : store_(store), freeFailures_(freeFailures), base_(base), maxDelay_(maxDelay) {}

    // How long the ID must still wait; zero when an attempt may go ahead.
    std::chrono::milliseconds waitFor(const QString& id, WallClock::time_point now = WallClock::now());
    void failed(const QString& id, WallClock::time_point now = WallClock::now());
    void succeeded(const QString& id);

private:
    Store& store_;
    int freeFailures_;
    std::chrono::milliseconds base_;
    std::chrono::milliseconds maxDelay_;
    std::mutex mutex_;  // a failure is counted as read, changed and written back
};

}  // namespace vendra::server
