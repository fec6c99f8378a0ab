// The sheet list forms driven by real key, wheel, mouse and focus events: the window, the events
// they raise to the container, the container's answers through the title methods, and lists of
// no sheet or one sheet under every key.
#include "TestSupport.h"
#include "WaitFor.h"

#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/button.h"
#include "tessel/codemr.h"
#include "tessel/mrform.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;

namespace {

constexpr int kColumns = 2;
QString shno(int i) { return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')); }
QString name(int i) { return QStringLiteral("거래처%1").arg(i); }
Variant ext() { return makeStru({fieldDef("C", 10, 0, "거래처"), fieldDef("N", 8, 0, "금액")}); }
Variant sheet(const QString& number, const QString& title, int amount) {
    return Variant::array({Variant(number), Variant(title), Variant(int32_t(amount))});
}
TableRef sheets(int n) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(kColumns + 1);
    for (int i = 0; i < n; ++i) t->AppendRec(sheet(shno(i), name(i), i * 10));
    return t;
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
        form->setExt(ext());
        form->setMaxrow(maxrow);
        form->prepare();
        table = sheets(count);
        if constexpr (std::is_same_v<Form, mrform>) f->setvalue(table);
        else f->setValue(table);
        QObject::connect(form, &SheetList::NewSheet, [this] { events << QStringLiteral("new"); });
        QObject::connect(form, &SheetList::EditSheet, [this](QString& s) { events << "edit " + s; });
        QObject::connect(form, qOverload<QString&>(&SheetList::DeleteSheet),
                         [this](QString& s) { events << "delete " + s; });
        QObject::connect(form, &SheetList::EndMr, [this] { events << QStringLiteral("end"); });
        SheetDialogs dialogs;
        dialogs.confirmDelete = [this](QWidget*) {
            events << QStringLiteral("asked");
            return confirm;
        };
        dialogs.askFind = [this](QWidget*, const QString& last) {
            offered = last;
            return findText;
        };
        dialogs.findMessage = [this](QWidget*, const QString& text) { events << text; };
        form->setDialogs(dialogs);
        window.resize(form->size());
        EXPECT_TRUE(test::showActive(&window));
        form->setFocus();
        return f;
    }
    outvar* cell(int row, int column = 0) const { return form->outCon(row * kColumns + column); }
    long colour(int row) const { return fromQColor(cell(row)->palette().color(QPalette::Window)); }
    SheetView view() const { return {form->TopRec(), form->EditRec()}; }
    void press(const Key& k) { test::key(k.qtKey, int(k.modifiers)); }
    void wheel(int delta) {
        QWheelEvent e(QPointF(5, 5), cell(3)->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form, &e);
    }
    // What the window shows and paints agrees with TopRec and EditRec, and the table's current
    // record follows the selection.
    void expectShown() {
        const int rc = form->RecCount();
        for (int r = 0; r < form->maxrow(); ++r) {
            const int rec = form->TopRec() + r;
            EXPECT_EQ(cell(r)->caption(), rec < rc ? name(rec) : QString()) << "row " << r;
            EXPECT_EQ(colour(r), rec == form->EditRec() ? colors::Selected : colors::Idle) << "row " << r;
        }
        EXPECT_EQ(table->Recno(), form->EditRec());
    }

    // Every pair of keys on a code card list of `count` sheets keeps a valid window.
    void everyKeyPair(int count) {
        const Key keys[] = {{Qt::Key_Down}, {Qt::Key_Up}, {Qt::Key_PageDown}, {Qt::Key_PageUp},
                            {Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_Up, Qt::ShiftModifier},
                            {Qt::Key_PageDown, Qt::ControlModifier}, {Qt::Key_PageUp, Qt::ControlModifier},
                            {Qt::Key_Home}, {Qt::Key_End}, {Qt::Key_F5}, {Qt::Key_F6}, {Qt::Key_F7},
                            {Qt::Key_F8}, {Qt::Key_F, Qt::ControlModifier}, {Qt::Key_Return}, {Qt::Key_Escape}};
        make<codemr>(count);
        findText = QStringLiteral("거래처");
        for (const Key& k : keys)
            for (const Key& then : keys) {
                press(k);
                press(then);
                ASSERT_TRUE(form->EditRec() >= 0 && form->EditRec() <= count && form->TopRec() >= 0)
                    << k.qtKey << " then " << then.qtKey;
                expectShown();
            }
        wheel(-120);
        wheel(120);
        form->GotoEnd(true);
        EXPECT_EQ(view(), (SheetView{0, count}));
        EXPECT_EQ(events.filter(QStringLiteral("delete")).size(), count > 0 ? events.count("asked") : 0);
    }

    QWidget window;
    SheetList* form = nullptr;
    TableRef table;
    QStringList events;
    bool confirm = true;
    QString findText, offered;
};

TEST_F(TesselSheetList, KeysMoveTheWindowAndTheSelection) {
    make<mrform>(50);
    form->GotoEnd(true);
    EXPECT_EQ(view(), (SheetView{34, 50})) << "records 34 to 53, the new-sheet line selected";
    EXPECT_EQ(cell(15)->caption(), name(49));
    EXPECT_EQ(cell(16)->caption(), QString());
    EXPECT_EQ(colour(16), colors::Selected);
    EXPECT_TRUE(form->isEOF());
    EXPECT_EQ(form->Shno(), QString());

    struct Step {
        const char* name;
        Key key;
        SheetView after;
    } const steps[] = {
        {"down on the new-sheet line", {Qt::Key_Down}, {34, 50}},
        {"up", {Qt::Key_Up}, {34, 49}},
        {"home", {Qt::Key_Home}, {0, 0}},
        {"up on record 0", {Qt::Key_Up}, {0, 0}},
        {"page down", {Qt::Key_PageDown}, {20, 20}},
        {"shift down", {Qt::Key_Down, Qt::ShiftModifier}, {21, 21}},
        {"shift up", {Qt::Key_Up, Qt::ShiftModifier}, {20, 20}},
        {"page up", {Qt::Key_PageUp}, {0, 0}},
        {"ctrl page down", {Qt::Key_PageDown, Qt::ControlModifier}, {34, 49}},
        {"page down on the last sheet", {Qt::Key_PageDown}, {34, 49}},
        {"ctrl page up", {Qt::Key_PageUp, Qt::ControlModifier}, {0, 0}},
        {"end", {Qt::Key_End}, {34, 49}},
    };
    for (const Step& s : steps) {
        press(s.key);
        EXPECT_EQ(view(), s.after) << s.name;
        expectShown();
    }
    EXPECT_EQ(form->Shno(), shno(49));
    EXPECT_TRUE(events.isEmpty()) << events.join(", ").toStdString();
}

TEST_F(TesselSheetList, TheWheelAndTheMouseMoveTheSelection) {
    make<mrform>(50);
    wheel(-120);
    EXPECT_EQ(view(), (SheetView{4, 4}));
    wheel(240);
    EXPECT_EQ(view(), (SheetView{0, 0}));
    form->GotoEnd(false);
    wheel(-360);
    EXPECT_EQ(view(), (SheetView{34, 49})) << "already on the last sheet";

    QTest::mouseClick(cell(10, 1), Qt::LeftButton);
    EXPECT_EQ(view(), (SheetView{34, 44}));
    expectShown();
    QTest::mouseClick(cell(19), Qt::LeftButton);
    EXPECT_EQ(form->EditRec(), 44) << "a row past the new-sheet line is no line";
    QTest::mouseDClick(cell(2), Qt::LeftButton);
    EXPECT_EQ(form->EditRec(), 36);
    EXPECT_EQ(events, QStringList{"edit " + shno(36)});
    QTest::mouseDClick(cell(16), Qt::LeftButton);
    EXPECT_EQ(events.last(), QStringLiteral("new"));
    expectShown();
}

TEST_F(TesselSheetList, KeysAndButtonsRaiseTheContainersEvents) {
    struct Case {
        const char* name;
        int select;
        Key key;
        bool confirm;
        QStringList events;
    } const cases[] = {
        {"enter on a sheet", 3, {Qt::Key_Return}, true, {"edit S003"}},
        {"enter on the new-sheet line", 10, {Qt::Key_Return}, true, {"new"}},
        {"F7", 3, {Qt::Key_F7}, true, {"new"}},
        {"esc", 3, {Qt::Key_Escape}, true, {"end"}},
        {"alt F4", 3, {Qt::Key_F4, Qt::AltModifier}, true, {"end"}},
        {"F8 answered yes", 3, {Qt::Key_F8}, true, {"asked", "delete S003"}},
        {"F8 answered no", 3, {Qt::Key_F8}, false, {"asked"}},
        {"F8 on the new-sheet line asks nothing", 10, {Qt::Key_F8}, true, {}},
        {"F6 is not a sheet key", 3, {Qt::Key_F6}, true, {}},
        {"a letter", 3, {Qt::Key_A}, true, {}},
    };
    make<mrform>(10);
    for (const Case& c : cases) {
        events.clear();
        confirm = c.confirm;
        form->setEditRec(c.select);
        press(c.key);
        EXPECT_EQ(events, c.events) << c.name;
    }

    auto* sheetsForm = static_cast<mrform*>(form);
    QStringList copies;
    QObject::connect(sheetsForm, &mrform::CopySheet, [&](QString& s) { copies << s; });
    form->setEditRec(2);
    press({Qt::Key_F5});
    form->setEditRec(10);
    press({Qt::Key_F5});
    EXPECT_EQ(copies, QStringList{shno(2)}) << "the new-sheet line has nothing to copy";

    events.clear();
    form->setEditRec(4);
    QTest::mouseClick(form->cmdEditSheet(), Qt::LeftButton);
    QTest::mouseClick(form->cmdNewSheet(), Qt::LeftButton);
    QTest::mouseClick(form->cmdDeleteSheet(), Qt::LeftButton);
    QTest::mouseClick(sheetsForm->cmdCopySheet(), Qt::LeftButton);
    QTest::mouseClick(form->cmdEnd(), Qt::LeftButton);
    EXPECT_EQ(events, (QStringList{"edit S004", "new", "asked", "delete S004"}));
    EXPECT_EQ(copies.last(), shno(4));
    EXPECT_EQ(view(), (SheetView{0, 9}));
    EXPECT_TRUE(qobject_cast<outvar*>(test::focused()) && form->isAncestorOf(test::focused()))
        << "buttons leave the keys with the content cells";
}

TEST_F(TesselSheetList, TheContainersAnswersUpdateTableIndexAndWindow) {
    auto* f = make<mrform>(10);
    // A container that does the work the events ask for.
    int copies = 0;
    QObject::connect(f, qOverload<QString&>(&SheetList::DeleteSheet),
                     [f](QString& s) { f->DeleteTitle(Variant::array({Variant(s)})); });
    QObject::connect(f, &mrform::CopySheet, [&](QString& s) {
        const QString title = f->value()->Cell(f->EditRec(), 1).toString();
        f->AddTitle(sheet(s + "-" + QString::number(++copies), title, 0));
    });
    QObject::connect(f, &SheetList::EditSheet, [f](QString& s) { f->EditTitle(sheet(s, "고침", 1)); });

    form->setEditRec(3);
    press({Qt::Key_F8});
    EXPECT_EQ(form->RecCount(), 9);
    EXPECT_EQ(form->EditRec(), 3);
    EXPECT_EQ(form->Shno(), shno(4)) << "the next sheet moved up";
    EXPECT_EQ(cell(3)->caption(), name(4));

    press({Qt::Key_F5});
    EXPECT_EQ(view(), (SheetView{6, 9})) << "the copy selected in the row of its original";
    EXPECT_EQ(form->Shno(), shno(4) + "-1");
    EXPECT_EQ(cell(3)->caption(), name(4));

    form->setEditRec(0);
    press({Qt::Key_Return});
    EXPECT_EQ(table->Cell(0, 1).toString(), QStringLiteral("고침"));

    const std::vector<int> order = form->indexRecords();
    std::vector<QString> numbers;
    for (int rec : order) numbers.push_back(table->Cell(rec, 0).toString());
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(int(order.size()), table->RecCount());

    // A title the index does not know changes nothing.
    form->DeleteTitle(Variant::array({Variant("없음")}));
    form->EditTitle(sheet("없음", "?", 0));
    EXPECT_EQ(form->RecCount(), 10);
}

TEST_F(TesselSheetList, FindLooksInTheShownColumnsOnly) {
    make<mrform>(30);
    struct Case {
        const char* name;
        QString text;
        SheetView after;
        QStringList events;
    } const cases[] = {
        {"a name", "거래처25", {25, 25}, {}},
        {"an amount, round from the start", "50", {5, 5}, {}},
        {"only in the sheet number", "S007", {5, 5}, {"S007 문자열을 발견하지 못했습니다."}},
        {"cancelled", "", {5, 5}, {}},
    };
    QString last;
    for (const Case& c : cases) {
        events.clear();
        findText = c.text;
        press({Qt::Key_F, Qt::ControlModifier});
        EXPECT_EQ(offered, last) << c.name;
        EXPECT_EQ(view(), c.after) << c.name;
        EXPECT_EQ(events, c.events) << c.name;
        expectShown();
        last = c.text;
    }
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
    QTest::mouseClick(f->cmdCsv(), Qt::LeftButton);
    QTest::mouseClick(f->cmdLoad(), Qt::LeftButton);
    EXPECT_EQ(raised, (QStringList{"csv", "csv", "load"}));

    form->setEditRec(0);
    f->EditShno(shno(7), QStringLiteral("A007"));
    EXPECT_EQ(form->EditRec(), 7);
    EXPECT_EQ(form->Shno(), QStringLiteral("A007"));
    EXPECT_EQ(form->indexRecords().front(), 7) << "first in sheet number order now";
    f->EditShno(QStringLiteral("없음"), QStringLiteral("B"));
    EXPECT_EQ(form->EditRec(), 7);

    auto other = sheets(3);
    f->setValue(other);
    EXPECT_EQ(form->value(), other) << "shared, not copied";
    EXPECT_EQ(form->RecCount(), 3);
}

TEST_F(TesselSheetList, LayoutPutsButtonsOverHeadingsOverAlignedCells) {
    make<mrform>(5, 6);
    ASSERT_EQ(form->outHeadCount(), kColumns);
    ASSERT_EQ(form->outConCount(), 6 * kColumns);
    EXPECT_EQ(form->outHead(0)->pos(), twipsRect(30, 530, 1, 1).topLeft());
    EXPECT_EQ(form->outHead(0)->caption(), QStringLiteral("거래처"));
    EXPECT_EQ(colour(5), colors::Idle);
    for (int c = 0; c < kColumns; ++c) {
        EXPECT_EQ(cell(0, c)->x(), form->outHead(c)->x());
        EXPECT_EQ(cell(5, c)->width(), form->outHead(c)->width());
        EXPECT_GT(cell(0, c)->y(), form->outHead(c)->geometry().bottom());
    }
    EXPECT_EQ(cell(1)->y() - cell(0)->y(), twipsToPixels(390)) << "rows 360 twips high, 30 apart";
    EXPECT_LT(form->cmdEnd()->geometry().bottom(), form->outHead(0)->y());
    EXPECT_LT(form->cmdEnd()->x(), form->cmdEditSheet()->x());
    EXPECT_GT(form->height(), cell(5)->geometry().bottom());
    EXPECT_GT(form->width(), cell(5, kColumns - 1)->geometry().right());
    EXPECT_GT(form->width(), form->cmdDeleteSheet()->geometry().right()) << "narrow columns keep every button";

    form->setEditRec(3);
    window.setFocus();
    form->setFocus();
    EXPECT_EQ(test::focused(), cell(3)) << "the list's focus goes to the selected line";
}

}  // namespace
