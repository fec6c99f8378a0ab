// JARRAY replies of 10k, 100k and 1M orders-like rows: our reader (from the decoded text, and
// from the UTF-8 bytes including the decode) against pugixml parsing the same bytes and walking
// its DOM into the same table; and our writer over the resulting table.
#include "corvane_data.h"

#include "corvane/ValueText.h"
#include "corvane/fncXML.h"

#include "ostrel/clsTable.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <QByteArray>
#include <cstdlib>
#include <map>

namespace {

struct Reply {
    QString text;
    QByteArray utf8;
};

const Reply& reply(int rows) {
    static std::map<int, Reply> cache;
    auto it = cache.find(rows);
    if (it == cache.end()) {
        Reply r;
        r.text = corvane_bench::ordersReply(rows);
        r.utf8 = r.text.toUtf8();
        it = cache.emplace(rows, std::move(r)).first;
    }
    return it->second;
}

// The same table built from pugixml's DOM; cells are read by the same literal rules.
ostrel::TableRef pugiToTable(const QByteArray& bytes) {
    pugi::xml_document doc;
    // The reply is a flat run of elements, not a document: wrap it so that the JARRAY element
    // can stand next to the other tags.
    if (!doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                         pugi::parse_default | pugi::parse_fragment, pugi::encoding_utf8))
        std::abort();
    pugi::xml_node jarray = doc.child("JARRAY");
    auto table = std::make_shared<ostrel::clsTable>();
    const int nof = std::atoi(jarray.child("NOF").child_value());
    table->setNOF(nof);
    for (pugi::xml_node tr : jarray.children("TR")) {
        table->AppendBlank();
        int k = 0;
        for (pugi::xml_node td : tr.children("TD")) {
            const QString cell = QString::fromUtf8(td.child_value());
            table->setFields(k++, corvane::ParseLiteral(cell));
        }
    }
    table->MoveFirst();
    return table;
}

void setBytes(benchmark::State& state, qsizetype bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
    state.counters["rows"] = static_cast<double>(state.range(0));
}

void BM_TagToJarray(benchmark::State& state) {
    const Reply& r = reply(static_cast<int>(state.range(0)));
    const corvane::fncXML xml;
    for (auto _ : state) {
        auto t = xml.TagToJarray(r.text);
        benchmark::DoNotOptimize(t->RecCount());
    }
    setBytes(state, r.utf8.size());
}

void BM_TagToJarrayFromBytes(benchmark::State& state) {
    const Reply& r = reply(static_cast<int>(state.range(0)));
    const corvane::fncXML xml;
    for (auto _ : state) {
        auto t = xml.TagToJarray(QString::fromUtf8(r.utf8));
        benchmark::DoNotOptimize(t->RecCount());
    }
    setBytes(state, r.utf8.size());
}

void BM_PugixmlToTable(benchmark::State& state) {
    const Reply& r = reply(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto t = pugiToTable(r.utf8);
        benchmark::DoNotOptimize(t->RecCount());
    }
    setBytes(state, r.utf8.size());
}

void BM_JarrayToTag(benchmark::State& state) {
    const Reply& r = reply(static_cast<int>(state.range(0)));
    const corvane::fncXML xml;
    auto table = xml.TagToJarray(r.text);
    for (auto _ : state) {
        QString text = xml.JarrayToTag(*table);
        benchmark::DoNotOptimize(text.size());
    }
    setBytes(state, r.utf8.size());
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

}  // namespace

BENCHMARK(BM_TagToJarray)->Apply(sizes);
BENCHMARK(BM_TagToJarrayFromBytes)->Apply(sizes);
BENCHMARK(BM_PugixmlToTable)->Apply(sizes);
BENCHMARK(BM_JarrayToTag)->Apply(sizes);
