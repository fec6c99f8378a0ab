// The sheet lists: their window as a pure function of the moves, the wheel and the title methods;
// the sheet table and its index by sheet number in step through every title change; and the forms
// under real key, wheel, mouse and focus events, with lists of no sheet or one sheet under every key.
#include "ErrorNumber.h"
#include "WidgetTest.h"

#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/SheetCursor.h"
#include "tessel/SheetIndex.h"
#include "tessel/Stru.h"
#include "tessel/button.h"
#include "tessel/codemr.h"
#include "tessel/mrform.h"
#include "tessel/outvar.h"

#include <QWheelEvent>
#include <functional>
#include <ostream>

namespace tessel {
std::ostream& operator<<(std::ostream& os, const SheetView& v) { return os << "{" << v.top << ", " << v.edit << "}"; }
}  // namespace tessel

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;
using C = SheetCommand;

namespace {

QString shno(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }
Variant sheet(const QString& number, const QString& name = {}, int amount = 0) {
    return Variant::array({Variant(number), Variant(name), Variant(int32_t(amount))});
}
// Sheets S000, S001... of partners 거래처0, 거래처1... for 0, 10, 20...
TableRef sheets(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(3);
    for (int i = 0; i < n; ++i) t->AppendRec(sheet(shno(i), QStringLiteral("거래처%1").arg(i), i * 10));
    return t;
}
TEST(TesselSheetCursor, MovesKeepTheSelectionInTheWindowAndStopAtTheEnds) {
    // what, from, command, records, to, rows in the window
    const std::tuple<const char*, SheetView, C, int, SheetView, int> cases[] = {
        {"down", {0, 5}, C::Next, 50, {0, 6}, 20},
        {"down on the last row scrolls", {10, 29}, C::Next, 50, {11, 30}, 20},
        {"down to the new-sheet line", {31, 49}, C::Next, 50, {31, 50}, 20},
        {"down on the new-sheet line", {31, 50}, C::Next, 50, {31, 50}, 20},
        {"up", {10, 15}, C::Previous, 50, {10, 14}, 20},
        {"up on row 0 scrolls", {10, 10}, C::Previous, 50, {9, 9}, 20},
        {"up on record 0", {0, 0}, C::Previous, 50, {0, 0}, 20},
        {"shift down", {3, 7}, C::ShiftNext, 50, {4, 8}, 20},
        {"shift down on the new-sheet line", {40, 50}, C::ShiftNext, 50, {40, 50}, 20},
        {"shift up at the top", {0, 7}, C::ShiftPrevious, 50, {0, 6}, 20},
        {"shift up", {3, 7}, C::ShiftPrevious, 50, {2, 6}, 20},
        {"shift up on 0", {0, 0}, C::ShiftPrevious, 50, {0, 0}, 20},
        {"page up near the top", {5, 12}, C::PageUp, 50, {0, 0}, 20},
        {"page up keeps the row", {10, 25}, C::PageUp, 50, {0, 5}, 20},
        {"page up", {25, 30}, C::PageUp, 50, {5, 10}, 20},
        {"page down", {0, 3}, C::PageDown, 50, {20, 23}, 20},
        {"page down near the end", {20, 35}, C::PageDown, 50, {34, 49}, 20},
        {"page down on the new-sheet line", {31, 50}, C::PageDown, 50, {31, 50}, 20},
        {"first", {34, 50}, C::First, 50, {0, 0}, 20},
        {"end: four rows below", {0, 0}, C::Last, 50, {34, 49}, 20},
        {"end, new sheet: 34 to 53", {0, 0}, C::LastNewSheet, 50, {34, 50}, 20},
        {"end of a short list", {0, 0}, C::Last, 10, {0, 9}, 20},
        {"end of 17", {0, 0}, C::Last, 17, {1, 16}, 20},
        {"end of an empty list", {0, 0}, C::LastNewSheet, 0, {0, 0}, 20},
        {"end with a window of 3 rows", {0, 0}, C::Last, 1, {0, 0}, 3},
        {"no move", {3, 7}, C::Edit, 50, {3, 7}, 20},
        {"page up from a selection above the window", {30, 5}, C::PageUp, 50, {10, 0}, 20},
    };
    for (const auto& [what, from, command, recCount, to, maxrow] : cases)
        EXPECT_EQ(moveSheets(from, command, recCount, maxrow), to) << what;
}

TEST(TesselSheetCursor, WheelSelectAndAppend) {
    // from, wheel delta, records, to
    const std::tuple<SheetView, int, int, SheetView> cases[] = {
        {{10, 15}, 120, 50, {6, 11}},   {{10, 15}, 240, 50, {2, 7}},    {{2, 5}, 120, 50, {0, 3}},
        {{0, 5}, 120, 50, {0, 5}},      {{10, 15}, -120, 50, {14, 19}}, {{30, 47}, -120, 50, {32, 49}},
        {{31, 49}, -120, 50, {31, 49}}, {{31, 50}, -120, 50, {31, 50}}, {{10, 15}, 60, 50, {8, 13}},
        {{10, 15}, 20, 50, {10, 15}},   {{0, 0}, -120, 0, {0, 0}},      {{0, 0}, -120, 1, {0, 0}},
    };
    for (const auto& [from, delta, recCount, to] : cases)
        EXPECT_EQ(wheelSheets(from, delta, recCount), to) << from << " by " << delta;

    EXPECT_EQ(selectSheet({5, 8}, 12, 50), (SheetView{5, 12})) << "selecting does not scroll";
    EXPECT_EQ(selectSheet({5, 8}, 50, 50), (SheetView{5, 50})) << "the new-sheet line";
    EXPECT_EQ(selectSheet({5, 8}, 51, 50), (SheetView{0, 0}));
    EXPECT_EQ(selectSheet({5, 8}, -1, 50), (SheetView{0, 0}));
    EXPECT_EQ(afterAppend({34, 50}, 50), (SheetView{34, 50}));
    EXPECT_EQ(afterAppend({0, 3}, 10), (SheetView{7, 10})) << "the same visual row";
    EXPECT_EQ(afterAppend({0, 5}, 2), (SheetView{0, 2}));
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
    for (const QString& unknown : {QStringLiteral("X"), QStringLiteral("S003")})
        EXPECT_EQ(std::tuple(index.edit(sheet(unknown)), index.remove(sheet(unknown)), index.rename(unknown, "Y")),
                  std::tuple(-1, -1, -1));
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
        EXPECT_EQ(std::tuple(index.table(), t->RecCount(), index.records()), std::tuple(t, 4, before));
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
        {0, 2, "baechu", 4}, {0, 2, "S003", -1}, {0, 2, "30", 3},  {0, 1, "30", -1}, {0, 9, "30", 3},
    };
    for (const auto& [after, columns, text, found] : cases)
        EXPECT_EQ(index.find(after, columns, text), found) << text.toStdString() << " after " << after;
    EXPECT_EQ(SheetIndex().find(0, 2, "x"), -1);
}

struct Key {
    int qtKey;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

class TesselSheetList : public ::testing::Test {
protected:
    template <class Form>
    Form* make(int count, int maxrow = 20) {
        auto* f = new Form(&window);
        form = f;
        form->setExt(makeStru({fieldDef("C", 10, 0, "거래처"), fieldDef("N", 8, 0, "금액")}));
        form->setMaxrow(maxrow);
        form->prepare();
        table = sheets(count);
        if constexpr (std::is_same_v<Form, mrform>)
            f->setvalue(table);
        else
            f->setValue(table);
        QObject::connect(form, &SheetList::NewSheet, [this] { events << "new"; });
        QObject::connect(form, &SheetList::EditSheet, [this](QString& s) { events << "edit " + s; });
        QObject::connect(form, qOverload<QString&>(&SheetList::DeleteSheet),
                         [this](QString& s) { events << "del " + s; });
        QObject::connect(form, &SheetList::EndMr, [this] { events << "end"; });
        form->setDialogs({[this](QWidget*) { return events << "asked", confirm; },
                          [this](QWidget*, const QString& last) { return offered = last, findText; },
                          [this](QWidget*, const QString& text) { events << text; }});
        window.resize(form->size());
        EXPECT_TRUE(vendra::test::showActive(&window));
        form->setFocus();
        return f;
    }
    outvar* cell(int row, int column = 0) const { return form->outCon(row * 2 + column); }
    long colour(int row) const { return fromQColor(cell(row)->palette().color(QPalette::Window)); }
    SheetView view() const { return {form->TopRec(), form->EditRec()}; }
    void press(const Key& k) { vendra::test::key(k.qtKey, int(k.modifiers)); }
    void wheel(int delta) {
        QWheelEvent e({5, 5}, form->mapToGlobal(QPointF(5, 5)), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form, &e);
    }
    // The window shows and paints what TopRec and EditRec say; the table's current record follows.
    void expectShown() {
        for (int r = 0; r < form->maxrow(); ++r) {
            const int rec = form->TopRec() + r;
            EXPECT_EQ(cell(r)->caption(), rec < form->RecCount() ? table->Cell(rec, 1).toString() : "") << r;
            EXPECT_EQ(colour(r), rec == form->EditRec() ? colors::Selected : colors::Idle) << r;
        }
        EXPECT_EQ(table->Recno(), form->EditRec());
    }
    void everyKeyPair(int count) {
        // Every key the lists read, plain, shifted and with Ctrl (Shift+F, say, types a character).
        std::vector<Key> keys;
        for (int k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End, Qt::Key_F5,
                      Qt::Key_F6, Qt::Key_F7, Qt::Key_F8, Qt::Key_F, Qt::Key_Return, Qt::Key_Escape})
            for (auto m : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier}) keys.push_back({k, m});
        make<codemr>(count);
        findText = "거래처";
        for (const Key& k : keys)
            for (const Key& then : keys) {
                press(k);
                press(then);
                ASSERT_TRUE(form->EditRec() >= 0 && form->EditRec() <= count && form->TopRec() >= 0) << k.qtKey;
                expectShown();
            }
        wheel(-120);
        form->GotoEnd(true);
        EXPECT_EQ(view(), (SheetView{0, count}));
        EXPECT_EQ(events.filter("del").size(), count > 0 ? events.count("asked") : 0);
    }

    QWidget window;
    SheetList* form = nullptr;
    TableRef table;
    QStringList events;
    bool confirm = true;
    QString findText, offered;
};

TEST_F(TesselSheetList, KeysWheelAndMouseMoveTheWindow) {
    make<mrform>(50);
    form->GotoEnd(true);
    EXPECT_EQ(view(), (SheetView{34, 50})) << "records 34 to 53, the new-sheet line selected";
    expectShown();
    const std::pair<Key, SheetView> steps[] = {{{Qt::Key_Down}, {34, 50}},
                                               {{Qt::Key_PageUp, Qt::ControlModifier}, {0, 0}},
                                               {{Qt::Key_PageDown}, {20, 20}},
                                               {{Qt::Key_Down, Qt::ShiftModifier}, {21, 21}},
                                               {{Qt::Key_Home}, {0, 0}}};
    for (const auto& [key, after] : steps) {
        press(key);
        EXPECT_EQ(view(), after) << key.qtKey;
        expectShown();
    }
    wheel(-120);
    EXPECT_EQ(view(), (SheetView{4, 4}));
    QTest::mouseClick(cell(10, 1), Qt::LeftButton);
    EXPECT_EQ(view(), (SheetView{4, 14}));
    form->GotoEnd(false);
    QTest::mouseClick(cell(19), Qt::LeftButton);
    EXPECT_EQ(form->EditRec(), 49) << "a row past the new-sheet line is no line";
    QTest::mouseDClick(cell(2), Qt::LeftButton);
    QTest::mouseDClick(cell(16), Qt::LeftButton);
    EXPECT_EQ(events, (QStringList{"edit " + shno(36), "new"}));
    expectShown();
}

TEST_F(TesselSheetList, KeysAndButtonsRaiseTheContainersEventsAndFind) {
    // selected, key, the answer to the delete question ("" for No) or the find, events, selected after
    const std::tuple<int, Key, QString, QStringList, int> cases[] = {
        {3, {Qt::Key_Return}, {}, {"edit S003"}, 3}, {10, {Qt::Key_Return}, {}, {"new"}, 10},
        {3, {Qt::Key_F7}, {}, {"new"}, 3},
        {3, {Qt::Key_Escape}, {}, {"end"}, 3}, {3, {Qt::Key_F4, Qt::AltModifier}, {}, {"end"}, 3},
        {3, {Qt::Key_F8}, "yes", {"asked", "del S003"}, 3}, {3, {Qt::Key_F8}, {}, {"asked"}, 3},
        {10, {Qt::Key_F8}, "yes", {}, 10},
        {3, {Qt::Key_F6}, {}, {}, 3}, {3, {Qt::Key_A}, {}, {}, 3},
        {3, {Qt::Key_F, Qt::ControlModifier}, "거래처1", {}, 1},
        {1, {Qt::Key_F, Qt::ControlModifier}, "S007", {"S007 문자열을 발견하지 못했습니다."}, 1},
        {1, {Qt::Key_F, Qt::ControlModifier}, "40", {}, 4},  // an amount; the sheet number is not searched
    };
    auto* f = make<mrform>(10);
    for (const auto& [select, key, answer, raised, selected] : cases) {
        events.clear();
        confirm = !answer.isEmpty();
        const QString last = findText;
        findText = answer;
        form->setEditRec(select);
        press(key);
        EXPECT_EQ(std::tuple(events, form->EditRec()), std::tuple(raised, selected)) << key.qtKey << " on " << select;
        EXPECT_TRUE(key.qtKey != Qt::Key_F || offered == last) << "the last find offered";
    }
    QStringList copies;
    QObject::connect(f, &mrform::CopySheet, [&](QString& s) { copies << s; });
    for (int select : {2, 10}) {
        form->setEditRec(select);
        press({Qt::Key_F5});
    }
    events.clear();
    form->setEditRec(4);
    for (button* b :
         {form->cmdEditSheet(), form->cmdNewSheet(), form->cmdDeleteSheet(), f->cmdCopySheet(), form->cmdEnd()})
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(copies, (QStringList{shno(2), shno(4)})) << "the new-sheet line has nothing to copy";
    EXPECT_EQ(std::tuple(events, view()),
              std::tuple(QStringList{"edit S004", "new", "asked", "del S004"}, SheetView{0, 9}));
    EXPECT_TRUE(qobject_cast<outvar*>(vendra::test::focused())) << "buttons leave the keys with the content cells";
}

TEST_F(TesselSheetList, TheContainersAnswersUpdateTableIndexAndWindow) {
    auto* f = make<mrform>(10);
    QObject::connect(f, qOverload<QString&>(&SheetList::DeleteSheet),
                     [f](QString& s) { f->DeleteTitle(Variant::array({Variant(s)})); });
    QObject::connect(f, &mrform::CopySheet,
                     [f](QString& s) { f->AddTitle(sheet(s + "-1", f->value()->Cell(f->EditRec(), 1).toString())); });
    QObject::connect(f, &SheetList::EditSheet, [f](QString& s) { f->EditTitle(sheet(s, "고침")); });
    form->setEditRec(3);
    press({Qt::Key_F8});  // the next sheet moves up into the selection
    EXPECT_EQ(std::tuple(form->RecCount(), form->Shno()), std::tuple(9, shno(4)));
    press({Qt::Key_F5});  // the copy is selected in the row of its original
    EXPECT_EQ(std::tuple(view(), form->Shno()), std::tuple(SheetView{6, 9}, shno(4) + "-1"));
    form->setEditRec(0);
    press({Qt::Key_Return});
    form->setTopRec(0);  // selecting does not scroll
    expectShown();
    EXPECT_EQ(std::tuple(cell(0)->caption(), form->indexRecords()),
              std::tuple(QStringLiteral("고침"), std::vector<int>{0, 1, 2, 3, 9, 4, 5, 6, 7, 8}));
    form->DeleteTitle(Variant::array({Variant("없음")}));
    form->EditTitle(sheet("없음", "?"));
    EXPECT_EQ(form->RecCount(), 10);
}

TEST_F(TesselSheetList, NoKeyBreaksAListOfNoSheet) { everyKeyPair(0); }
TEST_F(TesselSheetList, NoKeyBreaksAListOfOneSheet) { everyKeyPair(1); }

TEST_F(TesselSheetList, CodeCardsExportLoadAndRenumber) {
    auto* f = make<codemr>(10);
    QStringList raised;
    QObject::connect(f, &codemr::CsvSheets, [&] { raised << "csv"; });
    QObject::connect(f, &codemr::LoadSheets, [&] { raised << "load"; });
    press({Qt::Key_F6});
    press({Qt::Key_F5});
    QTest::mouseClick(f->cmdLoad(), Qt::LeftButton);
    EXPECT_EQ(raised, (QStringList{"csv", "load"}));
    f->EditShno(shno(7), "A007");
    EXPECT_EQ(form->Shno(), QStringLiteral("A007"));
    EXPECT_EQ(form->indexRecords().front(), 7) << "first in sheet number order now";
}

TEST_F(TesselSheetList, LayoutPutsButtonsOverHeadingsOverAlignedCells) {
    make<mrform>(5, 6);
    ASSERT_EQ(form->outConCount(), 12);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(std::pair(cell(5, c)->x(), cell(5, c)->width()),
                  std::pair(form->outHead(c)->x(), form->outHead(c)->width()));
    EXPECT_GT(cell(1)->y(), cell(0)->geometry().bottom()) << "rows one under the other";
    EXPECT_LT(form->cmdEnd()->geometry().bottom(), form->outHead(0)->y());
    EXPECT_GT(form->height(), cell(5)->geometry().bottom());
    EXPECT_GT(form->width(), form->cmdDeleteSheet()->geometry().right()) << "narrow columns keep every button";
    form->setEditRec(3);
    form->setFocus();
    EXPECT_EQ(vendra::test::focused(), cell(3)) << "the list's focus goes to the selected line";
}

}  // namespace
