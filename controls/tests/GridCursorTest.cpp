// The grid's cursor arithmetic and its idle-time pass, without widgets.
#include "tessel/GridCursor.h"
#include "tessel/IdlePass.h"
#include "tessel/KeyCode.h"

#include <gtest/gtest.h>

namespace tessel {
static std::ostream& operator<<(std::ostream& os, const GridCursor& c) {
    return os << "(top " << c.top << " rec " << c.rec << " fie " << c.fie << ")";
}
}  // namespace tessel

using namespace tessel;

namespace {

enum Effect { None = 0, Redisplay = 1, Focus = 2, Clear = 4, UpExit = 8, Unknown = 16 };

constexpr int Line = Focus | Clear, Scroll = Redisplay | Focus | Clear;

TEST(GridCursorMove, LandsWhereTheKeyLeadsAndSaysWhatToRefresh) {
    struct MoveCase {
        const char* what;
        GridShape shape;  // records, rows, fields
        GridCursor from;
        int key;
        GridCursor to;
        int effects;
    };
    const GridShape ten3x2{10, 3, 2}, ten4x1{10, 4, 1}, two4x2{2, 4, 2};
    for (const MoveCase& c : {
             MoveCase{"Enter on the last field of the bottom row", ten3x2, {0, 2, 1}, vk::Enter, {1, 3, 0}, Scroll},
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
             {"Ctrl+PgDn without records: the first line, never -1", {0, 4, 1}, {0, 0, 0}, keycmd::CtrlPgDn, {0, 0, 0},
              Scroll},
             {"Ctrl+PgUp", ten4x1, {9, 9, 0}, keycmd::CtrlPgUp, {0, 0, 0}, Scroll},
             {"Any other key is no move", ten4x1, {0, 1, 0}, vk::F5, {0, 1, 0}, Unknown}}) {
        const GridMove m = moveCursor(c.from, c.key, c.shape);
        EXPECT_EQ(m.to, c.to) << c.what;
        EXPECT_EQ(m.known, !(c.effects & Unknown)) << c.what;
        EXPECT_EQ(m.redisplay, bool(c.effects & Redisplay)) << c.what;
        EXPECT_EQ(m.focus, bool(c.effects & Focus)) << c.what;
        EXPECT_EQ(m.clearPassby, bool(c.effects & Clear)) << c.what;
        EXPECT_EQ(m.upExit, bool(c.effects & UpExit)) << c.what;
    }
}

TEST(GridCursorPassOver, GoesOnInTheMoveDirectionButTurnsAtTheEnds) {
    const GridShape s{3, 4, 3}, locked{3, 4, 3, true};
    struct Case {
        GridCursor at;
        int lastkey;
        GridShape shape;
        int key;
    };
    for (const Case& c : {Case{{0, 0, 0}, vk::Left, s, vk::Right},      // the first cell: to the right
                          Case{{0, 3, 2}, vk::Right, s, vk::Left},      // the append line's last field
                          Case{{0, 2, 2}, vk::Right, locked, vk::Left},  // the last line under LineLock
                          Case{{0, 2, 2}, vk::Right, s, vk::Right},
                          Case{{0, 1, 1}, vk::Up, s, vk::Up},
                          Case{{0, 1, 0}, vk::Home, s, vk::Right},  // Home again would land here again
                          Case{{0, 1, 1}, vk::PgDn, s, vk::Right}})
        EXPECT_EQ(passOverKey(c.at, c.lastkey, c.shape), c.key) << c.at << " after " << c.lastkey;

    EXPECT_TRUE(beyondUsableLines({0, 4, 0}, s));
    EXPECT_FALSE(beyondUsableLines({0, 3, 0}, s));  // the append line
    EXPECT_TRUE(beyondUsableLines({0, 3, 0}, locked));
    EXPECT_FALSE(beyondUsableLines({0, 0, 0}, GridShape{0, 4, 3, true}));  // no records: the one line
    EXPECT_TRUE(isGridStepKey(vk::Enter));
    EXPECT_FALSE(isGridStepKey(vk::Home));
    EXPECT_TRUE(isGridMoveKey(keycmd::CtrlPgDn));
    EXPECT_FALSE(isGridMoveKey(keycmd::CtrlY));
}

TEST(GridCursorWheel, FourLinesANotchWithinTheRecords) {
    EXPECT_EQ(wheelLines(120), 4);
    EXPECT_EQ(wheelLines(-360), 12);
    EXPECT_EQ(wheelLines(540), 18);  // |Fix(540 / 120 x 4)|
    EXPECT_EQ(wheelLines(29), 0);
    struct Case {
        GridCursor from;
        int delta;
        GridCursor to;
    };
    for (const Case& c : {Case{{0, 0, 1}, -120, {4, 4, 1}}, Case{{4, 4, 1}, -360, {16, 16, 1}},
                          Case{{16, 16, 1}, -120, {19, 19, 1}},  // stops with the last record in the cursor's row
                          Case{{19, 19, 1}, -120, {19, 19, 1}}, Case{{19, 19, 1}, 540, {1, 1, 1}},
                          Case{{1, 1, 1}, 120, {0, 0, 1}},  // less than a notch from the top: back by the top
                          Case{{2, 4, 0}, 120, {0, 2, 0}}, Case{{0, 0, 0}, 120, {0, 0, 0}}})
        EXPECT_EQ(scrollCursor(c.from, c.delta, 20), c.to) << c.from << " by " << c.delta;
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

}  // namespace
