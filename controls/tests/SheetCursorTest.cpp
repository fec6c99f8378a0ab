// The sheet lists' window as a pure function of the moves, the wheel and the title methods.
#include "tessel/SheetCursor.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tessel {
std::ostream& operator<<(std::ostream& os, const SheetView& v) { return os << "{" << v.top << ", " << v.edit << "}"; }
}  // namespace tessel

using namespace tessel;
using C = SheetCommand;

namespace {

TEST(TesselSheetCursor, MovesKeepTheSelectionInTheWindowAndStopAtTheEnds) {
    struct Case {
        const char* name;
        SheetView from;
        C command;
        int recCount;
        SheetView to;
        int maxrow = 20;
    } const cases[] = {
        {"down", {0, 5}, C::Next, 50, {0, 6}},
        {"down on the last row scrolls", {10, 29}, C::Next, 50, {11, 30}},
        {"down to the new-sheet line", {31, 49}, C::Next, 50, {31, 50}},
        {"down on the new-sheet line", {31, 50}, C::Next, 50, {31, 50}},
        {"up", {10, 15}, C::Previous, 50, {10, 14}},
        {"up on row 0 scrolls", {10, 10}, C::Previous, 50, {9, 9}},
        {"up on record 0", {0, 0}, C::Previous, 50, {0, 0}},
        {"shift down", {3, 7}, C::ShiftNext, 50, {4, 8}},
        {"shift down on the new-sheet line", {40, 50}, C::ShiftNext, 50, {40, 50}},
        {"shift up at the top", {0, 7}, C::ShiftPrevious, 50, {0, 6}},
        {"shift up", {3, 7}, C::ShiftPrevious, 50, {2, 6}},
        {"shift up on 0", {0, 0}, C::ShiftPrevious, 50, {0, 0}},
        {"page up near the top", {5, 12}, C::PageUp, 50, {0, 0}},
        {"page up keeps the row", {10, 25}, C::PageUp, 50, {0, 5}},
        {"page up", {25, 30}, C::PageUp, 50, {5, 10}},
        {"page down", {0, 3}, C::PageDown, 50, {20, 23}},
        {"page down near the end", {20, 35}, C::PageDown, 50, {34, 49}},
        {"page down on the new-sheet line", {31, 50}, C::PageDown, 50, {31, 50}},
        {"first", {34, 50}, C::First, 50, {0, 0}},
        {"end: four rows below", {0, 0}, C::Last, 50, {34, 49}},
        {"end, new sheet: 34 to 53", {0, 0}, C::LastNewSheet, 50, {34, 50}},
        {"end of a short list", {0, 0}, C::Last, 10, {0, 9}},
        {"end of 17", {0, 0}, C::Last, 17, {1, 16}},
        {"end of an empty list", {0, 0}, C::LastNewSheet, 0, {0, 0}},
        {"end with a window of 3 rows", {0, 0}, C::Last, 1, {0, 0}, 3},
        {"no move", {3, 7}, C::Edit, 50, {3, 7}},
        {"page up from a selection above the window", {30, 5}, C::PageUp, 50, {10, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(moveSheets(c.from, c.command, c.recCount, c.maxrow), c.to) << c.name;
}

TEST(TesselSheetCursor, WheelSelectAndAppend) {
    struct Case {
        SheetView from;
        int direction, recCount;
        SheetView to;
    } const cases[] = {
        {{10, 15}, 120, 50, {6, 11}},   {{10, 15}, 240, 50, {2, 7}},    {{2, 5}, 120, 50, {0, 3}},
        {{0, 5}, 120, 50, {0, 5}},      {{10, 15}, -120, 50, {14, 19}}, {{30, 47}, -120, 50, {32, 49}},
        {{31, 49}, -120, 50, {31, 49}}, {{31, 50}, -120, 50, {31, 50}}, {{10, 15}, 60, 50, {8, 13}},
        {{10, 15}, 20, 50, {10, 15}},   {{0, 0}, -120, 0, {0, 0}},      {{0, 0}, -120, 1, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wheelSheets(c.from, c.direction, c.recCount), c.to) << c.from << " by " << c.direction;

    EXPECT_EQ(selectSheet({5, 8}, 12, 50), (SheetView{5, 12})) << "selecting does not scroll";
    EXPECT_EQ(selectSheet({5, 8}, 50, 50), (SheetView{5, 50})) << "the new-sheet line";
    EXPECT_EQ(selectSheet({5, 8}, 51, 50), (SheetView{0, 0}));
    EXPECT_EQ(selectSheet({5, 8}, -1, 50), (SheetView{0, 0}));
    EXPECT_EQ(afterAppend({34, 50}, 50), (SheetView{34, 50}));
    EXPECT_EQ(afterAppend({0, 3}, 10), (SheetView{7, 10})) << "the same visual row";
    EXPECT_EQ(afterAppend({0, 5}, 2), (SheetView{0, 2}));
}

}  // namespace
