#include "Sessions.h"

#include "Password.h"

#include <sodium.h>

#include <QByteArray>
#include <algorithm>
#include <climits>

namespace vendra::server {

namespace {

int64_t msOf(WallClock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}
WallClock::time_point timeOf(int64_t ms) { return WallClock::time_point(std::chrono::milliseconds(ms)); }

// Whoever reads the store must not be able to use the sessions in it.
QString digestOf(const QString& token) {
    const QByteArray in = token.toLatin1();
    unsigned char out[32];
    crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char*>(in.constData()),
                       static_cast<unsigned long long>(in.size()), nullptr, 0);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(out), sizeof out).toHex());
}

constexpr int kMaxKnown = 100000;
constexpr int kMaxThrottledIds = 100000;

}  // namespace

SessionTable::SessionTable(Store& store, std::chrono::seconds idleLimit, int perOrderer,
                           std::chrono::seconds touchEvery)
    : store_(store),
      idleLimit_(idleLimit),
      perOrderer_(perOrderer),
      touchEvery_(std::min(touchEvery, idleLimit / 10)) {}

QString SessionTable::open(const QString& receiver, const QString& orderer, WallClock::time_point now) {
    const QString token = RandomToken(32);
    const QString digest = digestOf(token);
    store_.openSession({digest, receiver, orderer, msOf(now)}, msOf(now - idleLimit_), perOrderer_);
    std::lock_guard lock(mutex_);
    if (known_.size() >= kMaxKnown) known_.clear();  // the store still has them
    known_.insert(digest, Known{{receiver, orderer}, now, now});
    return token;
}

std::optional<Session> SessionTable::find(const QString& token, WallClock::time_point now) {
    const QString digest = digestOf(token);
    std::unique_lock lock(mutex_);
    auto it = known_.find(digest);
    // Unknown here, or idle as far as this instance saw: another instance may have opened or used it.
    if (it == known_.end() || now - it->lastUsed > idleLimit_) {
        lock.unlock();
        std::optional<SessionRecord> r = store_.session(digest);
        lock.lock();
        it = known_.find(digest);
        if (!r) {
            if (it != known_.end()) known_.erase(it);
            return std::nullopt;
        }
        const WallClock::time_point used = timeOf(r->lastUsedMs);
        if (it == known_.end()) {
            if (known_.size() >= kMaxKnown) known_.clear();
            it = known_.insert(digest, Known{{r->receiver, r->orderer}, used, used});
        }
        it->lastUsed = std::max(it->lastUsed, used);
        if (now - it->lastUsed > idleLimit_) {
            known_.erase(it);
            return std::nullopt;
        }
    }
    it->lastUsed = std::max(it->lastUsed, now);
    const Session session = it->session;
    if (now - it->stored < touchEvery_) return session;
    it->stored = now;
    lock.unlock();
    if (store_.touchSession(digest, msOf(now))) return session;
    // Gone from the store: expired, or pushed out by newer sessions (perhaps on another instance).
    lock.lock();
    known_.remove(digest);
    return std::nullopt;
}

std::chrono::milliseconds LoginThrottle::waitFor(const QString& id, WallClock::time_point now) {
    const LoginFailures f = store_.loginFailures(id);
    const auto left = std::chrono::milliseconds(f.untilMs - msOf(now));
    return std::max(left, std::chrono::milliseconds(0));
}

void LoginThrottle::failed(const QString& id, WallClock::time_point now) {
    std::lock_guard lock(mutex_);
    LoginFailures f = store_.loginFailures(id);
    ++f.count;
    if (f.count >= freeFailures_) {
        const int doublings = std::min(f.count - freeFailures_, 20);
        const auto delay = std::min<std::chrono::milliseconds>(base_ * (int64_t{1} << doublings), maxDelay_);
        f.untilMs = msOf(now + delay);
    }
    // IDs that failed only a little and whose wait is over are forgotten first, so that guessing
    // many IDs cannot grow the table without bound.
    const int lightCount = freeFailures_ > INT_MAX / 2 ? INT_MAX : 2 * freeFailures_;
    store_.setLoginFailures(id, f, msOf(now), lightCount, kMaxThrottledIds);
}

void LoginThrottle::succeeded(const QString& id) {
    std::lock_guard lock(mutex_);
    if (store_.loginFailures(id).count > 0) store_.setLoginFailures(id, {}, 0, 0, 0);
}

}  // namespace vendra::server
