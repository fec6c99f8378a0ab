#include "Sessions.h"

#include "Password.h"

#include <algorithm>

namespace vendra::server {

QString SessionTable::open(const QString& receiver, const QString& orderer, Clock::time_point now) {
    QString token = RandomToken(32);
    std::lock_guard lock(mutex_);
    if (static_cast<size_t>(sessions_.size()) >= maxSessions_) dropExpired(now);
    if (static_cast<size_t>(sessions_.size()) >= maxSessions_) {
        // Still full: the least recently used session goes.
        auto oldest = sessions_.begin();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
            if (it->lastUsed < oldest->lastUsed) oldest = it;
        sessions_.erase(oldest);
    }
    sessions_[token] = Session{receiver, orderer, now};
    return token;
}

std::optional<Session> SessionTable::find(const QString& token, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end()) return std::nullopt;
    if (now - it->lastUsed > idleLimit_) {
        sessions_.erase(it);
        return std::nullopt;
    }
    it->lastUsed = now;
    return *it;
}

size_t SessionTable::size() {
    std::lock_guard lock(mutex_);
    return sessions_.size();
}

void SessionTable::dropExpired(Clock::time_point now) {
    sessions_.removeIf([&](const auto& e) { return now - e.value().lastUsed > idleLimit_; });
}

std::chrono::milliseconds LoginThrottle::waitFor(const QString& id, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(id);
    if (it == entries_.end() || it->until <= now) return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(it->until - now);
}

void LoginThrottle::failed(const QString& id, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (entries_.size() > 100000) {
        // Forget IDs whose wait is over and that failed only a little, so guessing many IDs
        // cannot grow the table without bound.
        entries_.removeIf(
            [&](const auto& e) { return e.value().until <= now && e.value().failures < 2 * freeFailures_; });
    }
    Entry& e = entries_[id];
    ++e.failures;
    if (e.failures >= freeFailures_) {
        int doublings = std::min(e.failures - freeFailures_, 20);
        auto delay = std::min<std::chrono::milliseconds>(base_ * (int64_t{1} << doublings), maxDelay_);
        e.until = now + delay;
    }
}

void LoginThrottle::succeeded(const QString& id) {
    std::lock_guard lock(mutex_);
    entries_.remove(id);
}

}  // namespace vendra::server
