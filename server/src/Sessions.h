#pragma once
// Login sessions and the slow-down of repeated failed logins. Both live in memory: a restart
// asks every client to log in again, which the client does at each start anyway.
#include <QString>
#include <chrono>
#include <mutex>
#include <optional>
#include <QHash>

namespace vendra::server {

using Clock = std::chrono::steady_clock;

struct Session {
    QString receiver;
    QString orderer;
    Clock::time_point lastUsed;
};

class SessionTable {
public:
    explicit SessionTable(std::chrono::seconds idleLimit = std::chrono::hours(12), size_t maxSessions = 100000)
        : idleLimit_(idleLimit), maxSessions_(maxSessions) {}

    // A new random token for the orderer of the receiver.
    QString open(const QString& receiver, const QString& orderer, Clock::time_point now = Clock::now());
    // The live session of the token (its idle time restarts), or none.
    std::optional<Session> find(const QString& token, Clock::time_point now = Clock::now());
    size_t size();

private:
    void dropExpired(Clock::time_point now);

    std::chrono::seconds idleLimit_;
    size_t maxSessions_;
    std::mutex mutex_;
    QHash<QString, Session> sessions_;
};

// After `freeFailures` failed logins in a row for one ID, every further attempt must wait:
// base, then twice as long after each further failure, up to `maxDelay`. A success clears it.
class LoginThrottle {
public:
    LoginThrottle(int freeFailures = 3, std::chrono::milliseconds base = std::chrono::seconds(1),
                  std::chrono::milliseconds maxDelay = std::chrono::seconds(60))
        : freeFailures_(freeFailures), base_(base), maxDelay_(maxDelay) {}

    // How long the ID must still wait; zero when an attempt may go ahead.
    std::chrono::milliseconds waitFor(const QString& id, Clock::time_point now = Clock::now());
    void failed(const QString& id, Clock::time_point now = Clock::now());
    void succeeded(const QString& id);

private:
    struct Entry {
        int failures = 0;
        Clock::time_point until;
    };
    int freeFailures_;
    std::chrono::milliseconds base_;
    std::chrono::milliseconds maxDelay_;
    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

}  // namespace vendra::server
