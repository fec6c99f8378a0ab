// The sheet table and its index by sheet number stay in step through every title change; a
// refused change leaves both as they were.
#include "ErrorNumber.h"
#include "ostrel/clsTable.h"
#include "tessel/SheetIndex.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <functional>

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;

namespace {

QString shno(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }
Variant sheet(const QString& number, const QString& name = {}, int amount = 0) {
    return Variant::array({Variant(number), Variant(name), Variant(int32_t(amount))});
}
TableRef sheets(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(3);
    for (int i = 0; i < n; ++i) t->AppendRec(sheet(shno(i), QStringLiteral("거래처 %1").arg(i), i * 100));
    return t;
}
// The sheet numbers in index order.
QStringList indexed(const SheetIndex& index) {
    QStringList out;
    for (int rec : index.records()) out << index.table()->Cell(rec, 0).toString();
    return out;
}

TEST(TesselSheetIndex, TitleChangesKeepTheIndexInStep) {
    SheetIndex index;
    index.assign(sheets(10));
    EXPECT_EQ(index.remove(sheet(shno(3))), 3);
    EXPECT_EQ(index.records(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8})) << "4 to 9 renumbered 3 to 8";
    EXPECT_EQ(index.recordOf(Variant(shno(3))), -1);
    EXPECT_EQ(index.add(sheet("A001")), 9);
    EXPECT_EQ(index.edit(sheet(shno(5), "고침")), 4);
    EXPECT_EQ(index.table()->Cell(4, 1).toString(), QStringLiteral("고침"));
    EXPECT_EQ(index.rename(shno(9), "A000"), 8);
    EXPECT_EQ(indexed(index),
              (QStringList{"A000", "A001", "S000", "S001", "S002", "S004", "S005", "S006", "S007", "S008"}));
    for (const QString& unknown : {QStringLiteral("X"), QStringLiteral("S003")}) {
        EXPECT_EQ(index.edit(sheet(unknown)), -1);
        EXPECT_EQ(index.remove(sheet(unknown)), -1);
        EXPECT_EQ(index.rename(unknown, "Y"), -1);
    }
    EXPECT_EQ(index.recCount(), 10);

    // Sheets deleted and added behind the index's back: the count fits, the entries do not.
    const TableRef t = index.table();
    t->setRecno(0);
    t->Delete();
    t->AppendRec(sheet("S100"));
    EXPECT_EQ(index.remove(sheet(shno(4))), 2);
    EXPECT_EQ(indexed(index).size(), t->RecCount());
}

TEST(TesselSheetIndex, RefusedChangesLeaveTableAndIndexAsTheyWere) {
    SheetIndex index;
    const TableRef t = sheets(4);
    index.assign(t);
    const std::vector<int> before = index.records();
    const std::pair<int, std::function<void()>> cases[] = {
        {13, [&] { index.add(Variant("S9")); }},     {9, [&] { index.add(Variant::array({Variant("S9")}, 1)); }},
        {13, [&] { index.edit(Variant(shno(1))); }}, {13, [&] { index.remove(Variant(shno(1))); }},
        {5, [&] { index.assign(nullptr); }},
    };
    for (const auto& [error, change] : cases) {
        EXPECT_EQ(vendra::test::errorOf(change), error);
        EXPECT_EQ(index.table(), t);
        EXPECT_EQ(t->RecCount(), 4);
        EXPECT_EQ(index.records(), before);
    }
}

TEST(TesselSheetIndex, FindSearchesTheShownColumnsRoundToTheSelection) {
    SheetIndex index;
    const TableRef t = sheets(6);
    t->setCell(1, 1, Variant("배추 상회"));
    t->setCell(4, 1, Variant("BAECHU 상회"));
    index.assign(t);
    // after, columns, text, found: the first match after the selection, round to the selection itself.
    const std::tuple<int, int, QString, int> cases[] = {
        {0, 2, "상회", 1},   {1, 2, "상회", 4},  {4, 2, "상회", 1}, {1, 2, "배추", 1}, {6, 2, "상회", 1},
        {0, 2, "baechu", 4}, {0, 2, "S003", -1}, {0, 2, "300", 3},  {0, 1, "300", -1}, {0, 9, "300", 3},
    };
    for (const auto& [after, columns, text, found] : cases)
        EXPECT_EQ(index.find(after, columns, text), found) << text.toStdString() << " after " << after;
    EXPECT_EQ(SheetIndex().find(0, 2, "x"), -1);
}

}  // namespace
