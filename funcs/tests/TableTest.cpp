#include "ostrel/RuntimeError.h"
#include "ostrel/clsTable.h"

#include "ErrorNumber.h"

#include <gtest/gtest.h>

#include <string>

using namespace ostrel;
using vendra::test::expectError;

namespace {

TableRef table3(std::initializer_list<const char*> firstFields) {
    auto t = std::make_shared<clsTable>();
    t->setNOF(3);
    for (const char* s : firstFields) {
        t->AppendBlank();
        t->setFields(0, s);
    }
    return t;
}

QString column0(const clsTable& t) {
    QString out;
    for (int i = 0; i < t.RecCount(); ++i) {
        const Variant& v = t.cellRef(i, 0);
        const QString s = v.toString();
        out += s.isEmpty() ? QStringLiteral("_") : s;
    }
    return out;
}

// "RecCount Recno EOF" in one line.
std::string state(const clsTable& t) {
    return std::to_string(t.RecCount()) + ' ' + std::to_string(t.Recno()) + (t.isEOF() ? " eof" : "");
}

struct Thing : VObject {
    Variant defaultValue() const override { return value; }
    Variant value;
};

}  // namespace

TEST(TableTest, PositionsOfFreshAppendedAndZappedTables) {
    clsTable t;
    EXPECT_EQ(t.NOF(), 0);
    EXPECT_EQ(state(t), "0 0 eof");
    EXPECT_EQ(t.capacity(), 0);
    t.setNOF(3);
    t.AppendBlank();
    EXPECT_EQ(state(t), "1 0");
    for (int j = 0; j < 3; ++j) EXPECT_TRUE(t.Fields(j).isEmpty());
    t.MoveNext();
    EXPECT_EQ(state(t), "1 1 eof");
    t.MoveNext();
    EXPECT_EQ(state(t), "1 1 eof");
    t.MovePrevious();
    t.MovePrevious();
    EXPECT_EQ(state(t), "1 0");

    t.zap();
    EXPECT_EQ(state(t), "0 -1");
    EXPECT_TRUE(t.Fields(0).isEmpty());
    EXPECT_EQ(t.capacity(), 1);
    t.MoveFirst();
    EXPECT_EQ(state(t), "0 0 eof");
    t.MoveLast();
    EXPECT_EQ(state(t), "0 -1");
    t.AppendBlank();
    EXPECT_EQ(state(t), "1 0");
}

TEST(TableTest, CellReadsAndWritesAndTheirBounds) {
    auto t = table3({"A", "B", "C"});
    EXPECT_TRUE(t->Cell(5, 0).isEmpty());
    EXPECT_TRUE(t->Cell(-1, 7).isEmpty());  // off the records nothing else is checked
    expectError(err::OutOfRange, [&] { t->Cell(0, 3); });
    expectError(err::OutOfRange, [&] { t->Cell(0, -1); });
    expectError(err::OutOfRange, [&] { t->setCell(3, 0, 1); });
    expectError(err::OutOfRange, [&] { t->setCell(0, 3, 1); });
    expectError(err::OutOfRange, [&] { t->setCell(-1, 0, 1); });

    t->setCell(1, 2, Variant::null());
    EXPECT_TRUE(t->Cell(1, 2).isEmpty());
    EXPECT_FALSE(t->Cell(1, 2).isNull());

    // An object cell is the same object, not a copy.
    auto obj = std::make_shared<Thing>();
    t->setCell(2, 1, ObjectRef(obj));
    obj->value = "changed";
    EXPECT_EQ(t->Cell(2, 1).toObject().get(), obj.get());
    EXPECT_EQ(t->Cell(2, 1).toString(), "changed");

    // A table fits in a cell of another table.
    auto outer = table3({"x"});
    outer->setFields(1, ObjectRef(t));
    EXPECT_EQ(std::dynamic_pointer_cast<clsTable>(outer->Fields(1).toObject()), t);

    // At EOF the fields read empty and writes fail.
    t->MoveLast();
    t->MoveNext();
    EXPECT_TRUE(t->Fields(0).isEmpty());
    expectError(err::OutOfRange, [&] { t->setFields(0, "D"); });
    EXPECT_EQ(column0(*t), "ABC");
}

TEST(TableTest, WritesAfterZapLandInTheSpareSlotUntilAnAppendClearsIt) {
    auto t = table3({"A"});
    t->zap();
    t->setCell(0, 0, "ghost");
    EXPECT_TRUE(t->Cell(0, 0).isEmpty());
    expectError(err::OutOfRange, [&] { t->setCell(1, 0, 1); });
    t->AppendBlank();
    EXPECT_TRUE(t->Cell(0, 0).isEmpty());
}

TEST(TableTest, DeleteKeepsThePositionOnTheFollowingRecord) {
    auto t = table3({"A", "B", "C"});
    t->setRecno(1);
    t->Delete();
    EXPECT_EQ(column0(*t), "AC");
    EXPECT_EQ(state(*t), "2 1");
    t->Delete();
    EXPECT_EQ(column0(*t), "A");
    EXPECT_EQ(state(*t), "1 1 eof");
    EXPECT_EQ(t->capacity(), 1);
    t->Delete();  // at EOF the last record goes
    EXPECT_EQ(state(*t), "0 -1");

    auto u = table3({"A", "B", "C", "D"});
    u->setRecno(40);  // far past the end: still the last record
    u->Delete();
    EXPECT_EQ(column0(*u), "ABC");
    EXPECT_EQ(u->Recno(), 40);
    u->setRecno(0);
    u->Delete();
    EXPECT_EQ(column0(*u), "BC");
    EXPECT_EQ(u->Fields(0).toString(), "B");

    // Trimming trailing blank rows the way the grids do it.
    auto g = table3({"A", "", "B", "", ""});
    while (g->RecCount() > 0) {
        g->MoveLast();
        if (!g->IsBlankRecord()) break;
        g->Delete();
    }
    EXPECT_EQ(column0(*g), "A_B");
}

TEST(TableTest, InsertPutsABlankRecordAtThePosition) {
    auto t = table3({"A", "B"});
    t->setRecno(1);
    t->setCell(1, 2, 9);
    t->Insert();
    EXPECT_EQ(column0(*t), "A_B");
    EXPECT_EQ(t->Recno(), 1);
    EXPECT_TRUE(t->IsBlankRecord());
    EXPECT_EQ(t->Cell(2, 2).toLong(), 9);  // the moved record keeps all its fields
    t->setRecno(3);
    t->Insert();  // at EOF: an append
    EXPECT_EQ(column0(*t), "A_B_");

    clsTable fresh;
    fresh.setNOF(1);
    fresh.Insert();  // Recno 0 on an empty table
    EXPECT_EQ(state(fresh), "1 0");
}

TEST(TableTest, FailingOperationsLeaveTheTableExactlyAsItWas) {
    auto t = table3({"A", "B"});
    t->setCell(1, 1, "b1");
    auto unchanged = [&](int recno) {
        EXPECT_EQ(column0(*t), "AB");
        EXPECT_EQ(state(*t), "2 " + std::to_string(recno) + (recno >= 2 ? " eof" : ""));
        EXPECT_EQ(t->capacity(), 2);
        EXPECT_EQ(t->Cell(1, 1).toString(), "b1");
    };
    for (int bad : {-1, -7, 3, 100}) {
        t->setRecno(bad);
        expectError(err::OutOfRange, [&] { t->Insert(); });
        unchanged(bad);
    }
    t->setRecno(-1);
    expectError(err::OutOfRange, [&] { t->Delete(); });
    unchanged(-1);
    t->setRecno(-3);
    expectError(err::OutOfRange, [&] { t->Delete(); });
    unchanged(-3);

    t->setRecno(0);
    expectError(err::TypeMismatch, [&] { t->AppendRec(Variant("not an array")); });
    unchanged(0);

    t->setNOF(4);  // changed while records are held
    expectError(err::OutOfRange, [&] { t->AppendBlank(); });
    expectError(err::OutOfRange, [&] { t->Insert(); });
    unchanged(0);
    t->setNOF(3);

    expectError(err::Overflow, [&] { t->setNOF(32768); });
    EXPECT_EQ(t->NOF(), 3);
    expectError(err::OutOfRange, [&] { t->setRecCount(3); });
    expectError(err::OutOfRange, [&] { t->setRecCount(-1); });
    unchanged(0);

    clsTable e;  // NOF 0
    for (auto op : {&clsTable::Delete, &clsTable::AppendBlank, &clsTable::Insert, &clsTable::zap})
        expectError(err::OutOfRange, [&] { (e.*op)(); });
    expectError(err::OutOfRange, [&] { e.Record(); });
    EXPECT_EQ(state(e), "0 0 eof");
    e.setNOF(2);
    e.zap();
    expectError(err::OutOfRange, [&] { e.Delete(); });
    EXPECT_EQ(e.Recno(), -1);
    EXPECT_EQ(e.capacity(), 1);
}

TEST(TableTest, RecCountWritesStayWithinTheStoredRecords) {
    auto t = table3({"A", "B", "C"});
    t->setRecCount(2);
    EXPECT_TRUE(t->Cell(2, 0).isEmpty());
    t->setRecCount(3);  // the storage was not changed
    EXPECT_EQ(column0(*t), "ABC");
    t->setRecCount(1);
    t->AppendBlank();  // the old slot 1 is not brought back
    EXPECT_EQ(column0(*t), "A_");
    t->zap();
    expectError(err::OutOfRange, [&] { t->setRecCount(1); });
}

TEST(TableTest, AppendRecCopiesByIndexWithinTheArraysBounds) {
    clsTable t;
    t.setNOF(3);
    t.AppendRec(Variant::array({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(t.Fields(0).toString(), "a");
    EXPECT_EQ(t.Fields(2).toString(), "c");
    t.AppendRec(Variant::array({"x", "y", "z"}, 1));
    EXPECT_TRUE(t.Fields(0).isEmpty());
    EXPECT_EQ(t.Fields(1).toString(), "x");
    EXPECT_EQ(t.Fields(2).toString(), "y");
    t.AppendRec(Variant::array({"m2", "m1", "p0", "p1", "p2", "p3"}, -2));
    EXPECT_EQ(t.Fields(0).toString(), "p0");
    EXPECT_EQ(t.Fields(2).toString(), "p2");
    t.AppendRec(Variant::array({Variant::null()}));
    EXPECT_FALSE(t.Fields(0).isNull());
    EXPECT_EQ(t.Recno(), 3);
}

TEST(TableTest, RecordAndRecordsReadAndWrite) {
    auto t = table3({"A", "B", "C"});
    t->setRecno(1);
    t->setFields(1, 7);
    Variant r = t->Record();
    ASSERT_TRUE(r.isArray());
    EXPECT_EQ(r.toArray().lower, 0);
    EXPECT_EQ(r.toArray().items.size(), 3u);
    EXPECT_EQ(r.toArray().at(0).toString(), "B");
    r.toArray().at(0) = "changed";
    EXPECT_EQ(t->Fields(0).toString(), "B");

    t->setRecord(Variant::array({"b1"}, 1));  // field 1 only; fields 0 and 2 keep their values
    EXPECT_EQ(t->Fields(0).toString(), "B");
    EXPECT_EQ(t->Fields(1).toString(), "b1");

    t->setRecno(3);
    Variant atEnd = t->Record();
    ASSERT_EQ(atEnd.toArray().items.size(), 3u);
    for (const Variant& v : atEnd.toArray().items) EXPECT_TRUE(v.isEmpty());
    expectError(err::OutOfRange, [&] { t->setRecord(Variant::array({"x"})); });
    t->setRecord(Variant::array({"x"}, 5));  // covers no field: nothing to write, no error

    t->setRecno(0);
    EXPECT_TRUE(t->Records(7).isEmpty());
    EXPECT_EQ(t->Recno(), 0);
    EXPECT_EQ(t->Records(2).toArray().at(0).toString(), "C");
    EXPECT_EQ(t->Recno(), 2);

    t->setRecords(0, Variant::array({"a", "a1", "a2"}));
    EXPECT_EQ(t->Recno(), 0);
    EXPECT_EQ(t->Cell(0, 2).toString(), "a2");
    expectError(err::OutOfRange, [&] { t->setRecords(9, Variant::array({"z"})); });
    EXPECT_EQ(t->Recno(), 0);
    expectError(err::TypeMismatch, [&] { t->setRecords(1, Variant(3)); });
    EXPECT_EQ(t->Recno(), 0);

    // A wider NOF with records held: the record write fails before writing any field.
    t->setNOF(4);
    expectError(err::OutOfRange, [&] { t->setRecord(Variant::array({"q", "q", "q", "q"})); });
    t->setNOF(3);
    EXPECT_EQ(t->Fields(0).toString(), "a");
}

TEST(TableTest, BlankRecordFollowsTheVariantRules) {
    clsTable t;
    t.setNOF(3);
    auto blank = [&](Variant a, Variant b, Variant c) {
        t.AppendRec(Variant::array({std::move(a), std::move(b), std::move(c)}));
        return t.IsBlankRecord();
    };
    EXPECT_TRUE(blank("", 0, Variant()));
    EXPECT_TRUE(blank(false, Currency::fromInt(0), Date{0}));
    EXPECT_FALSE(blank("0", Variant(), Variant()));
    EXPECT_FALSE(blank(Variant(), Variant(), " "));
    EXPECT_FALSE(blank(Variant(), 0.5, true));
    EXPECT_FALSE(blank(Variant::array({}), Variant(), Variant()));

    auto obj = std::make_shared<Thing>();
    EXPECT_TRUE(blank(ObjectRef(obj), Variant(), Variant()));  // its default value is empty
    obj->value = "v";
    EXPECT_FALSE(t.IsBlankRecord());

    t.MoveNext();
    EXPECT_TRUE(t.IsBlankRecord());
    t.zap();
    EXPECT_TRUE(t.IsBlankRecord());
}
