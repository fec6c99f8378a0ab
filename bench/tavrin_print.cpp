// A report of 10,000 records printed to a PDF file.
#include "tavrin/QtPrinter.h"
#include "tavrin/mdlPrint.h"
#include "tavrin_data.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_PrintReportToPdf(benchmark::State& state) {
    const int records = int(state.range(0));
    const auto table = tavrinbench::reportTable(records);
    const ostrel::Variant stru = tavrinbench::reportStru();
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        auto pdf = tavrin::QtPrinter::pdf(dir.filePath(QStringLiteral("bench.pdf")));
        tavrin::setCurrentPrinter(pdf);
        bool landscape = false;
        tavrin::PrintReport(QStringLiteral("매출 명세"), ostrel::Variant(QStringLiteral("2024년")), table, stru,
                            QStringLiteral("123-45-67890"), QStringLiteral("한빛청과"), QStringLiteral("02-123-4567"),
                            false, landscape);
        pages = pdf->pagesPrinted();
    }
    tavrin::setCurrentPrinter(nullptr);
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] =
        benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintReportToPdf)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace
