// The sheet list's hot paths over 10,000 sheets: opening the form (layout, the sheet table given,
// its index built, the first window shown), GotoEnd from the first line, and Page Down carried
// out from a real key event on a content cell, painting included.
#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"
#include "tessel/Stru.h"
#include "tessel/mrform.h"
#include "tessel/outvar.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

using namespace tessel;
using ostrel::Variant;

namespace {

constexpr int kSheets = 10000;

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_tessel_sheets";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own globals are already gone.
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

Variant ext() {
    return makeStru({fieldDef("D", 10, 0, "일자"), fieldDef("C", 16, 0, "거래처"), fieldDef("N", 12, 0, "금액"),
                     fieldDef("C", 20, 0, "적요")});
}

ostrel::TableRef sheets(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(5);
    for (int i = 0; i < n; ++i) {
        t->AppendRec(Variant::array({Variant(QStringLiteral("S%1").arg(i, 6, 10, QLatin1Char('0'))),
                                     Variant(ostrel::DateSerial(2024, 1, 1 + i % 365)),
                                     Variant(QStringLiteral("거래처 %1").arg(i % 97)),
                                     Variant(ostrel::Currency::fromInt(1000 + i)), Variant(QStringLiteral("적요"))}));
    }
    return t;
}

struct Window {
    QApplication& application = app();  // before any widget
    QWidget window;
    mrform* form = nullptr;

    void open(const ostrel::TableRef& table) {
        form = new mrform(&window);
        form->setExt(ext());
        form->prepare();
        form->setvalue(table);
    }
    bool activate() {
        window.resize(form->size());
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window)) return false;
        form->setFocus();
        QCoreApplication::processEvents();
        return true;
    }
};

void BM_SheetListOpen10000(benchmark::State& state) {
    app();
    const ostrel::TableRef table = sheets(kSheets);
    for (auto _ : state) {
        Window w;
        w.open(table);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.form->RecCount());
    }
}
BENCHMARK(BM_SheetListOpen10000)->Unit(benchmark::kMillisecond);

void BM_SheetListGotoEnd10000(benchmark::State& state) {
    Window w;
    w.open(sheets(kSheets));
    if (!w.activate()) {
        state.SkipWithError("the window did not become active");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        w.form->setEditRec(0);
        w.form->setTopRec(0);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w.form->GotoEnd(true);
        QCoreApplication::processEvents();
    }
    state.counters["top"] = w.form->TopRec();
}
BENCHMARK(BM_SheetListGotoEnd10000)->Unit(benchmark::kMillisecond);

void BM_SheetListPageDown10000(benchmark::State& state) {
    Window w;
    w.open(sheets(kSheets));
    if (!w.activate()) {
        state.SkipWithError("the window did not become active");
        return;
    }
    for (auto _ : state) {
        QWidget* target = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
        QCoreApplication::processEvents();
    }
    state.counters["edit"] = w.form->EditRec();
}
// 400 pages of 20 sheets: never the last page, where Page Down has no page to go to.
BENCHMARK(BM_SheetListPageDown10000)->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
