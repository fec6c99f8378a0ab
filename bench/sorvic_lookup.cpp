// yjGrc.AfterEnter on a 100,000-record partner table indexed on name, code and abbreviation:
// a name hit, a code typed without its leading zeros, a syllable search that finds one partner,
// and a syllable search that ends in the pick list (answered at once here).
#include "LedgerSeed.h"
#include "sembrin/pptPublicValue.h"
#include "sorvic/Lookups.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace ostrel;

namespace {

constexpr int kPartners = 100'000;

// Three syllables of 50 each name a partner uniquely; one partner has a syllable no other has.
QString partnerName(int i) {
    static const QString syllables = QStringLiteral(
        "가나다라마바사아자차카타파하거너더러머버서어저처커터퍼허고노도로모보소오조초코토포호구누두루무부수우주추");
    const int n = int(syllables.size());
    return QString(syllables[i % n]) + syllables[(i / n) % n] + syllables[(i / n / n) % n] + QStringLiteral("상회");
}

struct Partners {
    QTemporaryDir dir;
    DatabaseRef db;
    Partners() {
        db = Database::Create(dir.filePath("partners.db"));
        vendra::test::createMasterTable(*db, "grc");
        Recordset rs = db->OpenRecordset("grc");
        for (int i = 1; i <= kPartners; ++i) {
            rs.AddNew();
            rs.setValue("grc", i == 777 ? QStringLiteral("뷁상회") : partnerName(i));
            rs.setValue("code", QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
            rs.setValue("yj", QStringLiteral("y%1").arg(i));
            rs.setValue("deleted", false);
            rs.Update();
        }
        db->Flush();
        sembrin::pptPublicValue().setZepDb(db);
    }
};

Partners& partners() {
    static Partners p;
    return p;
}

void run(benchmark::State& state, const QString& typed, const QString& expected) {
    partners();
    int picks = 0;
    sorvic::yjGrc lookup([&](const QString&, const clsTable& rows) {
        ++picks;
        return rows.RecCount() > 0 ? rows.Cell(0, 0) : Variant::null();
    });
    for (auto _ : state) {
        QString x = typed;
        Variant v = lookup.AfterEnter(x);
        if (!expected.isEmpty() && v.toString() != expected) state.SkipWithError("wrong partner");
        benchmark::DoNotOptimize(v);
    }
    state.counters["picks"] = picks;
}

void BM_NameHit(benchmark::State& state) { run(state, partnerName(54321), partnerName(54321)); }
void BM_CodeWithoutZeros(benchmark::State& state) { run(state, QStringLiteral("54321"), partnerName(54321)); }
void BM_SyllablesOfOneName(benchmark::State& state) { run(state, QStringLiteral("뷁회"), QStringLiteral("뷁상회")); }
// Two syllables that many names hold in order: the candidates are gathered and offered.
void BM_SyllablesToPickList(benchmark::State& state) { run(state, QStringLiteral("가나"), {}); }

}  // namespace

BENCHMARK(BM_NameHit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CodeWithoutZeros)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyllablesOfOneName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyllablesToPickList)->Unit(benchmark::kMillisecond);
