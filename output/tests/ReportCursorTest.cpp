// The report viewer's cursor arithmetic, without widgets.
#include "tavrin/ReportCursor.h"
#include "tessel/KeyCode.h"

#include <gtest/gtest.h>

using tessel::GridCursor;
namespace vk = tessel::vk;
namespace keycmd = tessel::keycmd;

namespace {

struct Case {
    GridCursor from;  // top, rec
    int marked, key, records;
    GridCursor to;
    bool moved, refresh;
};

TEST(ReportCursorTest, KeysMoveTheMarkedRecordAndTheWindow) {
    constexpr bool Y = true, N = false;
    for (const Case& c : {
             Case{{0, 8}, 8, vk::Down, 50, {0, 9}, Y, N},
             Case{{0, 9}, 9, vk::Down, 50, {1, 10}, Y, Y},  // on the last row: scrolls by one
             Case{{40, 49}, 9, vk::Down, 50, {40, 49}, N, N},
             Case{{1, 10}, 9, vk::PgDn, 50, {11, 20}, Y, Y},
             Case{{31, 40}, 9, vk::PgDn, 50, {40, 49}, Y, Y},  // near the end: the last record, same row
             Case{{31, 40}, -1, vk::PgDn, 50, {40, 49}, Y, Y},
             Case{{0, 5}, 5, keycmd::CtrlPgDn, 50, {49, 49}, Y, Y},  // the last record alone at the top
             Case{{49, 49}, 0, vk::Up, 50, {48, 48}, Y, Y},        // in the top row: scrolls back one
             Case{{0, 5}, 5, vk::Up, 50, {0, 4}, Y, N},
             Case{{0, 0}, 0, vk::Up, 50, {0, 0}, N, N},
             Case{{48, 48}, 0, vk::PgUp, 50, {38, 38}, Y, Y},
             Case{{5, 15}, 0, vk::PgUp, 50, {0, 5}, Y, Y},
             Case{{3, 10}, 7, vk::PgUp, 50, {0, 0}, Y, Y},
             Case{{38, 38}, 0, keycmd::CtrlPgUp, 50, {0, 0}, Y, Y},
             Case{{0, 0}, 0, vk::Down, 0, {0, 0}, N, N},  // no records: nothing moves
             Case{{0, 0}, 0, vk::PgDn, 0, {0, 0}, N, N},
             Case{{0, 3}, 3, vk::Home, 50, {0, 3}, N, N},
         }) {
        const tavrin::ReportMove m = tavrin::moveReportCursor(c.from, c.marked, c.key, c.records, 10);
        EXPECT_EQ(m.to, c.to) << "key " << c.key << " from " << c.from.top << "/" << c.from.rec;
        EXPECT_EQ(m.moved, c.moved) << "key " << c.key << " from " << c.from.top << "/" << c.from.rec;
        EXPECT_EQ(m.refresh, c.refresh) << "key " << c.key << " from " << c.from.top << "/" << c.from.rec;
    }
}

}  // namespace
