// The editable grid's hot paths: loading a large table through `value`, a full redisplay of a
// 20 x 7 window, and Down and PgDn moves carried out by the grid's timer from real key events.
#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace tessel;
using ostrel::Variant;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_tessel";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own globals are already gone, and tearing the
    // application down after them crashed the run after its figures were out.
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

Variant stru7() {
    return makeStru({fieldDef("N", 4, 0, "번호"), fieldDef("C", 16, 0, "품목"), fieldDef("C", 6, 0, "단위"),
                     fieldDef("N", 8, 1, "수량"), fieldDef("N", 10, 0, "단가"), fieldDef("B", 2, 0, "세"),
                     fieldDef("D", 8, 0, "일자")});
}

ostrel::TableRef records(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(7);
    for (int i = 0; i < n; ++i) {
        t->AppendBlank();
        t->setFields(0, Variant(int32_t(i)));
        t->setFields(1, Variant(QStringLiteral("배추 %1호").arg(i)));
        t->setFields(2, Variant(QStringLiteral("kg")));
        t->setFields(3, Variant(ostrel::Currency::fromDouble(i * 0.5)));
        t->setFields(4, Variant(ostrel::Currency::fromInt(1000 + i)));
        t->setFields(5, Variant(i % 2 == 0));
        t->setFields(6, Variant(ostrel::DateSerial(2024, 1, 1 + i % 365)));
    }
    return t;
}

struct Window {
    QApplication& application = app();  // before any widget
    QWidget window;
    ab* grid;
    Window() {
        grid = new ab(&window);
        grid->setMaxrow(20);
        grid->setStru(stru7());
        window.resize(grid->size());
    }
    bool activate() {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
};

void BM_GridValueWrite10000x7(benchmark::State& state) {
    Window w;
    const ostrel::TableRef source = records(10000);
    for (auto _ : state) {
        w.grid->setValue(source);
        benchmark::DoNotOptimize(w.grid->RecCount());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_GridValueWrite10000x7)->Unit(benchmark::kMillisecond);

void BM_GridFullRedisplay20x7(benchmark::State& state) {
    Window w;
    w.grid->setValue(records(200));
    int direction = -120;
    for (auto _ : state) {
        // One notch scrolls four records and redisplays every cell.
        w.grid->MouseWheel(direction);
        if (w.grid->top() == 0 || w.grid->top() >= 150) direction = -direction;
    }
}
BENCHMARK(BM_GridFullRedisplay20x7)->Unit(benchmark::kMicrosecond);

// Sends `key` to the focused cell and lets the timer carry the move out, painting included.
void moveBy(ab* grid, Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    while (grid->nextkey() != 0) QCoreApplication::processEvents();
}

bool focusFirstRow(Window& w, benchmark::State& state) {
    w.grid->setValue(records(10000));
    if (!w.activate()) {
        state.SkipWithError("the window did not become active");
        return false;
    }
    w.grid->invar1(1)->Text1()->setFocus();
    QCoreApplication::processEvents();
    return true;
}

void BM_GridDownMove(benchmark::State& state) {
    Window w;
    if (!focusFirstRow(w, state)) return;
    for (auto _ : state) moveBy(w.grid, Qt::Key_Down);
    state.counters["rec"] = w.grid->rec();
}
// 10,000 Down moves through the 10,000 records: the mean is the time per move.
// TESSEL_BENCH_MOVES runs fewer, for a profiler.
const int kMoves =
    qEnvironmentVariableIsSet("TESSEL_BENCH_MOVES") ? qEnvironmentVariableIntValue("TESSEL_BENCH_MOVES") : 10000;
BENCHMARK(BM_GridDownMove)->Iterations(kMoves)->Unit(benchmark::kMicrosecond);

// Every page shows 20 rows that were not on screen: each cell is drawn afresh.
void BM_GridPageDown(benchmark::State& state) {
    Window w;
    if (!focusFirstRow(w, state)) return;
    for (auto _ : state) moveBy(w.grid, Qt::Key_PageDown);
    state.counters["rec"] = w.grid->rec();
}
// 400 pages of 20 records: never the last page, where PgDn has no page to go to.
BENCHMARK(BM_GridPageDown)->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
