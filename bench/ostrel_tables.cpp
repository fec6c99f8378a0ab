// Table growth and keyed-table insert/lookup, against std::map<QString,int> on the same keys.
#include "ostrel/clsIndexedTable.h"
#include "ostrel/clsTable.h"

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <vector>

using namespace ostrel;

namespace {

constexpr int kRecords = 1'000'000;

const std::vector<QString>& randomKeys() {
    static const std::vector<QString> keys = [] {
        std::mt19937 rng(12345);
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789가나다라마바사아");
        std::vector<QString> out;
        out.reserve(kRecords);
        for (int i = 0; i < kRecords; ++i) {
            QString s(12, Qt::Uninitialized);
            for (int c = 0; c < 12; ++c)
                s[c] = alphabet[static_cast<int>(rng() % static_cast<unsigned>(alphabet.size()))];
            out.push_back(std::move(s));
        }
        return out;
    }();
    return keys;
}

void BM_AppendBlankAndEightFields(benchmark::State& state) {
    for (auto _ : state) {
        clsTable t;
        t.setNOF(8);
        for (int i = 0; i < kRecords; ++i) {
            t.AppendBlank();
            for (int j = 0; j < 8; ++j) t.setFields(j, i + j);
        }
        benchmark::DoNotOptimize(t.RecCount());
    }
    state.counters["ns_per_record"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AppendBlankAndEightFields)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor for the above: the same eight cells pushed into a plain vector.
void BM_PlainVectorOfEightCells(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<Variant> cells;
        for (int i = 0; i < kRecords; ++i)
            for (int j = 0; j < 8; ++j) cells.emplace_back(i + j);
        benchmark::DoNotOptimize(cells.size());
    }
    state.counters["ns_per_record"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainVectorOfEightCells)->Unit(benchmark::kMillisecond)->Iterations(3);

Variant recordFor(int i) { return Variant::array({i, QStringLiteral("item")}); }

void BM_KeyedPoke(benchmark::State& state) {
    const auto& keys = randomKeys();
    for (auto _ : state) {
        clsIndexedTable t;
        t.setNOF(2);
        for (int i = 0; i < kRecords; ++i) t.poke(recordFor(i), keys[static_cast<size_t>(i)]);
        benchmark::DoNotOptimize(t.RecCount());
    }
    state.counters["ns_per_op"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyedPoke)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MapInsert(benchmark::State& state) {
    const auto& keys = randomKeys();
    for (auto _ : state) {
        std::map<QString, int> m;
        // The record a keyed table stores alongside is built here too, to compare like with like.
        for (int i = 0; i < kRecords; ++i) {
            Variant r = recordFor(i);
            benchmark::DoNotOptimize(r);
            m.emplace(keys[static_cast<size_t>(i)], i);
        }
        benchmark::DoNotOptimize(m.size());
    }
    state.counters["ns_per_op"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MapInsert)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<QString> lookupOrder() {
    std::vector<QString> order = randomKeys();
    std::shuffle(order.begin(), order.end(), std::mt19937(777));
    return order;
}

void BM_KeyedPeek(benchmark::State& state) {
    const auto& keys = randomKeys();
    clsIndexedTable t;
    t.setNOF(2);
    for (int i = 0; i < kRecords; ++i) t.poke(recordFor(i), keys[static_cast<size_t>(i)]);
    const auto order = lookupOrder();
    for (auto _ : state) {
        long found = 0;
        for (const QString& k : order) found += t.peek(k) ? t.Recno() & 1 : 0;
        benchmark::DoNotOptimize(found);
    }
    state.counters["ns_per_op"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyedPeek)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MapFind(benchmark::State& state) {
    const auto& keys = randomKeys();
    std::map<QString, int> m;
    for (int i = 0; i < kRecords; ++i) m.emplace(keys[static_cast<size_t>(i)], i);
    const auto order = lookupOrder();
    for (auto _ : state) {
        long found = 0;
        for (const QString& k : order) {
            auto it = m.find(k);
            found += it != m.end() ? it->second & 1 : 0;
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["ns_per_op"] =
        benchmark::Counter(static_cast<double>(kRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MapFind)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
