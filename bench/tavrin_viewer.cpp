// The report viewer on 100,000 records: handing over the table with the first paint, and Page Down.
#include "tavrin/clsOuthand.h"
#include "tavrin_data.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

struct ShownViewer {
    ShownViewer() {
        o.setFontsize(10);
        o.setMaxrow(20);
        o.setStru(tavrinbench::reportStru());
        o.setSubject(QStringLiteral("매출 명세"));
        o.show();
        frm = o.window();
        QCoreApplication::processEvents();
    }
    ~ShownViewer() { frm->close(); }
    tavrin::clsOuthand o;
    tavrin::frmOuthand* frm = nullptr;
};

void BM_ViewerValueAndFirstPaint(benchmark::State& state) {
    // Two tables in turn, so every round rewrites every cell.
    const auto table = tavrinbench::reportTable(int(state.range(0)));
    const auto other = tavrinbench::reportTable(int(state.range(0)) + 7);
    for (int i = 0; i < other->RecCount(); ++i) other->setCell(i, 2, QStringLiteral("배 신고 %1").arg(i));
    ShownViewer v;
    bool flip = false;
    for (auto _ : state) {
        v.o.setValue(flip ? other : table);
        flip = !flip;
        v.frm->repaint();
    }
    state.SetLabel("records " + std::to_string(state.range(0)));
}
BENCHMARK(BM_ViewerValueAndFirstPaint)->Arg(100000)->Unit(benchmark::kMillisecond);

// One key through the viewer's timer: the key, the tick that carries it out, and the paint of
// what changed, as the event loop delivers it.
void BM_ViewerPageDown(benchmark::State& state) {
    const auto table = tavrinbench::reportTable(100000);
    ShownViewer v;
    v.o.setValue(table);
    for (auto _ : state) {
        const bool atEnd = v.frm->currentRecord() + 20 >= table->RecCount() - 1;
        v.frm->keycommand(atEnd ? 545 : 34);
        while (v.frm->pendingKey() != 0) QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}
BENCHMARK(BM_ViewerPageDown)->Unit(benchmark::kMillisecond);

}  // namespace
