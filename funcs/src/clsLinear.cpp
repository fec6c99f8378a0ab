#include "clsLinear.h"

#include "ostrel/RuntimeError.h"

#include <limits>

namespace ostrel {

namespace {
RuntimeError linearRange() { return RuntimeError(err::OutOfRange, QStringLiteral("record out of range in linear")); }
}  // namespace

void clsLinear::grow() {
    if (count_ == std::numeric_limits<int>::max()) throw RuntimeError::overflow(QStringLiteral("linear"));
    if (count_ + 1 > capacity_)
        capacity_ = capacity_ > std::numeric_limits<int>::max() - 100 ? std::numeric_limits<int>::max()
                                                                       : capacity_ + 100;
}

void clsLinear::AppendRec(int32_t l) {
    grow();
    insertAt(count_, l);
    current_ = count_ - 1;
}

void clsLinear::zap() {
    chunks_.clear();
    fen_.clear();
    count_ = 0;
    current_ = 0;
    capacity_ = 100;
    cacheChunk_ = -1;
}

void clsLinear::Delete() {
    if (count_ <= 0 || current_ < 0) throw linearRange();
    eraseAt(std::min(current_, count_ - 1));
}

void clsLinear::Insert() {
    if (current_ < 0 || current_ > count_) throw linearRange();
    grow();
    insertAt(current_, 0);
}

void clsLinear::setRecCount(int n) {
    if (n < 0 || n > count_) throw linearRange();
    while (count_ > n) eraseAt(count_ - 1);
}

void clsLinear::setRecords(int i, int32_t v) {
    if (i < 0 || i >= count_) throw linearRange();
    int c, o;
    locate(i, c, o);
    chunks_[static_cast<size_t>(c)][static_cast<size_t>(o)] = v;
}

int32_t clsLinear::at(int pos) const {
    int c, o;
    locate(pos, c, o);
    return chunks_[static_cast<size_t>(c)][static_cast<size_t>(o)];
}

void clsLinear::locate(int pos, int& chunk, int& offset) const {
    if (cacheChunk_ >= 0 && cacheChunk_ < static_cast<int>(chunks_.size()) && pos >= cacheStart_ &&
        pos < cacheStart_ + static_cast<int>(chunks_[static_cast<size_t>(cacheChunk_)].size())) {
        chunk = cacheChunk_;
        offset = pos - cacheStart_;
        return;
    }
    const int n = static_cast<int>(chunks_.size());
    int idx = 0, rem = pos;
    int step = 1;
    while (step * 2 <= n) step *= 2;
    for (; step > 0; step /= 2) {
        if (idx + step <= n && fen_[static_cast<size_t>(idx + step)] <= rem) {
            idx += step;
            rem -= fen_[static_cast<size_t>(idx)];
        }
    }
    chunk = idx;
    offset = rem;
    cacheChunk_ = idx;
    cacheStart_ = pos - rem;
}

int clsLinear::prefix(int chunk) const {
    int s = 0;
    for (int i = chunk; i > 0; i -= i & -i) s += fen_[static_cast<size_t>(i)];
    return s;
}

void clsLinear::fenAdd(int chunk, int delta) {
    const int n = static_cast<int>(chunks_.size());
    for (int i = chunk + 1; i <= n; i += i & -i) fen_[static_cast<size_t>(i)] += delta;
}

void clsLinear::rebuild() {
    const int n = static_cast<int>(chunks_.size());
    fen_.assign(static_cast<size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i) {
        fen_[static_cast<size_t>(i)] += static_cast<int>(chunks_[static_cast<size_t>(i - 1)].size());
        int j = i + (i & -i);
        if (j <= n) fen_[static_cast<size_t>(j)] += fen_[static_cast<size_t>(i)];
    }
    cacheChunk_ = -1;
}

void clsLinear::insertAt(int pos, int32_t v) {
    if (chunks_.empty()) {
        chunks_.emplace_back();
        chunks_.back().reserve(kChunk);
        chunks_.back().push_back(v);
        rebuild();
        ++count_;
        return;
    }
    int c, o;
    if (pos == count_) {
        // Appending fills the last chunk and then opens a new one, so appended lists stay dense.
        c = static_cast<int>(chunks_.size()) - 1;
        o = static_cast<int>(chunks_.back().size());
        if (o >= kChunk) {
            chunks_.emplace_back();
            chunks_.back().reserve(kChunk);
            chunks_.back().push_back(v);
            rebuild();
            ++count_;
            return;
        }
    } else {
        locate(pos, c, o);
    }
    std::vector<int32_t>& ch = chunks_[static_cast<size_t>(c)];
    ch.insert(ch.begin() + o, v);
    ++count_;
    if (static_cast<int>(ch.size()) > kChunk) {
        std::vector<int32_t> tail(ch.begin() + kChunk / 2, ch.end());
        tail.reserve(kChunk);
        ch.resize(kChunk / 2);
        chunks_.insert(chunks_.begin() + c + 1, std::move(tail));
        rebuild();
    } else {
        fenAdd(c, 1);
        // Positions after the insertion moved; the cached start stays right only before it.
        if (cacheChunk_ > c) cacheChunk_ = -1;
    }
}

void clsLinear::eraseAt(int pos) {
    int c, o;
    locate(pos, c, o);
    std::vector<int32_t>& ch = chunks_[static_cast<size_t>(c)];
    ch.erase(ch.begin() + o);
    --count_;
    const auto n = chunks_.size();
    if (ch.empty()) {
        chunks_.erase(chunks_.begin() + c);
        rebuild();
    } else if (ch.size() < kChunk / 8 && c + 1 < static_cast<int>(n) &&
               ch.size() + chunks_[static_cast<size_t>(c) + 1].size() <= kChunk) {
        // Small neighbours merge so deletions do not leave a long list of tiny chunks.
        auto& next = chunks_[static_cast<size_t>(c) + 1];
        ch.insert(ch.end(), next.begin(), next.end());
        chunks_.erase(chunks_.begin() + c + 1);
        rebuild();
    } else {
        fenAdd(c, -1);
        if (cacheChunk_ > c) cacheChunk_ = -1;
    }
}

void clsLinear::assign(std::vector<int32_t> entries, int current) {
    zap();
    const auto n = entries.size();
    for (size_t i = 0; i < n; i += kChunk) {
        auto end = std::min(n, i + kChunk);
        chunks_.emplace_back(entries.begin() + static_cast<std::ptrdiff_t>(i),
                             entries.begin() + static_cast<std::ptrdiff_t>(end));
    }
    count_ = static_cast<int>(n);
    capacity_ = count_ <= 100 ? 100 : ((count_ + 99) / 100) * 100;
    current_ = current;
    rebuild();
}

std::vector<int32_t> clsLinear::toVector() const {
    std::vector<int32_t> out;
    out.reserve(static_cast<size_t>(count_));
    for (const auto& ch : chunks_) out.insert(out.end(), ch.begin(), ch.end());
    return out;
}

bool clsLinear::checkInvariants() const {
    int total = 0;
    for (size_t c = 0; c < chunks_.size(); ++c) {
        if (chunks_[c].empty() || chunks_[c].size() > static_cast<size_t>(kChunk)) return false;
        if (prefix(static_cast<int>(c)) != total) return false;
        total += static_cast<int>(chunks_[c].size());
    }
    return total == count_ && capacity_ >= count_ && capacity_ % 100 == 0;
}

}  // namespace ostrel
