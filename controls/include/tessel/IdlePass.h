#pragma once
// A pass over every record, one record a timer tick, that waits until the user has left the keys
// and the wheel alone for a second: the grid's Interrupt and the report viewer's line events.
#include <chrono>
#include <functional>
#include <optional>

namespace tessel {

class IdlePass {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kIdle{1000};

    explicit IdlePass(Clock clock = &std::chrono::steady_clock::now) : clock_(std::move(clock)) {}
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // From the first record.
    void start() { next_ = 0, running_ = true; }
    void stop() { running_ = false; }
    bool running() const { return running_; }
    // The record the pass takes next.
    int next() const { return next_; }

    // The user moved: the pass waits a second from now.
    void noteMove() { lastMove_ = clock_(); }
    // Milliseconds until the pass may take a record (0 at once): a second after the last move.
    int wait() const;

    // The record to hand over now, counted before its event so that a line the handler deletes or
    // inserts shifts the pass with it; stops the pass and gives -1 once `records` are all passed.
    int take(int records);
    // A line was deleted or inserted at `rec`: the records after it moved.
    void lineDeleted(int rec) {
        if (rec < next_) --next_;
    }
    void lineInserted(int rec) {
        if (rec < next_) ++next_;
    }

private:
    Clock clock_;
    std::optional<std::chrono::steady_clock::time_point> lastMove_;
    int next_ = 0;
    bool running_ = false;
};

}  // namespace tessel
