// Key command codes, twips, field structures and fonts: what the other libraries build on.
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
    EXPECT_EQ(code(Qt::Key_PageUp, Qt::ControlModifier), 545);
    EXPECT_EQ(code(Qt::Key_PageDown, Qt::ControlModifier), 546);
    EXPECT_EQ(code(Qt::Key_Up, Qt::ShiftModifier), 294);
    EXPECT_EQ(code(Qt::Key_Down, Qt::ShiftModifier), 296);
    EXPECT_EQ(code(Qt::Key_F4, Qt::AltModifier), 1139);
    EXPECT_EQ(code(Qt::Key_F12), 123);
    EXPECT_EQ(code(Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f")), 46);
    EXPECT_EQ(code(Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier), 3 * 256 + 36);
    EXPECT_EQ(code(Qt::Key_A, Qt::AltModifier, QStringLiteral("a")), 1024 + 65);
    // Characters.
    EXPECT_EQ(code(Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r")), 13);
    EXPECT_EQ(code(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(code(Qt::Key_Escape), 27);
    EXPECT_EQ(code(Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A")), 'A');
    EXPECT_EQ(code(0, Qt::NoModifier, QStringLiteral("가")), 0xAC00);
    // Ctrl+F, N, Y whatever text the platform attaches; other Ctrl letters are control characters.
    EXPECT_EQ(code(Qt::Key_F, Qt::ControlModifier, QStringLiteral("\x06")), 582);
    EXPECT_EQ(code(Qt::Key_N, Qt::ControlModifier, QStringLiteral("n")), 590);
    EXPECT_EQ(code(Qt::Key_Y, Qt::ControlModifier), 601);
    EXPECT_EQ(code(Qt::Key_V, Qt::ControlModifier), 22);
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
    EXPECT_EQ(defs[0].typeCode(), QStringLiteral("N"));
    EXPECT_EQ(defs[0].width, 8);
    EXPECT_EQ(defs[0].dec, 2);
    EXPECT_EQ(defs[0].title, QStringLiteral("수량"));
    EXPECT_FALSE(defs[0].isLocked());
    EXPECT_TRUE(defs[1].isNotStop());
    EXPECT_TRUE(defs[1].isLocked());
    EXPECT_TRUE(defs[2].isLocked());
    EXPECT_FALSE(defs[2].isNotStop());
    EXPECT_EQ(defs[2].inputProcess(), nullptr);
    // Width given as text still reads as a number; a short or non-array definition is refused.
    EXPECT_EQ(FieldDef::fromVariant(Variant::array({Variant("C"), Variant("12"), Variant(0), Variant("t")})).width, 12);
    auto number = [](const Variant& v) {
        try {
            readStru(v);
        } catch (const ostrel::RuntimeError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant(1), Variant(0)})})), 9);
    EXPECT_EQ(number(makeStru({Variant("C")})), 13);
    EXPECT_EQ(number(Variant(int16_t(3))), 13);
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant("wide"), Variant(0), Variant("t")})})), 13);
}

TEST(TesselStru, InputProcessTravelsInTheFifthElement) {
    struct P : InputProcess {
        Variant AfterEnter(QString& t) override { return Variant(t); }
        Variant AfterF3(QString&) override { return Variant::null(); }
        bool LastFilter(Variant&) override { return true; }
    };
    auto p = std::make_shared<P>();
    const FieldDef d = FieldDef::fromVariant(fieldDef("C", 4, 0, "코드", fromInputProcess(p)));
    EXPECT_EQ(d.inputProcess(), p);
    EXPECT_FALSE(d.isLocked());
}

}  // namespace
