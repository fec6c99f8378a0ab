// The sheet table and its index by sheet number stay in step through every title change, and a
// refused change leaves both as they were.
#include "ErrorNumber.h"
#include "ostrel/clsTable.h"
#include "tessel/SheetIndex.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;

namespace {

// Sheet numbers S000, S001, ... in record order; two shown columns.
QString shno(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }
Variant sheet(const QString& number, const QString& name, int amount) {
    return Variant::array({Variant(number), Variant(name), Variant(int32_t(amount))});
}
TableRef sheets(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(3);
    for (int i = 0; i < n; ++i) t->AppendRec(sheet(shno(i), QStringLiteral("거래처 %1").arg(i), i * 100));
    return t;
}

// Every record is indexed once, under its own sheet number, in sheet number order.
void expectInStep(SheetIndex& index) {
    const ostrel::clsTable& t = *index.table();
    const std::vector<int> records = index.records();
    ASSERT_EQ(int(records.size()), t.RecCount());
    for (size_t i = 0; i < records.size(); ++i) {
        ASSERT_TRUE(records[i] >= 0 && records[i] < t.RecCount()) << records[i];
        if (i > 0) {
            EXPECT_LE(t.Cell(records[i - 1], 0).toString(), t.Cell(records[i], 0).toString());
        }
        EXPECT_EQ(index.recordOf(t.Cell(records[i], 0)), records[i]);
    }
}

TEST(TesselSheetIndex, TitleChangesKeepTheIndexInStep) {
    SheetIndex index;
    index.assign(sheets(10));
    expectInStep(index);
    EXPECT_EQ(index.recordOf(Variant(shno(7))), 7);
    EXPECT_EQ(index.recordOf(Variant("없음")), -1);

    // Deleting record 3 of 10: the former records 4 to 9 become 3 to 8.
    EXPECT_EQ(index.remove(sheet(shno(3), {}, 0)), 3);
    EXPECT_EQ(index.recCount(), 9);
    EXPECT_EQ(index.records(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8})) << "renumbered in the index itself";
    for (int i = 4; i < 10; ++i) EXPECT_EQ(index.recordOf(Variant(shno(i))), i - 1) << i;
    EXPECT_EQ(index.recordOf(Variant(shno(3))), -1);
    expectInStep(index);

    // A sheet numbered before the others is appended last and found first.
    EXPECT_EQ(index.add(sheet(QStringLiteral("A001"), QStringLiteral("새 전표"), 5)), 9);
    EXPECT_EQ(index.records().front(), 9);
    expectInStep(index);

    EXPECT_EQ(index.edit(sheet(shno(5), QStringLiteral("고친 이름"), 1)), 4);
    EXPECT_EQ(index.table()->Cell(4, 1).toString(), QStringLiteral("고친 이름"));

    EXPECT_EQ(index.rename(shno(9), QStringLiteral("A000")), 8);
    EXPECT_EQ(index.table()->Cell(8, 0).toString(), QStringLiteral("A000"));
    EXPECT_EQ(index.records().front(), 8) << "sorted again under the new number";
    expectInStep(index);

    // Unknown sheets change nothing.
    EXPECT_EQ(index.edit(sheet(QStringLiteral("X"), QStringLiteral("?"), 0)), -1);
    EXPECT_EQ(index.remove(sheet(QStringLiteral("X"), {}, 0)), -1);
    EXPECT_EQ(index.rename(QStringLiteral("X"), QStringLiteral("Y")), -1);
    EXPECT_EQ(index.recCount(), 10);
    expectInStep(index);
}

TEST(TesselSheetIndex, RefusedChangesLeaveTableAndIndexAsTheyWere) {
    SheetIndex index;
    const TableRef t = sheets(4);
    index.assign(t);
    const std::vector<int> before = index.records();
    struct Case {
        const char* name;
        int error;
        std::function<void()> change;
    } const cases[] = {
        {"add of a value that is no record", 13, [&] { index.add(Variant("S9")); }},
        {"add of a 1-based record", 9, [&] { index.add(Variant::array({Variant("S9")}, 1)); }},
        {"edit of a value that is no record", 13, [&] { index.edit(Variant(shno(1))); }},
        {"remove of a value that is no record", 13, [&] { index.remove(Variant(shno(1))); }},
        {"no table", 5, [&] { index.assign(nullptr); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vendra::test::errorOf(c.change), c.error) << c.name;
        EXPECT_EQ(index.table(), t) << c.name;
        EXPECT_EQ(t->RecCount(), 4) << c.name;
        EXPECT_EQ(index.records(), before) << c.name;
        EXPECT_EQ(t->Cell(1, 0).toString(), shno(1)) << c.name;
    }
}

TEST(TesselSheetIndex, ChangesTheContainerMadeToTheSharedTableAreIndexedAgain) {
    SheetIndex index;
    const TableRef t = sheets(5);
    index.assign(t);
    t->AppendRec(sheet(QStringLiteral("S100"), QStringLiteral("직접"), 1));  // behind the index's back
    EXPECT_EQ(index.recordOf(Variant("S100")), 5);
    // One sheet deleted and one added behind its back: the count fits, the entries do not.
    t->setRecno(0);
    t->Delete();
    t->AppendRec(sheet(QStringLiteral("S101"), QStringLiteral("직접"), 2));
    EXPECT_EQ(index.remove(sheet(shno(3), {}, 0)), 2);
    EXPECT_EQ(t->RecCount(), 5);
    expectInStep(index);
}

TEST(TesselSheetIndex, FindSearchesTheShownColumnsFromAfterTheSelectionRoundToIt) {
    SheetIndex index;
    const TableRef t = sheets(6);
    t->setCell(1, 1, Variant("배추 상회"));
    t->setCell(4, 1, Variant("BAECHU 상회"));
    index.assign(t);
    struct Case {
        int after, columns;
        QString text;
        int found;
    } const cases[] = {
        {0, 2, "상회", 1},     // the next one after the selection
        {1, 2, "상회", 4},
        {4, 2, "상회", 1},     // round from the start
        {1, 2, "배추", 1},     // the selection itself, last
        {6, 2, "상회", 1},     // from the new-sheet line
        {0, 2, "baechu", 4},   // case ignored
        {0, 2, "S003", -1},    // the sheet number is not searched
        {0, 2, "300", 3},      // a number column
        {0, 1, "300", -1},     // only the shown columns
        {0, 9, "300", 3},      // more columns than the table has
    };
    for (const Case& c : cases)
        EXPECT_EQ(index.find(c.after, c.columns, c.text), c.found) << c.text.toStdString() << " after " << c.after;
    SheetIndex empty;
    EXPECT_EQ(empty.find(0, 2, "x"), -1);
}

}  // namespace
