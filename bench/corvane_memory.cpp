// Peak memory of reading a 100k-row orders-like JARRAY reply: the rise of the process's peak
// resident size over the reply text alone, reported as counters of a single run.
#include "corvane_data.h"

#include "corvane/fncXML.h"

#include "ostrel/clsTable.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double peakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void BM_TagToJarrayPeakMemory(benchmark::State& state) {
    const QString text = corvane_bench::ordersReply(static_cast<int>(state.range(0)));
    const corvane::fncXML xml;
    const double before = peakMiB();
    double table = 0;
    for (auto _ : state) {
        auto t = xml.TagToJarray(text);
        benchmark::DoNotOptimize(t->RecCount());
        table = peakMiB() - before;
    }
    state.counters["reply_text_MiB"] = static_cast<double>(text.size()) * 2 / (1024.0 * 1024.0);
    state.counters["peak_before_MiB"] = before;
    state.counters["peak_rise_MiB"] = table;
}

}  // namespace

// One iteration in a fresh process: the peak resident size only ever rises.
BENCHMARK(BM_TagToJarrayPeakMemory)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);
