// Key command codes, twips, field structures and fonts: what the other libraries build on.
#include "ErrorNumber.h"
#include "ostrel/RuntimeError.h"
#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::Variant;

namespace {

int code(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, m, text);
    return keyCommandCode(e);
}

TEST(TesselKeyCodes, KeysCharactersAndCtrlLetters) {
    constexpr auto Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier, Alt = Qt::AltModifier;
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        const char* text;
        int command;
    };
    for (const Case& c : {
             // Keys: shift state x 256 + virtual-key code.
             Case{Qt::Key_PageUp, Ctrl, "", keycmd::CtrlPgUp}, Case{Qt::Key_PageDown, Ctrl, "", keycmd::CtrlPgDn},
             Case{Qt::Key_Up, Shift, "", 256 + vk::Up}, Case{Qt::Key_Down, Shift, "", 256 + vk::Down},
             Case{Qt::Key_F4, Alt, "", 4 * 256 + vk::F4}, Case{Qt::Key_F12, {}, "", vk::F12},
             Case{Qt::Key_F6, {}, "", vk::F6}, Case{Qt::Key_F9, {}, "", vk::F9},
             Case{Qt::Key_Delete, {}, "\x7f", vk::Delete}, Case{Qt::Key_Home, Shift | Ctrl, "", 3 * 256 + vk::Home},
             Case{Qt::Key_A, Alt, "a", keycmd::altLetter('A')},
             // Characters.
             Case{Qt::Key_Return, Shift, "\r", chr::Enter}, Case{Qt::Key_Enter, Qt::KeypadModifier, "", chr::Enter},
             Case{Qt::Key_Escape, {}, "", chr::Esc}, Case{Qt::Key_A, Shift, "A", 'A'}, Case{0, {}, "가", 0xAC00},
             // Ctrl+F, N, Y whatever text the platform attaches; other Ctrl letters are control characters.
             Case{Qt::Key_F, Ctrl, "\x06", keycmd::CtrlF}, Case{Qt::Key_N, Ctrl, "n", keycmd::CtrlN},
             Case{Qt::Key_Y, Ctrl, "", keycmd::CtrlY}, Case{Qt::Key_V, Ctrl, "", chr::CtrlV}})
        EXPECT_EQ(code(c.key, c.mods, QString::fromUtf8(c.text)), c.command) << c.key << " " << c.text;
    EXPECT_EQ(keycmd::CtrlY, 601);  // the numbering the containers rely on
}

TEST(TesselTwips, FifteenPerPixelAtNinetySixDpiAndEdgesRoundIndependently) {
    EXPECT_DOUBLE_EQ(twipsPerPixel(), 15.0);  // the offscreen screen is 96 DPI
    EXPECT_EQ(twipsToPixels(1440), 96);
    EXPECT_EQ(twipsToPixels(30), 2);
    EXPECT_DOUBLE_EQ(pixelsToTwips(8), 120);
    // 10 cells of 1280 twips side by side 30 apart: the tenth ends where the sum says.
    const QRect last = twipsRect(9 * 1310 + 30, 0, 1280, 336);
    EXPECT_EQ(last.x() + last.width(), twipsToPixels(9 * 1310 + 30 + 1280));
    EXPECT_EQ(twipsRect(0, 0, -50, 10).width(), 0);
}

TEST(TesselStru, FieldDefinitionsReadBackTyped) {
    const Variant stru = makeStru({fieldDef("n", 8, 2, "수량"), fieldDef("C", 10, 0, "비고", Variant("NotStop")),
                                   fieldDef("D", 8, 0, "일자", Variant("locked"))});
    ASSERT_EQ(struCount(stru), 3);
    const std::vector<FieldDef> defs = readStru(stru);
    EXPECT_EQ(defs[0].kind, FieldType::Number);  // the letter in any case
    EXPECT_EQ(defs[1].kind, FieldType::Text);
    EXPECT_EQ(defs[2].kind, FieldType::Date);
    EXPECT_EQ(fieldType(QStringLiteral("b")), FieldType::Boolean);
    EXPECT_EQ(fieldType(QStringLiteral("X")), FieldType::Other);
    EXPECT_FALSE(defs[0].isLocked());
    EXPECT_TRUE(defs[1].isNotStop());
    EXPECT_TRUE(defs[1].isLocked());
    EXPECT_TRUE(defs[2].isLocked());
    EXPECT_FALSE(defs[2].isNotStop());
    EXPECT_EQ(defs[2].inputProcess(), nullptr);
    // Width given as text still reads as a number; a short or non-array definition is refused.
    EXPECT_EQ(FieldDef::fromVariant(Variant::array({Variant("C"), Variant("12"), Variant(0), Variant("t")})).width, 12);
    auto number = [](const Variant& v) { return vendra::test::errorOf([&] { readStru(v); }); };
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant(1), Variant(0)})})), 9);
    EXPECT_EQ(number(makeStru({Variant("C")})), 13);
    EXPECT_EQ(number(Variant(int16_t(3))), 13);
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant("wide"), Variant(0), Variant("t")})})), 13);
}

}  // namespace
