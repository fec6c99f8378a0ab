#include "tessel/IdlePass.h"

#include <algorithm>

namespace tessel {

int IdlePass::wait() const {
    if (!lastMove_) return 0;
    const auto left = *lastMove_ + kIdle - clock_();
    // Past the second, not on it: a tick that comes exactly on time still finds the grid busy.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1;
    return int(std::clamp<long long>(ms, 0, kIdle.count() + 1));
}

int IdlePass::take(int records) {
    if (!running_) return -1;
    if (next_ >= records) {
        running_ = false;
        return -1;
    }
    return next_++;
}

}  // namespace tessel
