#pragma once
// clsLinear: the keyed table's index, a list of 32-bit record numbers with a current position.
// Entries sit in chunks of at most kChunk numbers; a Fenwick tree over the chunk sizes finds the
// chunk of a position, so access by position and insertion at a position are O(log n) plus a
// move inside one chunk. The reported capacity keeps the store's steps of 100 slots.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace ostrel {

class clsLinear {
public:
    static constexpr int kChunk = 512;

    clsLinear() = default;

    // The store's own operations.
    void AppendRec(int32_t l);  // appends; current moves to it
    void zap();
    // Removes the entry at current (the last one when current is at or past the end).
    // Error 9 (unchanged) on an empty store or with current below 0.
    void Delete();
    // Adds entry 0 at current; at EOF this appends. Error 9 (unchanged) outside 0 to count.
    void Insert();
    void MoveFirst() { current_ = 0; }
    void MoveLast() { current_ = count_ - 1; }
    void MoveNext() { if (current_ < count_) ++current_; }
    void MovePrevious() { if (current_ > 0) --current_; }
    int Recno() const { return current_; }
    void setRecno(int r) { current_ = r; }
    int RecCount() const { return count_; }
    // Only truncation to 0 to count is possible (error 9 otherwise).
    void setRecCount(int n);
    int32_t Records(int i) const { return i >= 0 && i < count_ ? at(i) : -1; }
    void setRecords(int i, int32_t v);  // error 9 outside 0 to count - 1
    int32_t Record() const { return Records(current_); }
    void setRecord(int32_t v) { setRecords(current_, v); }
    bool isEOF() const { return current_ >= count_; }
    int capacity() const { return capacity_; }

    // Position-level access for the keyed table. `pos` must lie in 0 to count - 1.
    int32_t at(int pos) const;
    // Replaces the entries (current and capacity as if they had been added one by one).
    void assign(std::vector<int32_t> entries, int current);
    std::vector<int32_t> toVector() const;

    // The first position whose entry fails `pred`, for a `pred` true on a prefix of the list.
    template <class Pred>
    int partitionPoint(Pred pred) const {
        int lo = 0, hi = static_cast<int>(chunks_.size());
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            if (pred(chunks_[static_cast<size_t>(mid)].back())) lo = mid + 1;
            else hi = mid;
        }
        if (lo == static_cast<int>(chunks_.size())) return count_;
        const std::vector<int32_t>& ch = chunks_[static_cast<size_t>(lo)];
        auto it = std::partition_point(ch.begin(), ch.end(), pred);
        int start = prefix(lo);
        cacheChunk_ = lo;
        cacheStart_ = start;
        return start + static_cast<int>(it - ch.begin());
    }

    // Internal consistency (sizes, Fenwick sums, no empty chunk), for tests.
    bool checkInvariants() const;

private:
    void insertAt(int pos, int32_t v);
    void eraseAt(int pos);
    void grow();
    void locate(int pos, int& chunk, int& offset) const;
    int prefix(int chunk) const;  // entries in the chunks before `chunk`
    void rebuild();
    void fenAdd(int chunk, int delta);

    std::vector<std::vector<int32_t>> chunks_;
    std::vector<int> fen_;  // 1-based Fenwick tree of chunk sizes
    int count_ = 0;
    int current_ = 0;
    int capacity_ = 100;
    mutable int cacheChunk_ = -1;  // last chunk located, for walks in order
    mutable int cacheStart_ = 0;
};

}  // namespace ostrel
