// The database engine on a 1,000,000-record table of 10 fields: DbAppendFrom against SQLite's own
// INSERT ... SELECT of the same data, FindFirst on an indexed text field, MoveLast + RecordCount,
// and a backup against cp of the same file.
#include "ostrel/Database.h"
#include "ostrel/fncDb.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

using namespace ostrel;

namespace {

constexpr int kRecords = 1'000'000;

Variant arr(std::vector<Variant> v) { return Variant::array(std::move(v)); }

Variant structure() {
    auto f = [](const char* name, int type, int size = 0) { return arr({name, int16_t(type), int16_t(size), true}); };
    return arr({f("code", dbType::Text, 12), f("name", dbType::Text, 40), f("qty", dbType::Long),
                f("price", dbType::Currency), f("amount", dbType::Currency), f("date", dbType::Date),
                f("flag", dbType::Boolean), f("note", dbType::Text, 100), f("ratio", dbType::Double),
                f("memo", dbType::Memo)});
}

QString code(int i) { return QStringLiteral("K%1").arg(i, 7, 10, QLatin1Char('0')); }

// One database with the table "src" of kRecords records written through a record set, built once.
struct Books {
    QTemporaryDir dir;
    QString path = dir.filePath("books.db");
    DatabaseRef db;
    Books() {
        db = Database::Create(path);
        fncDb().DbMakeTable(*db, "src", structure(), arr({"code"}));
        Recordset rs = db->OpenRecordset("src");
        for (int i = 0; i < kRecords; ++i) {
            rs.AddNew();
            rs.setValue(0, code(i));
            rs.setValue(1, QStringLiteral("거래처 %1 청과 도매").arg(i));
            rs.setValue(2, i % 1000);
            rs.setValue(3, Currency::fromInt(1500 + i % 100));
            rs.setValue(4, Currency::fromDouble((i % 1000) * 1500.25));
            rs.setValue(5, DateSerial(2024, 1 + i % 12, 1 + i % 28));
            rs.setValue(6, i % 2 == 0);
            rs.setValue(7, QStringLiteral("비고 %1: 사과 배 감 귤 포도 수박 참외 딸기").arg(i));
            rs.setValue(8, i / 7.0);
            rs.setValue(9, QStringLiteral("메모 ").repeated(8));
            rs.Update();
        }
        rs.Close();
    }
};

Books& books() {
    static Books b;
    return b;
}

void freshDestination(Database& db) {
    if (db.hasTable("dst")) db.DeleteTable("dst");
    fncDb().DbMakeTable(db, "dst", structure(), arr({}));
}

void BM_DbAppendFrom(benchmark::State& state) {
    Database& db = *books().db;
    for (auto _ : state) {
        state.PauseTiming();
        freshDestination(db);
        state.ResumeTiming();
        fncDb().DbAppendFrom(db, "dst", "src");
    }
    state.counters["records/s"] =
        benchmark::Counter(double(kRecords) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_SqliteInsertSelect(benchmark::State& state) {
    Database& db = *books().db;
    for (auto _ : state) {
        state.PauseTiming();
        freshDestination(db);
        state.ResumeTiming();
        db.Execute("INSERT INTO dst SELECT * FROM src");
    }
    state.counters["records/s"] =
        benchmark::Counter(double(kRecords) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_FindFirstIndexedText(benchmark::State& state) {
    Recordset rs = books().db->OpenRecordset("src");
    rs.MoveLast();
    std::mt19937 rng(7);
    for (auto _ : state) {
        if (!rs.FindFirst(QStringLiteral("code='%1'").arg(code(static_cast<int>(rng() % kRecords)))))
            state.SkipWithError("not found");
    }
}

void BM_FindFirstAfterOpen(benchmark::State& state) {
    std::mt19937 rng(7);
    for (auto _ : state) {
        Recordset rs = books().db->OpenRecordset("src");
        if (!rs.FindFirst("code=?", {code(static_cast<int>(rng() % kRecords))})) state.SkipWithError("not found");
    }
}

void BM_MoveLastRecordCount(benchmark::State& state) {
    for (auto _ : state) {
        Recordset rs = books().db->OpenRecordset("src");
        rs.MoveLast();
        if (rs.RecordCount() < kRecords) state.SkipWithError("count");
    }
}

void BM_Backup(benchmark::State& state) {
    auto& b = books();
    const QString copy = b.dir.filePath("copy.db");
    for (auto _ : state) Database::Backup(b.path, copy);
    state.counters["MB"] = double(QFileInfo(b.path).size()) / 1e6;
}

void BM_CpSameFile(benchmark::State& state) {
    auto& b = books();
    b.db->Flush();
    const std::string cmd = "cp '" + b.path.toStdString() + "' '" + b.dir.filePath("cp.db").toStdString() + "' && sync";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("cp");
    state.counters["MB"] = double(QFileInfo(b.path).size()) / 1e6;
}

}  // namespace

BENCHMARK(BM_DbAppendFrom)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SqliteInsertSelect)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FindFirstIndexedText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindFirstAfterOpen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveLastRecordCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CpSameFile)->Unit(benchmark::kMillisecond)->Iterations(2);
