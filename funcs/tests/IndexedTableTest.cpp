#include "../src/clsLinear.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsIndexedTable.h"

#include "ErrorNumber.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ostrel;
using vendra::test::expectError;

namespace {

// Keys in index order, as text.
QString keys(clsIndexedTable& t) {
    QString out;
    for (int i = 0; i < t.RecCount(); ++i) {
        if (!out.isEmpty()) out += ',';
        out += t.Cell(i, t.NOF()).toString();
    }
    return out;
}

Variant rec(Variant a, Variant b = {}) { return Variant::array({std::move(a), std::move(b)}); }

}  // namespace

TEST(IndexedTableTest, PeekPositionsAroundStringKeys) {
    clsIndexedTable t;
    t.setNOF(1);
    for (const char* k : {"D", "F", "B"}) t.poke(rec(QString::fromUtf8(k).toLower()), k);
    EXPECT_EQ(keys(t), "B,D,F");

    struct Case { const char* key; bool found; int recno; };
    for (Case c : {Case{"D", true, 1}, Case{"A", false, 0}, Case{"E", false, 2}, Case{"G", false, 3},
                   Case{"B", true, 0}, Case{"F", true, 2}, Case{"C", false, 1}}) {
        EXPECT_EQ(t.peek(c.key), c.found) << c.key;
        EXPECT_EQ(t.Recno(), c.recno) << c.key;
    }
    t.peek("G");
    EXPECT_TRUE(t.isEOF());
    EXPECT_TRUE(t.Fields(0).isEmpty());
    EXPECT_TRUE(t.key().isEmpty());
    expectError(err::OutOfRange, [&] { t.setFields(0, "x"); });
    expectError(err::OutOfRange, [&] { t.setKey("x"); });
    t.peek("D");
    EXPECT_EQ(t.Fields(0).toString(), "d");
    EXPECT_EQ(t.key().toString(), "D");

    // One entry.
    clsIndexedTable one;
    one.setNOF(1);
    one.poke(rec("m"), "M");
    EXPECT_FALSE(one.peek("Z"));
    EXPECT_EQ(one.Recno(), 1);
    EXPECT_TRUE(one.peek("M"));
    EXPECT_EQ(one.Recno(), 0);
}

TEST(IndexedTableTest, PokeKeepsOneRecordPoketKeepsAllInOrderAdded) {
    clsIndexedTable t;
    t.setNOF(2);
    t.poke(rec("first", 1), "K");
    t.poke(rec("second", 2), "K");
    EXPECT_EQ(t.RecCount(), 1);
    EXPECT_EQ(t.storedRecords(), 1);
    EXPECT_EQ(t.Fields(0).toString(), "first");  // left on the existing record for the caller
    t.setFields(1, t.Fields(1).toLong() + 10);
    t.poke(rec("x"), "K");
    EXPECT_EQ(t.Fields(1).toLong(), 11);

    clsIndexedTable u;
    u.setNOF(1);
    u.poket(rec("k1"), "K");
    u.poket(rec("a"), "A");
    u.poket(rec("k2"), "K");
    EXPECT_EQ(u.Recno(), 2);
    u.poket(rec("z"), "Z");
    u.poket(rec("k3"), "K");
    EXPECT_EQ(u.Recno(), 3);
    EXPECT_EQ(u.RecCount(), 5);
    EXPECT_TRUE(u.peek("K"));
    EXPECT_EQ(u.Recno(), 1);
    QString order;
    for (u.MoveFirst(); !u.isEOF(); u.MoveNext()) order += u.Fields(0).toString() + ' ';
    EXPECT_EQ(order, "a k1 k2 k3 z ");

    // The key argument wins over element NOF of li; null keys are stored and found as empty.
    clsIndexedTable v;
    v.setNOF(1);
    v.poke(Variant::array({"r", "ignored"}), "real");
    EXPECT_EQ(v.key().toString(), "real");
    v.poke(rec("n"), Variant::null());
    EXPECT_TRUE(v.key().isEmpty());
    EXPECT_FALSE(v.key().isNull());
    EXPECT_TRUE(v.peek(Variant::null()));
    EXPECT_EQ(v.Recno(), 0);
    EXPECT_TRUE(v.peek(""));  // empty equals ""
    EXPECT_EQ(v.Recno(), 0);
}

TEST(IndexedTableTest, NumberKeysCompareByValueAcrossTypes) {
    clsIndexedTable t;
    t.setNOF(1);
    t.poke(rec("ten"), 10);
    t.poke(rec("two"), 2.0);
    t.poke(rec("cur"), Currency::fromInt(5));
    t.poke(rec("neg"), int16_t(-3));
    EXPECT_EQ(keys(t), "-3,2,5,10");
    EXPECT_TRUE(t.peek(5.0));
    EXPECT_EQ(t.Fields(0).toString(), "cur");
    EXPECT_FALSE(t.peek(4));
    EXPECT_EQ(t.Recno(), 2);
    // Binary text order: "10" sorts before "9".
    clsIndexedTable s;
    s.setNOF(1);
    s.poke(rec(1), "9");
    s.poke(rec(2), "10");
    EXPECT_EQ(keys(s), "10,9");
}

TEST(IndexedTableTest, SortIsStableAndTableDropsTheKey) {
    clsIndexedTable t;
    t.setNOF(2);
    for (int k : {3, 1, 2}) {
        t.AppendBlank();
        t.setFields(0, k * 100);
        t.setKey(k);
    }
    EXPECT_EQ(keys(t), "3,1,2");
    EXPECT_EQ(t.Recno(), 2);
    t.sort();
    EXPECT_EQ(keys(t), "1,2,3");
    EXPECT_EQ(t.Recno(), 1);  // on the entry inserted last, the old last (key 2)
    TableRef out = t.Table();
    EXPECT_TRUE(t.isEOF());
    ASSERT_EQ(out->RecCount(), 3);
    EXPECT_EQ(out->NOF(), 2);
    EXPECT_EQ(out->Cell(0, 0).toLong(), 100);
    EXPECT_EQ(out->Cell(2, 0).toLong(), 300);
    expectError(err::OutOfRange, [&] { out->Cell(0, 2); });

    // Stability: equal keys keep their order from before the sort.
    clsIndexedTable s;
    s.setNOF(1);
    const char* data[][2] = {{"b", "1"}, {"a", "2"}, {"b", "3"}, {"a", "4"}, {"c", "5"}, {"b", "6"}};
    for (auto& d : data) s.AppendRec(Variant::array({d[1], d[0]}));
    s.sort();
    QString order;
    for (s.MoveFirst(); !s.isEOF(); s.MoveNext()) order += s.Fields(0).toString();
    EXPECT_EQ(order, "241365");
    EXPECT_EQ(s.capacity(), 100);

    clsIndexedTable empty;
    empty.setNOF(1);
    empty.sort();
    EXPECT_EQ(empty.RecCount(), 0);
    EXPECT_EQ(empty.Table()->RecCount(), 0);
}

TEST(IndexedTableTest, PeekOnAnIndexOutOfOrderFollowsTheProbes) {
    // Keys 5, 1, 3 appended, never sorted: the search probes position 1, then the pair 1..2.
    clsIndexedTable t;
    t.setNOF(1);
    for (int k : {5, 1, 3}) t.AppendRec(Variant::array({k * 10, k}));
    EXPECT_TRUE(t.peek(1));
    EXPECT_EQ(t.Recno(), 1);
    EXPECT_TRUE(t.peek(3));
    EXPECT_EQ(t.Recno(), 2);
    EXPECT_FALSE(t.peek(5));  // present, but not where the search looks
    EXPECT_EQ(t.Recno(), 3);
    t.sort();
    EXPECT_TRUE(t.peek(5));
    EXPECT_EQ(t.Recno(), 2);

    // A key rewritten out of place is likewise not found until sort.
    clsIndexedTable u;
    u.setNOF(1);
    for (int k : {10, 20, 30, 40, 50}) u.poke(rec(k), k);
    u.peek(20);
    u.setKey(60);
    EXPECT_FALSE(u.peek(60));
    EXPECT_EQ(u.Recno(), 5);
    u.sort();
    EXPECT_TRUE(u.peek(60));
    EXPECT_EQ(u.Recno(), 4);
    EXPECT_EQ(u.Fields(0).toLong(), 20);
}

TEST(IndexedTableTest, DeleteRemovesTheIndexEntryOnly) {
    clsIndexedTable t;
    t.setNOF(1);
    for (const char* k : {"a", "b", "c"}) t.poke(rec(k), k);
    t.peek("b");
    t.Delete();
    EXPECT_EQ(t.RecCount(), 2);
    EXPECT_EQ(t.storedRecords(), 3);
    EXPECT_EQ(t.Recno(), 1);
    EXPECT_EQ(t.key().toString(), "c");
    TableRef out = t.Table();
    ASSERT_EQ(out->RecCount(), 2);
    EXPECT_EQ(out->Cell(0, 0).toString(), "a");
    EXPECT_EQ(out->Cell(1, 0).toString(), "c");
    EXPECT_FALSE(t.peek("b"));

    t.setRecno(9);  // past the end: the last entry goes
    t.Delete();
    EXPECT_EQ(keys(t), "a");
    t.Delete();
    EXPECT_EQ(t.RecCount(), 0);

    // An empty index refuses and stays as it was.
    expectError(err::OutOfRange, [&] { t.Delete(); });
    EXPECT_EQ(t.RecCount(), 0);
    EXPECT_EQ(t.Recno(), 9);
    t.poke(rec("z"), "z");
    t.setRecno(-1);
    expectError(err::OutOfRange, [&] { t.Delete(); });
    EXPECT_EQ(keys(t), "z");

    clsIndexedTable fresh;
    expectError(err::OutOfRange, [&] { fresh.Delete(); });
}

TEST(IndexedTableTest, FieldCountRecordAndFailures) {
    clsIndexedTable t;
    EXPECT_EQ(t.NOF(), -1);
    expectError(err::OutOfRange, [&] { t.AppendBlank(); });
    EXPECT_EQ(t.RecCount(), 0);
    expectError(err::Overflow, [&] { t.setNOF(32767); });
    t.setNOF(4);
    EXPECT_EQ(t.NOF(), 4);
    t.poke(Variant::array({"a", "b", "c", "d"}), "key");
    Variant r = t.Record();
    ASSERT_EQ(r.toArray().items.size(), 5u);
    EXPECT_EQ(r.toArray().at(3).toString(), "d");
    EXPECT_EQ(r.toArray().at(4).toString(), "key");

    // A record write reaches the key field too.
    t.setRecord(Variant::array({"A", "B", "C", "D", "other"}));
    EXPECT_EQ(t.key().toString(), "other");
    EXPECT_TRUE(t.peek("other"));

    expectError(err::TypeMismatch, [&] { t.poke(Variant(5), "new"); });
    EXPECT_EQ(t.RecCount(), 1);
    EXPECT_EQ(t.storedRecords(), 1);

    t.MoveNext();
    Variant atEnd = t.Record();
    ASSERT_EQ(atEnd.toArray().items.size(), 5u);
    EXPECT_TRUE(atEnd.toArray().at(0).isEmpty());
    expectError(err::OutOfRange, [&] { t.setRecord(Variant::array({"x"})); });
    expectError(err::OutOfRange, [&] { t.Cell(0, 5); });

    t.zap();
    EXPECT_EQ(t.RecCount(), 0);
    EXPECT_EQ(t.storedRecords(), 0);
    EXPECT_EQ(t.Recno(), 0);
    EXPECT_FALSE(t.peek("other"));
}

TEST(IndexedTableTest, IndexCapacityGrowsInStepsOfHundred) {
    clsIndexedTable t;
    t.setNOF(1);
    EXPECT_EQ(t.capacity(), 100);
    for (int i = 0; i < 250; ++i) t.poke(rec(i), 1000 - i);
    EXPECT_EQ(t.capacity(), 300);
    EXPECT_EQ(t.RecCount(), 250);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(t.Cell(i, 1).toLong(), 751 + i);
    for (int i = 0; i < 200; ++i) t.Delete();
    EXPECT_EQ(t.capacity(), 300);  // never shrinks
    t.zap();
    EXPECT_EQ(t.capacity(), 100);

    clsLinear l;
    for (int i = 0; i < 100; ++i) l.AppendRec(i);
    EXPECT_EQ(l.capacity(), 100);
    l.AppendRec(100);
    EXPECT_EQ(l.capacity(), 200);
}

TEST(IndexedTableTest, LinearStoreOperationsAndRange) {
    clsLinear l;
    EXPECT_TRUE(l.isEOF());
    EXPECT_EQ(l.Record(), -1);
    l.Insert();  // at EOF: an append of entry 0
    EXPECT_EQ(l.RecCount(), 1);
    EXPECT_EQ(l.Records(0), 0);
    l.setRecord(7);
    l.AppendRec(8);
    l.AppendRec(9);
    EXPECT_EQ(l.Recno(), 2);
    l.setRecno(1);
    l.Delete();
    l.setRecno(3);
    l.Delete();  // past the end: the last entry
    l.MoveFirst();
    l.Insert();
    EXPECT_EQ(l.toVector(), (std::vector<int32_t>{0, 7}));
    EXPECT_EQ(l.Records(-1), -1);
    EXPECT_EQ(l.Records(2), -1);

    try {
        l.setRecords(2, 5);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::OutOfRange);
        EXPECT_EQ(e.description(), "record out of range in linear");
    }
    l.setRecno(5);
    expectError(err::OutOfRange, [&] { l.Insert(); });
    l.setRecno(-1);
    expectError(err::OutOfRange, [&] { l.Insert(); });
    expectError(err::OutOfRange, [&] { l.Delete(); });
    expectError(err::OutOfRange, [&] { l.setRecord(1); });
    EXPECT_EQ(l.toVector(), (std::vector<int32_t>{0, 7}));
    l.zap();
    expectError(err::OutOfRange, [&] { l.Delete(); });
    EXPECT_EQ(l.RecCount(), 0);
}

// Enough entries for the index's chunks to split, then to empty and merge again (random edits
// against models are the fuzz target fuzz/targets/table_model.cpp).
TEST(IndexedTableTest, ChunksSplitAndMergeWithoutLosingAnEntry) {
    clsLinear l;
    std::vector<int32_t> model;
    for (int i = 0; i < 3 * clsLinear::kChunk; ++i) {
        const int pos = (i * 7919) % (static_cast<int>(model.size()) + 1);
        l.setRecno(pos);
        l.Insert();
        l.setRecord(i);
        model.insert(model.begin() + pos, i);
    }
    ASSERT_TRUE(l.checkInvariants());
    EXPECT_EQ(l.toVector(), model);
    EXPECT_EQ(l.capacity(), 1600);
    while (model.size() > 3) {
        const int pos = (static_cast<int>(model.size()) * 104729) % static_cast<int>(model.size());
        l.setRecno(pos);
        l.Delete();
        model.erase(model.begin() + pos);
    }
    ASSERT_TRUE(l.checkInvariants());
    EXPECT_EQ(l.toVector(), model);
    EXPECT_EQ(l.Records(2), model[2]);
}
