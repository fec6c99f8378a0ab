// padr, lenDB and fdnc are called for every cell of every grid and report: measured per call
// over 1,000,000 mixed Korean/ASCII values.
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace ostrel;

namespace {
constexpr size_t kValues = 1'000'000;

const std::vector<QString>& texts() {
    static const std::vector<QString> all = [] {
        const char16_t* korean[] = {u"사과", u"배추", u"국산", u"상자", u"농산물", u"시장", u"감귤", u"대파"};
        const char16_t* ascii[] = {u"A", u"10kg", u"box", u"-", u"12", u"XL", u" ", u"(1)"};
        std::mt19937 rng(949);
        std::vector<QString> v;
        v.reserve(kValues);
        for (size_t i = 0; i < kValues; ++i) {
            QString s;
            int parts = 1 + static_cast<int>(rng() % 6);
            bool asciiOnly = rng() % 3 == 0;  // codes and numbers are common in grids too
            for (int p = 0; p < parts; ++p)
                s += QString::fromUtf16(!asciiOnly && rng() % 2 ? korean[rng() % 8] : ascii[rng() % 8]);
            v.push_back(s);
        }
        return v;
    }();
    return all;
}

const std::vector<int>& widths() {
    static const std::vector<int> all = [] {
        std::mt19937 rng(7);
        std::vector<int> v(kValues);
        for (int& w : v) w = 4 + static_cast<int>(rng() % 27);
        return v;
    }();
    return all;
}

const std::vector<Variant>& numbers() {
    static const std::vector<Variant> all = [] {
        std::mt19937_64 rng(1234);
        std::vector<Variant> v;
        v.reserve(kValues);
        for (size_t i = 0; i < kValues; ++i) {
            int64_t scale[] = {1, 10, 100, 10000, 1000000, 100000000};
            int64_t whole = static_cast<int64_t>(rng() % 100000) * scale[rng() % 6] / 10;
            int64_t frac = rng() % 4 == 0 ? static_cast<int64_t>(rng() % 10000) : 0;
            int64_t raw = whole * Currency::kScale + frac;
            if (rng() % 5 == 0) raw = -raw;
            switch (rng() % 4) {
            case 0: v.emplace_back(static_cast<int32_t>(whole % 2000000000)); break;
            case 1: v.emplace_back(static_cast<double>(raw) / Currency::kScale); break;
            default: v.emplace_back(Currency::fromRaw(raw)); break;
            }
        }
        return v;
    }();
    return all;
}

void BM_padr(benchmark::State& state) {
    const auto& t = texts();
    const auto& w = widths();
    const fncString fs;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fs.padr(t[i], w[i]));
        if (++i == kValues) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_lenDB(benchmark::State& state) {
    const auto& t = texts();
    const fncString fs;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fs.lenDB(t[i]));
        if (++i == kValues) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_fdnc(benchmark::State& state) {
    const auto& n = numbers();
    const auto& w = widths();
    const fncNumber fn;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fn.fdnc(n[i], 8 + w[i] % 12, static_cast<int>(i % 3)));
        if (++i == kValues) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
}  // namespace

// At least one full pass over the million values per measurement.
BENCHMARK(BM_padr)->Iterations(kValues);
BENCHMARK(BM_lenDB)->Iterations(kValues);
BENCHMARK(BM_fdnc)->Iterations(kValues);
