// The output cell and the button.
#include "TestSupport.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/button.h"
#include "tessel/outvar.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::Variant;

namespace {

TEST(TesselOutvar, ShowsValuesByTypeCode) {
    outvar o;
    EXPECT_EQ(o.ValueType(), QStringLiteral("c"));
    o.setValue(Variant("A&B"));
    EXPECT_EQ(o.caption(), QStringLiteral("A&B"));
    EXPECT_EQ(o.Label1()->textFormat(), Qt::PlainText);  // shown literally, no mnemonic

    o.setValueType(QStringLiteral("N"));
    o.setDec(0);
    o.setValue(Variant(ostrel::Currency::fromInt(1234567)));
    EXPECT_EQ(o.caption(), QStringLiteral(" 1,234,567"));
    o.setValue(Variant("12kg"));
    EXPECT_EQ(o.caption(), QStringLiteral("12kg"));  // not a number: shown as text

    o.setValueType(QStringLiteral("d"));
    o.setValue(Variant(ostrel::DateSerial(2024, 3, 5)));
    EXPECT_EQ(o.caption(), QStringLiteral("  24/03/05"));
    o.setValue(Variant(ostrel::Date()));
    EXPECT_EQ(o.caption(), QStringLiteral("    /  /  "));  // date 0 is a date here
    o.setValue(Variant("미정"));
    EXPECT_EQ(o.caption(), QStringLiteral("미정"));

    o.setValueType(QStringLiteral("B"));
    o.setValue(Variant(true));
    EXPECT_EQ(o.caption(), QStringLiteral("＋"));
    o.setValue(Variant(false));
    EXPECT_EQ(o.caption(), QStringLiteral("."));
    o.setValue(Variant(int32_t(5)));
    EXPECT_EQ(o.caption(), QStringLiteral("."));  // unchanged
    o.setValue(Variant::null());
    EXPECT_TRUE(o.value().isEmpty());
    EXPECT_EQ(o.caption(), QString());

    o.setValueType(QStringLiteral("X"));
    o.setValue(Variant("kept"));
    EXPECT_EQ(o.caption(), QString());  // unknown code: caption unchanged, value stored
    EXPECT_EQ(o.value().toString(), QStringLiteral("kept"));
}

TEST(TesselOutvar, LongTextShrinksDownToSixPointsAndThenFillsTheControl) {
    outvar o;  // length 10, size 12
    o.setValue(Variant(QStringLiteral("가나다라마바")));  // 12 bytes
    EXPECT_DOUBLE_EQ(o.Label1()->font().pointSizeF(), 9);
    const QRect normal = o.Label1()->geometry();
    EXPECT_NE(normal, o.rect());
    o.setValue(Variant(QString(40, u'x')));
    EXPECT_DOUBLE_EQ(o.Label1()->font().pointSizeF(), 6);
    EXPECT_EQ(o.Label1()->geometry(), o.rect());
    o.setValue(Variant("ok"));
    EXPECT_DOUBLE_EQ(o.Label1()->font().pointSizeF(), 12);
    EXPECT_EQ(o.Label1()->geometry(), o.rect());  // stretched until the next length
}

TEST(TesselOutvar, KeysAndClicksReachTheContainer) {
    QWidget window;
    auto* o = new outvar(&window);
    std::vector<int> keys;
    int clicks = 0, doubles = 0;
    QObject::connect(o, &outvar::keycommand, [&](int& k) { keys.push_back(k); });
    QObject::connect(o, &outvar::Click, [&] { ++clicks; });
    QObject::connect(o, &outvar::DblClick, [&] { ++doubles; });
    ASSERT_TRUE(test::showActive(&window));
    o->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return o->hasFocus(); }));
    test::key(Qt::Key_F1);
    test::key(Qt::Key_Down, Qt::ShiftModifier);
    test::key(Qt::Key_Home);
    test::key(Qt::Key_Z, Qt::AltModifier);
    test::key(Qt::Key_F, Qt::ControlModifier);
    test::key(Qt::Key_N, Qt::ControlModifier);
    test::typeText(QStringLiteral("a"));
    test::key(Qt::Key_Return);
    test::key(Qt::Key_Delete);  // neither a reported key nor a character
    EXPECT_EQ(keys, (std::vector<int>{vk::F1, shiftstate::Shift * 256 + vk::Down, vk::Home, keycmd::altLetter('Z'),
                                      keycmd::CtrlF, chr::CtrlN, 'a', chr::Enter}));
    QTest::mouseClick(o->Label1(), Qt::LeftButton);  // the label passes clicks to the control
    EXPECT_EQ(clicks, 1);
    QTest::mouseDClick(o, Qt::LeftButton);
    EXPECT_EQ(doubles, 1);
}

TEST(TesselButton, EnterEscClickAndArrowsOnlyAndItColoursOnFocus) {
    QWidget window;
    auto* b = new button(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 100);
    std::vector<int> keys;
    QStringList order;
    QObject::connect(b, &button::keycommand, [&](int& k) { keys.push_back(k); });
    QObject::connect(b, &button::cursoron, [&] {
        order << QStringLiteral("cursoron");
        // Raised before the colour changes.
        EXPECT_EQ(b->palette().color(QPalette::Window), QColor(192, 192, 192));
    });
    b->setValue(Variant("확인"));
    EXPECT_EQ(b->caption(), QStringLiteral("확인"));
    EXPECT_EQ(b->value().toString(), QStringLiteral("확인"));
    ASSERT_TRUE(test::showActive(&window));
    b->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->hasFocus(); }));
    EXPECT_EQ(order, QStringList{"cursoron"});
    EXPECT_EQ(b->palette().color(QPalette::Window), QColor(128, 128, 255));
    test::key(Qt::Key_Return);
    test::key(Qt::Key_Escape);
    test::typeText(QStringLiteral("xy"));
    test::key(Qt::Key_Up);
    test::key(Qt::Key_PageDown, Qt::ControlModifier);
    test::key(Qt::Key_Home);
    test::key(Qt::Key_F5);
    QTest::mouseClick(b->Label1(), Qt::LeftButton);
    EXPECT_EQ(keys, (std::vector<int>{vk::Enter, vk::Esc, vk::Up, keycmd::CtrlPgDn, vk::Enter}));
    EXPECT_EQ(b->caption(), QStringLiteral("확인"));  // never types
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    EXPECT_EQ(b->palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST(TesselButton, LengthSizesAndResizePlacesTheLabel) {
    button b;
    b.show();
    b.setFont_size(9);
    b.setLength(4);
    EXPECT_EQ(b.width(), 28);   // (9 x 10 x 4 + 60) / 15
    EXPECT_EQ(b.height(), 16);  // (9 x 20 + 60) / 15
    EXPECT_EQ(b.Label1()->geometry(), QRect(2, 2, 24, 12));
    b.resize(100, 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.Label1()->width() == 96; }));
    EXPECT_EQ(b.Label1()->geometry(), QRect(2, 2, 96, 36));
}

}  // namespace
