// The sheet lists' window as a pure function of the key, the wheel and the title methods.
#include "tessel/KeyCode.h"
#include "tessel/SheetCursor.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tessel {
std::ostream& operator<<(std::ostream& os, const SheetView& v) { return os << "{top " << v.top << ", edit " << v.edit << "}"; }
}  // namespace tessel

using namespace tessel;

namespace {

struct MoveCase {
    const char* name;
    SheetView from;
    SheetCommand command;
    int recCount;
    SheetView to;
};

TEST(TesselSheetCursor, MovesKeepTheSelectionInTheWindowAndStopAtTheEnds) {
    const int maxrow = 20;
    const MoveCase cases[] = {
        {"down inside the window", {0, 5}, SheetCommand::Next, 50, {0, 6}},
        {"down on the last row scrolls", {10, 29}, SheetCommand::Next, 50, {11, 30}},
        {"down reaches the new-sheet line", {31, 49}, SheetCommand::Next, 50, {31, 50}},
        {"down on the new-sheet line does nothing", {31, 50}, SheetCommand::Next, 50, {31, 50}},
        {"up inside the window", {10, 15}, SheetCommand::Previous, 50, {10, 14}},
        {"up on row 0 scrolls", {10, 10}, SheetCommand::Previous, 50, {9, 9}},
        {"up on record 0 does nothing", {0, 0}, SheetCommand::Previous, 50, {0, 0}},
        {"shift down moves both", {3, 7}, SheetCommand::ShiftNext, 50, {4, 8}},
        {"shift down on the new-sheet line", {40, 50}, SheetCommand::ShiftNext, 50, {40, 50}},
        {"shift up at the top keeps the window", {0, 7}, SheetCommand::ShiftPrevious, 50, {0, 6}},
        {"shift up moves both", {3, 7}, SheetCommand::ShiftPrevious, 50, {2, 6}},
        {"shift up on record 0", {0, 0}, SheetCommand::ShiftPrevious, 50, {0, 0}},
        {"page up near the top goes to the first", {5, 12}, SheetCommand::PageUp, 50, {0, 0}},
        {"page up keeps the row when it can", {10, 25}, SheetCommand::PageUp, 50, {0, 5}},
        {"page up a whole window", {25, 30}, SheetCommand::PageUp, 50, {5, 10}},
        {"page down a whole window", {0, 3}, SheetCommand::PageDown, 50, {20, 23}},
        {"page down near the end to the last sheet", {20, 35}, SheetCommand::PageDown, 50, {34, 49}},
        {"page down on the new-sheet line", {31, 50}, SheetCommand::PageDown, 50, {31, 50}},
        {"first", {34, 50}, SheetCommand::First, 50, {0, 0}},
        {"end: the last sheet four rows above the bottom", {0, 0}, SheetCommand::Last, 50, {34, 49}},
        {"end, new sheet: records 34 to 53, new-sheet line", {0, 0}, SheetCommand::LastNewSheet, 50, {34, 50}},
        {"end of a short list keeps the window", {0, 0}, SheetCommand::Last, 10, {0, 9}},
        {"end of a list one short of filling", {0, 0}, SheetCommand::Last, 17, {1, 16}},
        {"end of an empty list", {0, 0}, SheetCommand::LastNewSheet, 0, {0, 0}},
        {"keys that are no move keep the window", {3, 7}, SheetCommand::Edit, 50, {3, 7}},
        {"page up from a selection left above the window", {30, 5}, SheetCommand::PageUp, 50, {10, 0}},
    };
    for (const MoveCase& c : cases)
        EXPECT_EQ(moveSheets(c.from, c.command, c.recCount, maxrow), c.to) << c.name;
}

TEST(TesselSheetCursor, NoKeyLeavesAnEmptyOrOneSheetListOrATinyWindow) {
    const SheetCommand all[] = {SheetCommand::Next,     SheetCommand::Previous, SheetCommand::ShiftNext,
                                SheetCommand::ShiftPrevious, SheetCommand::PageUp, SheetCommand::PageDown,
                                SheetCommand::First,    SheetCommand::Last,     SheetCommand::LastNewSheet};
    for (int recCount : {0, 1})
        for (int maxrow : {1, 3, 20})
            for (SheetCommand first : all)
                for (SheetCommand second : all) {
                    const SheetView v = moveSheets(moveSheets({}, first, recCount, maxrow), second, recCount, maxrow);
                    EXPECT_TRUE(v.edit >= 0 && v.edit <= recCount && v.top >= 0 && v.top <= v.edit)
                        << v << " after " << int(first) << ", " << int(second) << " with " << recCount
                        << " sheets, " << maxrow << " rows";
                }
}

TEST(TesselSheetCursor, TheWheelScrollsFourANotchWithoutPassingEitherEnd) {
    struct Case {
        SheetView from;
        int direction, recCount;
        SheetView to;
    } const cases[] = {
        {{10, 15}, 120, 50, {6, 11}},   // one notch back
        {{10, 15}, 240, 50, {2, 7}},    // two notches
        {{2, 5}, 120, 50, {0, 3}},      // only as far as the top
        {{0, 5}, 120, 50, {0, 5}},      // at the top
        {{10, 15}, -120, 50, {14, 19}}, // on
        {{30, 47}, -120, 50, {32, 49}}, // stops on the last sheet
        {{31, 49}, -120, 50, {31, 49}}, // already there
        {{31, 50}, -120, 50, {31, 50}}, // new-sheet line
        {{10, 15}, 60, 50, {8, 13}},    // half a notch: two records
        {{10, 15}, 20, 50, {10, 15}},   // less than a record
        {{0, 0}, -120, 0, {0, 0}},      // empty list
        {{0, 0}, -120, 1, {0, 0}},      // one sheet
    };
    for (const Case& c : cases)
        EXPECT_EQ(wheelSheets(c.from, c.direction, c.recCount), c.to) << c.from << " by " << c.direction;
}

TEST(TesselSheetCursor, SelectingAndAppendingPlaceTheSelection) {
    EXPECT_EQ(selectSheet({5, 8}, 12, 50), (SheetView{5, 12})) << "selecting does not scroll";
    EXPECT_EQ(selectSheet({5, 8}, 50, 50), (SheetView{5, 50})) << "the new-sheet line";
    EXPECT_EQ(selectSheet({5, 8}, 51, 50), (SheetView{0, 0})) << "past the new-sheet line";
    EXPECT_EQ(selectSheet({5, 8}, -1, 50), (SheetView{0, 0}));
    EXPECT_EQ(afterAppend({34, 50}, 50), (SheetView{34, 50})) << "appended on the new-sheet line";
    EXPECT_EQ(afterAppend({0, 3}, 10), (SheetView{7, 10})) << "same visual row";
    EXPECT_EQ(afterAppend({0, 5}, 2), (SheetView{0, 2})) << "a record above that row";
}

TEST(TesselSheetCursor, KeysMapToCommandsPerForm) {
    struct Case {
        int key;
        SheetCommand sheets, codes;
    } const cases[] = {
        {vk::Esc, SheetCommand::EndForm, SheetCommand::EndForm},
        {shiftstate::Alt * 256 + vk::F4, SheetCommand::EndForm, SheetCommand::EndForm},
        {vk::Enter, SheetCommand::Edit, SheetCommand::Edit},
        {vk::Up, SheetCommand::Previous, SheetCommand::Previous},
        {vk::Down, SheetCommand::Next, SheetCommand::Next},
        {shiftstate::Shift * 256 + vk::Up, SheetCommand::ShiftPrevious, SheetCommand::ShiftPrevious},
        {shiftstate::Shift * 256 + vk::Down, SheetCommand::ShiftNext, SheetCommand::ShiftNext},
        {vk::PgUp, SheetCommand::PageUp, SheetCommand::PageUp},
        {vk::PgDn, SheetCommand::PageDown, SheetCommand::PageDown},
        {keycmd::CtrlPgUp, SheetCommand::First, SheetCommand::First},
        {vk::Home, SheetCommand::First, SheetCommand::First},
        {keycmd::CtrlPgDn, SheetCommand::Last, SheetCommand::Last},
        {vk::End, SheetCommand::Last, SheetCommand::Last},
        {vk::F5, SheetCommand::Copy, SheetCommand::None},
        {vk::F6, SheetCommand::None, SheetCommand::Csv},
        {vk::F7, SheetCommand::New, SheetCommand::New},
        {vk::F8, SheetCommand::Delete, SheetCommand::Delete},
        {keycmd::CtrlF, SheetCommand::Find, SheetCommand::Find},
        {vk::F4, SheetCommand::None, SheetCommand::None},
        {'a', SheetCommand::None, SheetCommand::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sheetCommand(c.key, SheetListKind::Sheets), c.sheets) << c.key;
        EXPECT_EQ(sheetCommand(c.key, SheetListKind::Codes), c.codes) << c.key;
    }
}

}  // namespace
