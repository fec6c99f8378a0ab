// The editable grid: its cursor arithmetic and idle-time pass without widgets; then layout, data
// operations, the cursor carried out by the timer, line commands, find, the interrupt pass, the wheel,
// the grid as one stop of its window's tab order, and a grid driven by the keys showing what a fresh
// grid put in the same place shows; and the captioned grid, its focus parked on the caption and given
// back by real keys, the caption's keys sharing one code space with its characters.
#include "ErrorNumber.h"
#include "MakeTable.h"
#include "ModalDriver.h"
#include "Pictures.h"
#include "WaitFor.h"
#include "WidgetTest.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "tessel/Color.h"
#include "tessel/GridCursor.h"
#include "tessel/IdlePass.h"
#include "tessel/KeyCode.h"
#include "tessel/MouseHelper.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"
#include "tessel/abo.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QWheelEvent>
#include <array>

namespace tessel {
static std::ostream& operator<<(std::ostream& os, const GridCursor& c) {
    return os << "(top " << c.top << " rec " << c.rec << " fie " << c.fie << ")";
}
}  // namespace tessel

using namespace tessel;
using namespace vendra::test;
using ostrel::Variant;

namespace {

enum Effect { None = 0, Redisplay = 1, Focus = 2, Clear = 4, UpExit = 8, Unknown = 16 };

constexpr int Line = Focus | Clear, Scroll = Redisplay | Focus | Clear;

TEST(GridCursorMove, LandsWhereTheKeyLeadsAndSaysWhatToRefresh) {
    const GridShape ten3x2{10, 3, 2}, ten4x1{10, 4, 1}, two4x2{2, 4, 2};  // records, rows, fields
    // what, shape, from, key, to, effects
    const std::tuple<const char*, GridShape, GridCursor, int, GridCursor, int> cases[] = {
        {"Enter on the last field of the bottom row", ten3x2, {0, 2, 1}, vk::Enter, {1, 3, 0}, Scroll},
        {"Right within the record", ten3x2, {1, 3, 0}, vk::Right, {1, 3, 1}, Focus},
        {"Enter to the next row", ten3x2, {0, 0, 1}, vk::Enter, {0, 1, 0}, Line},
        {"Left from field 0 of a lower row", ten3x2, {1, 3, 0}, vk::Left, {1, 2, 1}, Line},
        {"Left from field 0 of the top row scrolls", ten3x2, {1, 1, 0}, vk::Left, {0, 0, 1}, Scroll},
        {"Left on the first cell stays", ten3x2, {0, 0, 0}, vk::Left, {0, 0, 0}, Clear},
        {"Up on the top row scrolls", ten3x2, {1, 1, 1}, vk::Up, {0, 0, 1}, Scroll},
        {"Up within the window", ten3x2, {0, 2, 1}, vk::Up, {0, 1, 1}, Line},
        {"Up on record 0 is the exit", ten3x2, {0, 0, 1}, vk::Up, {0, 0, 1}, UpExit},
        {"Down on the bottom row scrolls", ten3x2, {0, 2, 0}, vk::Down, {1, 3, 0}, Scroll},
        {"Down to the append line", ten3x2, {7, 9, 0}, vk::Down, {8, 10, 0}, Scroll},
        {"Down below the append line: nowhere", two4x2, {0, 2, 1}, vk::Down, {0, 2, 1}, None},
        {"Right on the append line's last field stays", two4x2, {0, 2, 1}, vk::Right, {0, 2, 1}, Clear},
        {"Home", ten3x2, {0, 1, 1}, vk::Home, {0, 1, 0}, Focus},
        {"End", ten3x2, {0, 1, 0}, vk::End, {0, 1, 1}, Focus},
        {"PgDn a page", ten4x1, {0, 1, 0}, vk::PgDn, {4, 5, 0}, Scroll},
        {"PgDn within a page of the end: last record, same row", ten4x1, {4, 5, 0}, vk::PgDn, {8, 9, 0}, Scroll},
        {"PgDn on the append line stays", two4x2, {0, 2, 0}, vk::PgDn, {0, 2, 0}, Clear},
        {"PgUp a page", ten4x1, {8, 9, 0}, vk::PgUp, {4, 5, 0}, Scroll},
        {"PgUp less than a page from the top", ten4x1, {2, 5, 0}, vk::PgUp, {0, 3, 0}, Scroll},
        {"PgUp on the first page: record 0", ten4x1, {0, 1, 0}, vk::PgUp, {0, 0, 0}, Line},
        {"Ctrl+PgDn: the last record alone at the top", ten4x1, {0, 0, 0}, keycmd::CtrlPgDn, {9, 9, 0}, Scroll},
        {"Ctrl+PgDn without records: line 0, never -1", {0, 4, 1}, {0, 0, 0}, keycmd::CtrlPgDn, {0, 0, 0}, Scroll},
        {"Ctrl+PgUp", ten4x1, {9, 9, 0}, keycmd::CtrlPgUp, {0, 0, 0}, Scroll},
        {"Any other key is no move", ten4x1, {0, 1, 0}, vk::F5, {0, 1, 0}, Unknown}};
    for (const auto& [what, shape, from, key, to, effects] : cases) {
        const GridMove m = moveCursor(from, key, shape);
        EXPECT_EQ(m.to, to) << what;
        EXPECT_EQ((m.redisplay ? Redisplay : 0) | (m.focus ? Focus : 0) | (m.clearPassby ? Clear : 0) |
                      (m.upExit ? UpExit : 0) | (m.known ? 0 : Unknown), effects) << what;
    }
}

TEST(GridCursorPassOver, GoesOnInTheMoveDirectionButTurnsAtTheEnds) {
    const GridShape s{3, 4, 3}, locked{3, 4, 3, true};
    // at, last key, shape, the key that passes over
    const std::tuple<GridCursor, int, GridShape, int> cases[] = {
        {{0, 0, 0}, vk::Left, s, vk::Right},      // the first cell: to the right
        {{0, 3, 2}, vk::Right, s, vk::Left},      // the append line's last field
        {{0, 2, 2}, vk::Right, locked, vk::Left},  // the last line under LineLock
        {{0, 2, 2}, vk::Right, s, vk::Right}, {{0, 1, 1}, vk::Up, s, vk::Up},
        {{0, 1, 0}, vk::Home, s, vk::Right},  // Home again would land here again
        {{0, 1, 1}, vk::PgDn, s, vk::Right}};
    for (const auto& [at, lastkey, shape, key] : cases)
        EXPECT_EQ(passOverKey(at, lastkey, shape), key) << at << " after " << lastkey;

    EXPECT_TRUE(beyondUsableLines({0, 4, 0}, s));
    EXPECT_FALSE(beyondUsableLines({0, 3, 0}, s));  // the append line
    EXPECT_TRUE(beyondUsableLines({0, 3, 0}, locked));
    EXPECT_FALSE(beyondUsableLines({0, 0, 0}, GridShape{0, 4, 3, true}));  // no records: the one line
}

TEST(GridCursorWheel, FourLinesANotchWithinTheRecords) {
    // from, wheel delta, to (20 records)
    const std::tuple<GridCursor, int, GridCursor> cases[] = {
        {{0, 0, 1}, -120, {4, 4, 1}}, {{4, 4, 1}, -360, {16, 16, 1}},
        {{16, 16, 1}, -120, {19, 19, 1}},  // stops with the last record in the cursor's row
        {{19, 19, 1}, -120, {19, 19, 1}}, {{19, 19, 1}, 540, {1, 1, 1}},
        {{1, 1, 1}, 120, {0, 0, 1}},  // less than a notch from the top: back by the top
        {{2, 4, 0}, 120, {0, 2, 0}}, {{0, 0, 0}, 120, {0, 0, 0}}};
    for (const auto& [from, delta, to] : cases)
        EXPECT_EQ(scrollCursor(from, delta, 20), to) << from << " by " << delta;
    EXPECT_EQ(scrollCursor({0, 0, 0}, -120, 0), (GridCursor{0, 0, 0}));
}

TEST(IdlePassTest, WaitsASecondAfterAMoveAndShiftsWithDeletedAndInsertedLines) {
    using namespace std::chrono;
    steady_clock::time_point now{};
    IdlePass pass([&] { return now; });
    EXPECT_EQ(pass.take(3), -1);  // not started
    pass.start();
    EXPECT_EQ(pass.wait(), 0);  // never moved: at once
    EXPECT_EQ(pass.take(3), 0);
    pass.noteMove();
    EXPECT_EQ(pass.wait(), 1001);
    now += milliseconds(1000);
    EXPECT_EQ(pass.wait(), 1);
    now += milliseconds(1);
    EXPECT_EQ(pass.wait(), 0);
    EXPECT_EQ(pass.take(3), 1);
    pass.lineDeleted(0);  // before the next record: it moved up
    EXPECT_EQ(pass.next(), 1);
    pass.lineInserted(5);  // after it: no change
    pass.lineInserted(0);
    EXPECT_EQ(pass.take(3), 2);
    EXPECT_TRUE(pass.running());
    EXPECT_EQ(pass.take(3), -1);  // every record passed
    EXPECT_FALSE(pass.running());
    pass.start();
    EXPECT_EQ(pass.next(), 0);
}


QString text(int r, int f) { return QStringLiteral("r%1f%2").arg(r).arg(f); }
ostrel::TableRef texts(int records, int fields) {
    return makeTable(fields, records, [](int r, int f) { return Variant(text(r, f)); });
}
Variant textStru(int fields, int notStopField = -1) {
    std::vector<Variant> defs;
    for (int f = 0; f < fields; ++f)
        defs.push_back(
            fieldDef("C", 6, 0, QStringLiteral("제목%1").arg(f), f == notStopField ? Variant("notstop") : Variant()));
    return makeStru(std::move(defs));
}

using Arrival = std::tuple<int, int, int>;  // record, field, last key

class TesselGrid : public SteadyCaret {
protected:
    void make(int maxrow, const Variant& stru, int records, int nof = 0) {
        if (captioned) shape(captioned, maxrow, stru, records, nof);
        else shape(grid = new ab(&window), maxrow, stru, records, nof);
        QWidget* outer = captioned ? static_cast<QWidget*>(captioned) : grid;
        other = new QLineEdit(&window);
        other->move(0, outer->height() + 10);
        QObject::connect(grid, &ab::abexit, [this](int& k) { exits.push_back(k); });
        window.resize(outer->width() + 20, outer->height() + 60);
        ASSERT_TRUE(showActive(&window));
    }
    // The grid under a caption; the events recorded are then the captioned grid's.
    void makeCaptioned(int maxrow, const Variant& stru, int records) {
        captioned = new abo(&window);
        captioned->setCaption("발주");
        grid = captioned->ab1();
        make(maxrow, stru, records);
    }
    // Lays out and fills a plain or captioned grid through its own members, and records its events.
    template <class Grid>
    void shape(Grid* g, int maxrow, const Variant& stru, int records, int nof) {
        g->setMaxrow(maxrow);
        g->setNOF(nof);
        g->setStru(stru);
        if (records > 0) g->setValue(texts(records, g->NOF()));
        QObject::connect(g, &Grid::CellGotFocus, [this](int& rec, int& fie, int& lastkey, int& nextkey) {
            arrivals.push_back({rec, fie, lastkey});
            if (onArrive) onArrive(rec, fie, nextkey);
        });
        QObject::connect(g, &Grid::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(g, &Grid::Modified, [this] { ++modified; });
    }
    bool onCaption() const { return captioned->outvar1()->hasFocus(); }
    void focusCaption() {
        captioned->outvar1()->setFocus();
        WAIT_FOR(onCaption());
    }
    invar* cellAt(int row, int f) const { return grid->invar1(row * grid->displayedFields() + f); }
    void focus(int row, int f, Qt::FocusReason why = Qt::OtherFocusReason) {
        ASSERT_TRUE(focusOn(cellAt(row, f)->Text1(), why));
        settle();
    }
    // Waits until the timer has carried out every pending move.
    void settle() { ASSERT_TRUE(QTest::qWaitFor([&] { return grid->nextkey() == 0; }, 2000)); }
    // The cursor, and the cell that has the focus showing the cursor's cell.
    void expectCursor(int rec, int fie, int top) {
        EXPECT_EQ(grid->cursor(), (GridCursor{top, rec, fie}));
        invar* c = cellAt(rec - top, fie);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([c] { return c->Text1()->hasFocus(); }, 1000))
            << "focus is not on row " << rec - top << " field " << fie;
    }
    void press(int qtKey, int mods = 0) {
        key(qtKey, mods);
        settle();
    }
    // Presses each key with its modifiers and expects the cursor (record, field, top) it must leave.
    void walk(std::initializer_list<std::array<int, 5>> steps) {
        for (const auto& [qtKey, mods, rec, fie, top] : steps) {
            press(qtKey, mods);
            SCOPED_TRACE(testing::Message() << "key " << qtKey);
            expectCursor(rec, fie, top);
        }
    }
    QString stored(int r, int f) const { return grid->Cell(r, f).toString(); }
    QString shown(int row, int f) const { return cellAt(row, f)->value().toString(); }

    QWidget window;
    ab* grid = nullptr;
    abo* captioned = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Arrival> arrivals;
    std::vector<int> exits, keys;
    int modified = 0;
    std::function<void(int, int&, int&)> onArrive;
};

constexpr int Ctrl = Qt::ControlModifier;

TEST_F(TesselGrid, LayoutHoldsHiddenFieldsFollowsTheCellIndexRuleAndRefusesMalformedStructures) {
    make(5, textStru(3), 0, 4);
    EXPECT_EQ(std::tuple(grid->value()->NOF(), grid->invar1Count(), grid->outvar1Count()), std::tuple(4, 15, 3));
    grid->appendrec(Variant::array({Variant("a"), Variant("b"), Variant("c"), Variant("hidden")}));
    EXPECT_EQ(std::tuple(stored(0, 3), shown(0, 2), grid->titles(1).toString(), cellAt(2, 1)->length()),
              std::tuple(QStringLiteral("hidden"), QStringLiteral("c"), QStringLiteral("제목1"), 6));
    // Rows under their headings, fields side by side, the grid around them.
    for (int r = 0; r < 5; ++r)
        for (int f = 0; f < 3; ++f) {
            EXPECT_EQ(cellAt(r, f)->x(), grid->outvar1(f)->x());
            EXPECT_GT(cellAt(r, f)->y(), r ? cellAt(r - 1, f)->y() : grid->outvar1(f)->y());
        }
    EXPECT_TRUE(grid->rect().contains(cellAt(4, 2)->geometry()));

    EXPECT_EQ(errorOf([&] { grid->setStru(textStru(2)); }), ostrel::err::InvalidArgument);  // written once
    ab fresh;
    fresh.setMaxrow(3);
    EXPECT_EQ(errorOf([&] { fresh.setStru(Variant("C")); }), ostrel::err::TypeMismatch);
    EXPECT_EQ(fresh.invar1Count(), 1);  // nothing laid out
    EXPECT_EQ(errorOf([&] { grid->setOCell(5, 0, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(errorOf([&] { grid->setOCell(0, 7, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(errorOf([&] { grid->setCell(-1, 0, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(grid->RecCount(), 1);
}

TEST_F(TesselGrid, CellWritesAppendAndRaiseTheirEventsInOrder) {
    make(5, textStru(2), 3);
    QStringList events;
    QObject::connect(grid, &ab::CellModified, [&](int& rec, int& fie, Variant& old, bool& internal) {
        events << QStringLiteral("CellModified %1 %2 [%3] %4").arg(rec).arg(fie).arg(old.toString()).arg(internal);
    });
    QObject::connect(grid, &ab::Modified, [&] { events << QStringLiteral("Modified"); });
    grid->setCell(3, 0, Variant("new"));
    grid->setPCell(6, 1, Variant("far"));
    grid->setOCell(1, 1, Variant("quiet"));
    grid->setOCell(6, 1, Variant("unshown"));  // record 6 is below the window: table only
    EXPECT_EQ(events, (QStringList{"CellModified 3 0 [] 0", "Modified", "Modified"}));
    EXPECT_EQ(std::tuple(grid->RecCount(), shown(3, 0), shown(1, 1), stored(6, 1)),
              std::tuple(7, QStringLiteral("new"), QStringLiteral("quiet"), QStringLiteral("unshown")));

    // A typed value is stored with internaledit true; typing on the append line creates the record.
    events.clear();
    focus(0, 0);
    grid->zap();
    grid->setValue(texts(1, 2));
    focus(1, 0);
    typeText(QStringLiteral("typed"));
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(stored(1, 0), events),
              std::tuple(QStringLiteral("typed"), QStringList{"CellModified 1 0 [] 1", "Modified"}));
    expectCursor(1, 1, 0);
    grid->trim();
    EXPECT_EQ(grid->RecCount(), 2);
    grid->setOCell(1, 0, Variant(""));
    grid->trim();
    EXPECT_EQ(grid->RecCount(), 1);
}

TEST_F(TesselGrid, ValueCopiesInAndOutAndKeepsItsOwnTable) {
    make(5, textStru(2), 0);
    ostrel::TableRef source = texts(12, 2);
    grid->setValue(source);
    EXPECT_NE(grid->value(), source);
    EXPECT_TRUE(source->isEOF());
    for (int r = 0; r < 5; ++r) EXPECT_EQ(shown(r, 1), text(r, 1));
    source->setCell(0, 0, Variant("changed"));
    EXPECT_EQ(stored(0, 0), text(0, 0));
    grid->setValue(grid->value());  // its own table back: the records stay
    EXPECT_EQ(stored(11, 1), text(11, 1));
    // A table the grid cannot number is refused before anything is lost.
    auto huge = makeTable(1, ab::kMaxRecords + 1, [](int, int) { return Variant(); });
    EXPECT_THROW(grid->setValue(huge), ostrel::RuntimeError);
    EXPECT_EQ(grid->RecCount(), 12);
    grid->setValue(texts(2, 1));  // a narrower table fills what it has
    EXPECT_EQ(std::tuple(stored(1, 0), stored(1, 1)), std::tuple(text(1, 0), QString()));
}

TEST_F(TesselGrid, WheelScrollsTheWindowAndCommitsTheEditToItsRecord) {
    make(5, textStru(2), 20);
    auto* helper = new MouseHelper(&window);
    helper->attach(grid);
    std::vector<int> deltas;
    QObject::connect(helper, &MouseHelper::MouseWheel, [&](int&, int& d) { deltas.push_back(d); });
    focus(0, 1);
    auto turn = [&](int delta) {
        QWidget* target = cellAt(2, 0)->Text1();
        QWheelEvent ev(QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &ev);
    };
    turn(-120);
    EXPECT_EQ(deltas, std::vector<int>{-120});
    expectCursor(4, 1, 4);
    EXPECT_EQ(shown(0, 1), text(4, 1));
    grid->MouseWheel(120);
    EXPECT_EQ(grid->cursor(), (GridCursor{0, 0, 1}));
    // An edit in progress belongs to the record it was typed on.
    typeText(QStringLiteral("edited"));
    turn(-120);
    EXPECT_EQ(std::tuple(stored(0, 1), shown(0, 1)), std::tuple(QStringLiteral("edited"), text(4, 1)));
}

TEST_F(TesselGrid, HeadingOfABooleanFieldTogglesEveryRecord) {
    make(3, makeStru({fieldDef("C", 4, 0, "이름"), fieldDef("B", 2, 0, "선택")}), 5);
    grid->setOCell(2, 1, Variant(false));
    grid->setOCell(3, 1, Variant(true));
    for (bool second : {false, true}) {  // True becomes empty, anything else (empty, False) True
        QTest::mouseClick(grid->outvar1(1), Qt::LeftButton);
        for (int r = 0; r < 5; ++r)
            EXPECT_TRUE(grid->Cell(r, 1).identical((r == 3) == second ? Variant(true) : Variant())) << r;
        EXPECT_EQ(cellAt(0, 1)->text(), second ? QString() : QStringLiteral("＋"));
    }
    QTest::mouseClick(grid->outvar1(0), Qt::LeftButton);  // not a Boolean field
    EXPECT_EQ(std::tuple(stored(0, 0), modified), std::tuple(text(0, 0), 0));
}

TEST_F(TesselGrid, MovesPutTheFocusOnTheCursorsCellAndScrollTheWindow) {
    make(3, textStru(2), 10);
    focus(2, 1);
    walk({{Qt::Key_Return, 0, 3, 0, 1}, {Qt::Key_Left, 0, 2, 1, 1}, {Qt::Key_PageDown, 0, 5, 1, 4}});
    EXPECT_EQ(shown(0, 1), text(4, 1));
    walk({{Qt::Key_PageUp, Ctrl, 0, 1, 0}, {Qt::Key_Home, 0, 0, 0, 0}});
    EXPECT_EQ(grid->lastkey(), vk::Home);
    walk({{Qt::Key_F5, 0, 0, 0, 0}});  // no move: reported to the container
    grid->setValue(texts(2, 2));
    focus(2, 1);  // the append line: Page Down goes to the container
    walk({{Qt::Key_PageDown, 0, 2, 1, 0}});
    EXPECT_EQ(keys, (std::vector<int>{vk::F5, vk::PgDn}));
}

// A fast typist's keys arrive before the timer has carried out the move before them: each must
// reach the cell that move lands on, never the cell being left.
TEST_F(TesselGrid, KeysTypedAheadOfAMoveReachTheCellTheMoveLandsOn) {
    make(4, textStru(2), 6);
    focus(0, 0);
    for (int i = 0; i < 2; ++i) {
        key(Qt::Key_Down);
        typeText(i ? QStringLiteral("y") : QStringLiteral("x"));
        key(Qt::Key_Return);
    }
    settle();
    EXPECT_EQ(std::tuple(stored(0, 0), stored(1, 0), stored(2, 1)),
              std::tuple(text(0, 0), QStringLiteral("x"), QStringLiteral("y")));
    expectCursor(3, 0, 0);
}

TEST_F(TesselGrid, KeysTypedAheadFollowPassOversToTheNextLine) {
    // The order sheet's shape: a locked name, a NOTSTOP unit, quantity, a NOTSTOP price, remark.
    make(6, makeStru({fieldDef("C", 4, 0, "a", Variant("Locked")), fieldDef("C", 4, 0, "b", Variant("NotStop")),
                      fieldDef("C", 4, 0, "c"), fieldDef("C", 4, 0, "d", Variant("NotStop")),
                      fieldDef("C", 4, 0, "e")}),
         8);
    focus(0, 2);
    typeText(QStringLiteral("3"));
    key(Qt::Key_Return);  // on to the remark
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    typeText(QStringLiteral("2"));
    key(Qt::Key_Return);  // last field: the next line's locked name
    key(Qt::Key_Right);   // past the NOTSTOP unit
    typeText(QStringLiteral("5"));
    key(Qt::Key_Return);  // past the NOTSTOP price
    settle();
    EXPECT_EQ(std::tuple(stored(0, 2), stored(2, 4), stored(3, 2), stored(3, 0)),
              std::tuple(QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("5"), text(3, 0)));
    expectCursor(3, 4, 0);
}

TEST_F(TesselGrid, NotStopFieldsArePassedInTheDirectionOfTheMove) {
    make(5, textStru(3, 1), 4);
    focus(1, 0);
    arrivals.clear();
    walk({{Qt::Key_Right, 0, 1, 2, 0}, {Qt::Key_Left, 0, 1, 0, 0}});
    EXPECT_EQ(arrivals, (std::vector<Arrival>{{1, 2, vk::Right}, {1, 0, vk::Left}}));
    EXPECT_TRUE(cellAt(1, 1)->Locked());
    // Up and Down: a Passby mark on the field below makes the cursor go on to the next row.
    grid->setPassby(0, true);
    walk({{Qt::Key_Down, 0, 3, 0, 0}});
    grid->setPassby(0, true);
    walk({{Qt::Key_Up, 0, 1, 0, 0}});
    grid->setPassby(7, true);  // outside the displayed fields: ignored
    walk({{Qt::Key_Up, 0, 0, 0, 0}});
}

TEST_F(TesselGrid, CellGotFocusHandlersSteerTheCursor) {
    make(4, textStru(4), 3);
    focus(0, 0);
    onArrive = [&](int, int fie, int& nextkey) {
        if (fie == 1) nextkey = grid->NotStopNextkey().toInteger();  // field 1 is never a stop
        if (fie == 2) grid->setPassby(3, true);
    };
    // Field 1 passed through the handler; field 3 skipped once, then the next row.
    walk({{Qt::Key_Right, 0, 0, 2, 0}, {Qt::Key_Right, 0, 1, 0, 0}});
    EXPECT_TRUE(grid->NotStopNextkey().identical(Variant(int16_t(vk::Right))));
    press(Qt::Key_PageUp);
    EXPECT_TRUE(grid->NotStopNextkey().identical(Variant(int32_t(vk::Right))));
    EXPECT_EQ(grid->lastkey(), vk::PgUp);
    onArrive = [](int, int& fie, int&) { fie = 1; };  // the handler holds the cursor by reference
    ASSERT_TRUE(focusOn(cellAt(2, 0)->Text1(), Qt::MouseFocusReason));
    WAIT_FOR(grid->rec() == 2);
    EXPECT_EQ(grid->fie(), 1);
}

TEST_F(TesselGrid, TabAndShiftTabLeaveTheGridFromAnyCellAndComeBackToItsCursor) {
    make(3, textStru(2), 2);
    auto* previous = new QLineEdit(&window);  // last in the tab chain: Shift+Tab from the grid lands here
    previous->show();
    // record, field, key, forward, typed into the cell first (the edit is kept when the focus leaves)
    const std::tuple<int, int, int, bool, const char*> cases[] = {
        {0, 0, Qt::Key_Tab, true, ""},    {2, 1, Qt::Key_Tab, true, ""},  // the append line
        {1, 1, Qt::Key_Tab, true, "xy"},  {1, 0, Qt::Key_Tab, false, ""}, {1, 1, Qt::Key_Backtab, false, "z"}};
    for (const auto& [rec, fie, qtKey, forward, typed] : cases) {
        SCOPED_TRACE(testing::Message() << rec << "," << fie << " forward " << forward << " " << typed);
        focus(rec, fie, Qt::MouseFocusReason);
        typeText(QString::fromUtf8(typed));
        key(qtKey, forward ? 0 : int(Qt::ShiftModifier));
        QWidget* expected = forward ? other : previous;
        WAIT_FOR(focused() == expected);
        EXPECT_TRUE(!*typed || stored(rec, fie) == QString::fromUtf8(typed)) << "the edit is lost";
        key(Qt::Key_Tab, forward ? int(Qt::ShiftModifier) : 0);  // back the opposite way: the cursor's cell
        QWidget* cursorCell = cellAt(rec, fie)->Text1();
        WAIT_FOR(focused() == cursorCell);
    }
    EXPECT_TRUE(exits.empty());
    // Alone in its window the grid keeps the focus on Tab, and Esc leaves through its exit.
    delete previous;
    delete other;
    key(Qt::Key_Tab);
    press(Qt::Key_Escape);
    EXPECT_EQ(exits, std::vector<int>{vk::Esc});
    EXPECT_EQ(focused(), cellAt(1, 1)->Text1());
}

TEST_F(TesselGrid, ClickBelowTheAppendLineWalksUpToIt) {
    make(6, textStru(2), 2);
    QTest::mouseClick(cellAt(5, 1)->Text1(), Qt::LeftButton);
    settle();
    expectCursor(2, 1, 0);
    // Nothing appended on the way up.
    EXPECT_EQ(std::tuple(grid->RecCount(), arrivals.back()), std::tuple(2, Arrival{2, 1, vk::Up}));
    grid->setLineLock(true);  // with LineLock the append line is no stop either
    QTest::mouseClick(cellAt(4, 0)->Text1(), Qt::LeftButton);
    settle();
    expectCursor(1, 0, 0);
}

TEST_F(TesselGrid, LineDeleteAndInsertFollowTheCursor) {
    make(4, textStru(2), 3);
    std::vector<std::pair<int, QString>> deleted;
    QObject::connect(grid, &ab::LineDeleted, [&](int& rec, Variant& record) {
        deleted.push_back({rec, record.toArray().at(1).toString()});
    });
    focus(3, 0);  // the append line: nothing to delete
    walk({{Qt::Key_Y, Ctrl, 3, 0, 0}});
    EXPECT_EQ(modified, 0);
    focus(1, 0);
    walk({{Qt::Key_Y, Ctrl, 1, 0, 0}});
    EXPECT_EQ(deleted, (std::vector<std::pair<int, QString>>{{1, text(1, 1)}}));
    EXPECT_EQ(shown(1, 0), text(2, 0));
    walk({{Qt::Key_N, Ctrl, 1, 0, 0}});
    EXPECT_EQ(std::tuple(stored(1, 0), stored(2, 0), cellAt(1, 0)->text(), modified),
              std::tuple(QString(), text(2, 0), QString(), 2));
    grid->setLineLock(true);
    walk({{Qt::Key_Y, Ctrl, 1, 0, 0}, {Qt::Key_N, Ctrl, 1, 0, 0}});
    EXPECT_EQ(std::tuple(grid->RecCount(), modified), std::tuple(3, 2));
}

// Esc, Up with UpExit and a second Enter on the append line leave through the exit as well: the captioned
// grid parks the focus on its caption for them.
TEST_F(TesselGrid, ExitsToTheContainer) {
    make(3, textStru(2), 0);
    focus(0, 0);
    press(Qt::Key_Up);  // record 0 without UpExit: nothing
    grid->setReturnExit(true);
    press(Qt::Key_Return);
    EXPECT_EQ(exits, std::vector<int>{vk::Enter});
}

TEST_F(TesselGrid, InterruptPassVisitsEveryRecordAndPausesAfterAMove) {
    make(5, textStru(1), 100);
    std::chrono::steady_clock::time_point now{};
    grid->setIdleClock([&] { return now; });
    std::vector<int> seen;
    QObject::connect(grid, &ab::Interrupt, [&](int& rec) { seen.push_back(rec); });
    focus(0, 0);
    now += std::chrono::seconds(2);
    grid->DoInterrupt();
    WAIT_FOR(seen.size() == 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[size_t(i)], i);
    // A move holds the pass for a second of the grid's clock; the pass ends at RecCount.
    press(Qt::Key_Down);
    grid->DoInterrupt();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 100u);
    now += std::chrono::milliseconds(1001);
    WAIT_FOR(seen.size() == 200);
    EXPECT_EQ(seen.back(), 99);
    grid->DoInterrupt();
    grid->zap();  // stops it
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 200u);
}

TEST_F(TesselGrid, FindReportsTheCountOfANewTextAndMovesOnQuietlyForTheSame) {
    make(3, textStru(2), 0);
    for (const char* v : {"사과", "배", "사과즙", "포도", "청사과", "감"})
        grid->appendrec(Variant::array({Variant("x"), Variant(v)}));
    grid->setValue(grid->value());
    focus(0, 1);
    ModalDriver driver;
    QString prompt, caption;
    // typed, record and top found, the message shown (nullptr: none new)
    const std::tuple<const char*, int, int, const char*> cases[] = {
        {"사과", 2, 2, "'사과' 문자열 3 개를 찾았습니다."}, {"사과", 4, 4, nullptr},
        {"사과", 0, 0, nullptr},  // wraps round to the first records
        {"수박", 0, 0, "수박 문자열을 발견하지 못했습니다."},
        {"포", 3, 3, "'포' 문자열 1 개를 찾았습니다."}};  // anywhere in the text
    for (const auto& [typed, rec, top, message] : cases) {
        const qsizetype before = driver.messages.size();
        const QString answer = QString::fromUtf8(typed);
        driver.onNextModal([&, answer](QWidget* m) {
            auto* dlg = qobject_cast<QInputDialog*>(m);
            ASSERT_NE(dlg, nullptr);
            prompt = dlg->labelText();
            caption = dlg->windowTitle();
            dlg->setTextValue(answer);
            dlg->accept();
        });
        press(Qt::Key_F, Ctrl);
        if (message) WAIT_EQ(driver.messages.value(before), QString::fromUtf8(message));
        else EXPECT_EQ(driver.messages.size(), before) << typed;
        expectCursor(rec, 1, top);
    }
    EXPECT_EQ(prompt, QStringLiteral("제목1  필드 안에서 찾을 문자열을 입력하세요."));
    EXPECT_EQ(std::tuple(caption, driver.captions.value(0)), std::tuple(QStringLiteral("찾기"), QStringLiteral("찾기")));
}

TEST_F(TesselGrid, LockedGridKeepsLockedFieldsLockedAndStoresNothingOnTheAppendLine) {
    make(3, makeStru({fieldDef("C", 4, 0, "a"), fieldDef("C", 4, 0, "b", Variant("Locked"))}), 0);
    grid->setLocked(true);
    EXPECT_TRUE(cellAt(0, 0)->Locked());
    grid->setLocked(false);
    EXPECT_EQ(std::tuple(cellAt(0, 0)->Locked(), cellAt(0, 1)->Locked()), std::tuple(false, true));
    grid->setLineLock(true);  // no records: the append line is the one line, but nothing is stored
    focus(0, 0);
    typeText(QStringLiteral("lost"));
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(grid->RecCount(), cellAt(0, 0)->value(), modified), std::tuple(0, Variant(), 0));
}

struct Upper : InputProcess {
    Variant AfterEnter(QString& t) override { return Variant(t.toUpper()); }
    Variant AfterF3(QString&) override { return Variant::null(); }
    bool LastFilter(Variant&) override { return true; }
};

TEST_F(TesselGrid, InputProcessOfAFieldServesEveryCellAndIsReportedWithItsRecord) {
    auto p = std::make_shared<Upper>();
    make(3, makeStru({fieldDef("C", 6, 0, "코드", fromInputProcess(p)), fieldDef("C", 6, 0, "이름")}), 2);
    using Cells = std::vector<std::pair<int, int>>;
    Cells before, after;
    QObject::connect(grid, &ab::CellInputProcess, [&](int& rec, int& fie, InputProcessRef& obj) {
        EXPECT_EQ(obj, p);
        before.push_back({rec, fie});
    });
    QObject::connect(grid, &ab::CellAfterInputProcess,
                     [&](int& rec, int& fie, InputProcessRef&) { after.push_back({rec, fie}); });
    for (int r = 0; r < 3; ++r) EXPECT_EQ(cellAt(r, 0)->InputProcess(), p);
    EXPECT_EQ(cellAt(0, 1)->InputProcess(), nullptr);
    focus(1, 0);
    typeText(QStringLiteral("ab"));
    walk({{Qt::Key_Return, 0, 1, 1, 0}});
    EXPECT_EQ(std::tuple(stored(1, 0), before, after), std::tuple(QStringLiteral("AB"), Cells{{1, 0}}, Cells{{1, 0}}));
}

TEST_F(TesselGrid, DrivenGridShowsWhatAFreshGridShowsInItsPlace) {
    const Variant stru = makeStru({fieldDef("C", 8, 0, "품목"), fieldDef("N", 8, 1, "수량", Variant("notstop")),
                                   fieldDef("D", 8, 0, "일자"), fieldDef("C", 6, 0, "비고")});
    make(6, stru, 0);
    // Long names (shrunk) every fifth record, blank numbers and remarks now and then.
    grid->setValue(makeTable(4, 40, [](int r, int f) -> Variant {
        if (f == 0 && r % 5 == 3) return QStringLiteral("아주 긴 품목 이름 %1").arg(r);
        if (f == 1) return r % 4 != 1 ? Variant(ostrel::Currency::fromDouble(r * 1.5)) : Variant();
        if (f == 2) return Variant(ostrel::DateSerial(2024, 1 + r % 12, 1 + r % 28));
        return f == 3 && r % 3 == 0 ? Variant() : Variant(QStringLiteral("행%1 칸%2").arg(r).arg(f));
    }));
    // The grid, rendered and on its window's surface, against a fresh grid scrolled by the wheel and
    // focused in its place.
    auto expectSameAsFresh = [&](const char* when) {
        SCOPED_TRACE(when);
        const QImage rendered = picture(grid);
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(grid) == rendered; }, 2000))
            << "surface against rendering: " << difference(onSurface(grid), rendered);
        {
            QWidget freshWindow;
            auto* fresh = new ab(&freshWindow);
            fresh->setMaxrow(6);
            fresh->setStru(stru);
            fresh->setValue(grid->value()->clone());
            freshWindow.resize(fresh->size() + QSize(20, 20));
            ASSERT_TRUE(showActive(&freshWindow));
            fresh->MouseWheel(-30 * grid->top());  // a quarter notch per record
            ASSERT_TRUE(focusOn(fresh->invar1((grid->rec() - grid->top()) * 4 + grid->fie())->Text1()));
            ASSERT_TRUE(QTest::qWaitFor([&] { return fresh->nextkey() == 0; }, 2000));
            ASSERT_EQ(fresh->cursor(), grid->cursor());
            const QImage expected = picture(fresh);
            EXPECT_TRUE(rendered == expected) << difference(rendered, expected);
        }
        ASSERT_TRUE(showActive(&window));
    };
    focus(0, 0);
    for (int i = 0; i < 9; ++i) press(Qt::Key_Down);  // scrolls four records
    ASSERT_EQ(grid->top(), 4);
    expectSameAsFresh("after Down moves");
    for (int i = 0; i < 7; ++i) press(Qt::Key_Up);  // back up, scrolling two
    ASSERT_EQ(grid->cursor(), (GridCursor{2, 2, 0}));
    expectSameAsFresh("after Up moves");

    // An edit committed by Enter, which then passes over the NOTSTOP field.
    typeText(QStringLiteral("new"));
    ASSERT_EQ(cellAt(0, 0)->mode(), invar::Mode::Editing);
    press(Qt::Key_Return);
    ASSERT_EQ(std::tuple(grid->fie(), stored(2, 0)), std::tuple(2, QStringLiteral("new")));
    expectSameAsFresh("after the edit and the pass-over");

    // Edited then scrolled away by Down at the bottom row, in the last field.
    press(Qt::Key_Right);
    for (int i = 0; i < 5; ++i) press(Qt::Key_Down);
    key(Qt::Key_F2);
    typeText(QStringLiteral("x"));
    for (int i = 0; i < 3; ++i) press(Qt::Key_Down);
    ASSERT_EQ(std::pair(grid->top(), grid->fie()), std::pair(5, 3));
    expectSameAsFresh("after an edit scrolled away");

    // Across the last record onto the blank line below it.
    for (int i = 0; i < 40; ++i) press(Qt::Key_Down);
    ASSERT_EQ(grid->rec(), 40);
    expectSameAsFresh("at the end");
}

TEST_F(TesselGrid, LeavingKeysParkTheFocusOnTheCaptionAndBack) {
    makeCaptioned(4, textStru(3), 3);
    captioned->setUpExit(true);
    auto captionColour = [&] { return fromQColor(captioned->outvar1()->palette().color(QPalette::Window)); };
    const long background = fromQColor(QApplication::palette().color(QPalette::Window));
    const std::pair<int, std::pair<int, int>> leaves[] = {{Qt::Key_Escape, {1, 1}}, {Qt::Key_Up, {0, 2}}};
    for (const auto& [key, from] : leaves) {
        focus(from.first, from.second);
        EXPECT_EQ(captionColour(), background);
        vendra::test::key(key);  // Esc anywhere, Up on the first record with UpExit
        WAIT_FOR(onCaption());
        EXPECT_EQ(std::tuple(captioned->inGrid(), captionColour()), std::tuple(false, colors::Selected));
        for (int back : {Qt::Key_Down, Qt::Key_Return}) {
            focusCaption();
            vendra::test::key(back);
            WAIT_FOR(captioned->inGrid());
            expectCursor(from.first, from.second, 0);  // back to the cursor
        }
    }
    EXPECT_TRUE(keys.empty()) << "leaving by Esc or Up raises nothing";

    captioned->zap();  // in the grid: the caption takes the focus first
    WAIT_FOR(onCaption());
    EXPECT_EQ(captioned->RecCount(), 0);
    captioned->setDoubleEnterExit(true);
    focus(0, 0);
    key(Qt::Key_Return);
    WAIT_FOR(grid->fie() == 1);
    key(Qt::Key_Return);
    WAIT_FOR(onCaption());
    EXPECT_EQ(keys, std::vector<int>{vk::Enter}) << "a second Enter on the empty line leaves with Enter";
    EXPECT_EQ(exits, (std::vector<int>{vk::Esc, vk::Up, vk::Enter})) << "every leaving key is the grid's exit";
}

TEST_F(TesselGrid, CaptionReportsKeysTypesCharactersIntoTheGridAndPassesTheGridsEventsThrough) {
    makeCaptioned(4, textStru(3), 3);
    focus(2, 1);
    // key (0: type the text), text, keycommand raised (0: none), what lands in the grid's cell ("": the
    // caption keeps the focus)
    const std::tuple<int, QString, int, QString> cases[] = {
        {Qt::Key_PageUp, {}, vk::PgUp, {}}, {Qt::Key_F2, {}, vk::F2, {}},
        {0, "!", vk::PgUp, {}},  // one code space: ! is PgUp, & is Up
        {0, "&", vk::Up, {}},
        {0, "k", 0, "k"}, {0, "가", 0, "가"},
        {Qt::Key_Home, {}, 0, "$"},  // Home and End fall in the character range
        {Qt::Key_End, {}, 0, "#"}, {Qt::Key_Backspace, {}, 0, {}},
    };
    for (const auto& [qtKey, typedText, reported, landed] : cases) {
        focusCaption();
        keys.clear();
        if (qtKey)
            key(qtKey);
        else
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, typedText, Qt::NoModifier);
        EXPECT_EQ(keys, reported ? std::vector<int>{reported} : std::vector<int>{}) << qtKey << typedText.toStdString();
        if (landed.isEmpty()) {
            EXPECT_TRUE(onCaption());
            continue;
        }
        const QString inCell = landed;
        WAIT_FOR(cellAt(2, 1)->Text1()->text() == inCell);
        key(Qt::Key_Escape);  // drops the edit
        WAIT_FOR(cellAt(2, 1)->mode() != invar::Mode::Editing);
        key(Qt::Key_Escape);  // leaves
        WAIT_FOR(onCaption());
    }
    EXPECT_EQ(captioned->Cell(2, 1).toString(), text(2, 1));

    // The grid under its centred caption; the grid's events pass through, handlers steering by reference.
    EXPECT_EQ(captioned->size(), QSize(grid->width(), grid->y() + grid->height()));
    EXPECT_LE(std::abs(captioned->outvar1()->geometry().center().x() - captioned->width() / 2), 1);
    EXPECT_EQ(captioned->outvar1()->caption(), QStringLiteral("발주"));
    std::vector<std::pair<int, int>> changes;
    QObject::connect(captioned, &abo::CellModified, [&](int& rec, int& fie, Variant&, bool&) {
        changes.emplace_back(rec, fie);
    });
    captioned->setCell(3, 0, Variant("새 품목"));
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{3, 0}}));
    onArrive = [&](int, int& fie, int& nextkey) {
        if (fie == 2) nextkey = captioned->NotStopNextkey().toLong();
    };
    focus(1, 2);
    expectCursor(2, 0, 0);
}

}  // namespace
