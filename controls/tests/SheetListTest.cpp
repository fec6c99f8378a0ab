// The sheet list forms under real key, wheel, mouse and focus events: the window, the container's
// events, its answers through the title methods, and lists of no sheet or one sheet under every key.
#include "WidgetTest.h"

#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/button.h"
#include "tessel/codemr.h"
#include "tessel/mrform.h"
#include "tessel/outvar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QWheelEvent>

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;

namespace {

QString shno(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }
QString name(int i) { return QStringLiteral("거래처%1").arg(i); }
Variant sheet(const QString& number, const QString& title) {
    return Variant::array({Variant(number), Variant(title), Variant(int32_t(title.size() * 10))});
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
        table = std::make_shared<ostrel::clsTable>();
        table->setNOF(3);
        for (int i = 0; i < count; ++i) table->AppendRec(Variant::array({shno(i), name(i), Variant(int32_t(i * 10))}));
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
    struct Case {
        int select;
        Key key;
        QString answer;  // to the delete question ("" for No) or the find
        QStringList events;
        int selected;
    } const cases[] = {
        {3, {Qt::Key_Return}, {}, {"edit S003"}, 3},
        {10, {Qt::Key_Return}, {}, {"new"}, 10},
        {3, {Qt::Key_F7}, {}, {"new"}, 3},
        {3, {Qt::Key_Escape}, {}, {"end"}, 3},
        {3, {Qt::Key_F4, Qt::AltModifier}, {}, {"end"}, 3},
        {3, {Qt::Key_F8}, "yes", {"asked", "del S003"}, 3},
        {3, {Qt::Key_F8}, {}, {"asked"}, 3},
        {10, {Qt::Key_F8}, "yes", {}, 10},
        {3, {Qt::Key_F6}, {}, {}, 3},
        {3, {Qt::Key_A}, {}, {}, 3},
        {3, {Qt::Key_F, Qt::ControlModifier}, "거래처1", {}, 1},
        {1, {Qt::Key_F, Qt::ControlModifier}, "S007", {"S007 문자열을 발견하지 못했습니다."}, 1},
        {1, {Qt::Key_F, Qt::ControlModifier}, "40", {}, 4},  // an amount; the sheet number is not searched
    };
    auto* f = make<mrform>(10);
    for (const Case& c : cases) {
        events.clear();
        confirm = !c.answer.isEmpty();
        const QString last = findText;
        findText = c.answer;
        form->setEditRec(c.select);
        press(c.key);
        EXPECT_EQ(events, c.events) << c.key.qtKey << " on " << c.select;
        EXPECT_EQ(form->EditRec(), c.selected);
        EXPECT_TRUE(c.key.qtKey != Qt::Key_F || offered == last) << "the last find offered";
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
    EXPECT_EQ(events, (QStringList{"edit S004", "new", "asked", "del S004"}));
    EXPECT_EQ(view(), (SheetView{0, 9}));
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
    press({Qt::Key_F8});
    EXPECT_EQ(form->RecCount(), 9);
    EXPECT_EQ(form->Shno(), shno(4)) << "the next sheet moved up into the selection";
    press({Qt::Key_F5});
    EXPECT_EQ(view(), (SheetView{6, 9})) << "the copy selected in the row of its original";
    EXPECT_EQ(form->Shno(), shno(4) + "-1");
    form->setEditRec(0);
    press({Qt::Key_Return});
    form->setTopRec(0);  // selecting does not scroll
    expectShown();
    EXPECT_EQ(cell(0)->caption(), QStringLiteral("고침"));
    EXPECT_EQ(form->indexRecords(), (std::vector<int>{0, 1, 2, 3, 9, 4, 5, 6, 7, 8}));
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
    EXPECT_EQ(form->outHead(0)->pos(), twipsRect(30, 530, 1, 1).topLeft());
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(cell(5, c)->x(), form->outHead(c)->x());
        EXPECT_EQ(cell(5, c)->width(), form->outHead(c)->width());
    }
    EXPECT_EQ(cell(1)->y() - cell(0)->y(), twipsToPixels(390)) << "rows 360 twips high, 30 apart";
    EXPECT_LT(form->cmdEnd()->geometry().bottom(), form->outHead(0)->y());
    EXPECT_GT(form->height(), cell(5)->geometry().bottom());
    EXPECT_GT(form->width(), form->cmdDeleteSheet()->geometry().right()) << "narrow columns keep every button";
    form->setEditRec(3);
    form->setFocus();
    EXPECT_EQ(vendra::test::focused(), cell(3)) << "the list's focus goes to the selected line";
}

}  // namespace
