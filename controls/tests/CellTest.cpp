// The input cell driven by real key, mouse and focus events.
#include "ModalDriver.h"
#include "TestSupport.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::Currency;
using ostrel::DateSerial;
using ostrel::Variant;

namespace {

struct FakeProcess : InputProcess {
    std::function<Variant(QString&)> enter;
    std::function<Variant(QString&)> f3;
    std::function<bool(Variant&)> filter;
    QStringList log;
    Variant AfterEnter(QString& t) override {
        log << QStringLiteral("AfterEnter:") + t;
        return enter ? enter(t) : Variant(t);
    }
    Variant AfterF3(QString& t) override {
        log << QStringLiteral("AfterF3:") + t;
        return f3 ? f3(t) : Variant::null();
    }
    bool LastFilter(Variant& v) override {
        log << QStringLiteral("LastFilter:") + safeText(v);
        return filter ? filter(v) : true;
    }
};

QColor base(const invar* c) { return c->Text1()->palette().color(QPalette::Base); }

class TesselCell : public ::testing::Test {
protected:
    void SetUp() override {
        cell = new invar(&window);
        other = new QLineEdit(&window);
        other->move(0, 200);
        QObject::connect(cell, &invar::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(cell, &invar::Modified, [this] { ++modified; });
        QObject::connect(cell, &invar::CellGotFocus, [this] { ++gotFocus; });
        ASSERT_TRUE(test::showActive(&window));
        leave();  // the window gives its first cell the focus: start from elsewhere
        gotFocus = 0;
    }
    void focusCell() {
        cell->Text1()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cell->Text1()->hasFocus(); }));
    }
    void leave() {
        other->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    }
    // Types `text` into a freshly focused cell and presses Enter.
    void enter(const QString& text) {
        focusCell();
        test::typeText(text);
        test::key(Qt::Key_Return);
    }

    QWidget window;
    invar* cell = nullptr;
    QLineEdit* other = nullptr;
    std::vector<int> keys;
    int modified = 0, gotFocus = 0;
};

TEST_F(TesselCell, TypedTextIsReadByTheCellsType) {
    struct Case {
        const char* type;
        Variant before;
        const char* typed;
        Variant want;
    };
    const Variant may10(DateSerial(2023, 5, 10));
    const Case cases[] = {
        {"n", {}, "12+", Variant(Currency::fromInt(12000))},  // type letters in any case
        {"N", {}, "1,234", Variant(Currency::fromInt(1234))},
        {"N", {}, "3*", Variant(Currency::fromInt(300))},
        {"N", {}, "-2.5", Variant(Currency::fromDouble(-2.5))},
        {"D", may10, "7", Variant(DateSerial(2023, 5, 7))},  // year and month from the stored date
        {"D", may10, "0615", Variant(DateSerial(2023, 6, 15))},
        {"D", may10, "24-1-2", Variant(DateSerial(2024, 1, 2))},
        {"D", may10, "95/12/31", Variant(DateSerial(1995, 12, 31))},
        {"D", may10, "240315", Variant(DateSerial(2024, 3, 15))},
        {"D", may10, "6/1", Variant(DateSerial(2023, 6, 1))},
        {"D", may10, "13/1", Variant(DateSerial(2024, 1, 1))},
        {"D", may10, "5/0", Variant(DateSerial(2023, 4, 30))},
        {"C", {}, "  [a'b\"c]  ", Variant("abc")},  // trimmed, without quotes and brackets
        {"", {}, "kept", Variant("kept")},          // an untyped cell keeps what was typed
        {"B", {}, "+", Variant(true)},
        {"B", Variant(true), ".", Variant(false)},
        {"B", Variant(true), "x", Variant()},
    };
    for (const Case& c : cases) {
        cell->setValueType(QString::fromLatin1(c.type));
        cell->setValue(c.before);
        keys.clear();
        enter(QString::fromLatin1(c.typed));
        EXPECT_TRUE(cell->value().identical(c.want)) << c.type << " " << c.typed;
        EXPECT_EQ(keys, std::vector<int>{vk::Enter}) << c.typed;
        EXPECT_EQ(cell->mode(), invar::Mode::Selected) << c.typed;
        leave();
    }
    EXPECT_EQ(modified, int(std::size(cases)));
    cell->setValueType(QStringLiteral("N"));
    cell->setValue(Variant(Currency::fromInt(12000)));
    EXPECT_EQ(cell->text().trimmed(), QStringLiteral("12,000"));
    // The date display is the two-digit year form, right-aligned to the length.
    cell->setValueType(QStringLiteral("D"));
    cell->setValue(Variant(DateSerial(2024, 3, 5)));
    EXPECT_EQ(cell->text(), QStringLiteral("  24/03/05"));
    cell->setValue(Variant(ostrel::Date()));
    EXPECT_EQ(cell->text(), QString());

    // Delete clears the text; Enter on the empty text stores empty.
    cell->setValueType(QStringLiteral("N"));
    cell->setValue(Variant(Currency::fromInt(12000)));
    focusCell();
    test::key(Qt::Key_Delete);
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    test::key(Qt::Key_Return);
    EXPECT_TRUE(cell->value().isEmpty());
    EXPECT_EQ(cell->text(), QString());
}

TEST_F(TesselCell, NumberBeyondCurrencyIsRejectedAndTooWideNumberSurvivesF2Enter) {
    cell->setValueType(QStringLiteral("N"));
    cell->setValue(Variant(Currency::fromInt(7)));
    enter(QStringLiteral("99999999999999999999"));
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);  // rejected: the text stays for correction
    EXPECT_EQ(modified, 0);
    EXPECT_TRUE(cell->value().identical(Variant(Currency::fromInt(7))));
    test::key(Qt::Key_Escape);
    EXPECT_EQ(cell->text().trimmed(), QStringLiteral("7"));

    // A number too wide for the cell shows asterisks; editing it unchanged must not store 0.
    cell->setLength(5);
    cell->setValue(Variant(Currency::fromInt(123456789)));
    EXPECT_EQ(cell->text(), QStringLiteral("*****"));
    leave();
    focusCell();
    test::key(Qt::Key_F2);
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    test::key(Qt::Key_Return);
    EXPECT_TRUE(cell->value().identical(Variant(Currency::fromInt(123456789))));
}

TEST(TesselDateReading, FailuresGiveDateZeroAndDefaultsComeFromToday) {
    const ostrel::Date today = DateSerial(2024, 7, 20);
    EXPECT_EQ(readDateText(QStringLiteral("3/5"), Variant(), today), DateSerial(2024, 3, 5));
    EXPECT_EQ(readDateText(QStringLiteral("9"), Variant(), today), DateSerial(2024, 7, 9));
    EXPECT_EQ(readDateText(QStringLiteral("1231"), Variant(), today), DateSerial(2024, 12, 31));
    for (const char* bad : {"", "0", "00", "0/0", "0/0/0", "ab", "3/", "1/2/3/4", "7x", "12-ab", "99999/1"})
        EXPECT_TRUE(readDateText(QString::fromLatin1(bad), Variant(), today).isZero()) << bad;
    // A default year outside 1990..2089 gives way to the typed text read as a two-digit year.
    EXPECT_EQ(readDateText(QStringLiteral("0315"), Variant(DateSerial(1985, 1, 1)), today), DateSerial(2015, 3, 15));
    EXPECT_EQ(readDateText(QStringLiteral("891231"), Variant(), today), DateSerial(2089, 12, 31));
    EXPECT_EQ(readDateText(QStringLiteral("900101"), Variant(), today), DateSerial(1990, 1, 1));
}

TEST_F(TesselCell, LeftAndRightCommitOnlyAtTheEdgesOfTheText) {
    cell->setValueType(QStringLiteral("C"));
    focusCell();
    test::typeText(QStringLiteral("abc"));
    test::key(Qt::Key_Left);  // caret 3 -> 2: only moves
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(cell->Text1()->cursorPosition(), 2);
    test::key(Qt::Key_Right);  // caret 2 -> 3: only moves
    EXPECT_TRUE(keys.empty());
    test::key(Qt::Key_Right);  // after the last character: commits
    EXPECT_EQ(keys, std::vector<int>{vk::Right});
    EXPECT_EQ(cell->value().toString(), QStringLiteral("abc"));
    EXPECT_EQ(modified, 1);

    keys.clear();
    test::key(Qt::Key_F2);  // editing with the caret after the text
    test::typeText(QStringLiteral("d"));
    test::key(Qt::Key_Home);  // Home stays in the text box while editing
    EXPECT_TRUE(keys.empty());
    test::key(Qt::Key_Left, Qt::ShiftModifier);  // at position 0: commits with the shift state
    EXPECT_EQ(keys, std::vector<int>{shiftstate::Shift * 256 + vk::Left});
    EXPECT_EQ(cell->value().toString(), QStringLiteral("abcd"));
}

TEST_F(TesselCell, KeysWhileSelectedBecomeKeyCommands) {
    cell->setValueType(QStringLiteral("C"));
    focusCell();
    test::key(Qt::Key_Down);
    test::key(Qt::Key_PageUp, Qt::ControlModifier);
    test::key(Qt::Key_F5);
    test::key(Qt::Key_A, Qt::AltModifier);
    test::key(Qt::Key_F, Qt::ControlModifier);
    test::key(Qt::Key_N, Qt::ControlModifier);
    test::key(Qt::Key_Y, Qt::ControlModifier);
    test::key(Qt::Key_Escape);
    test::key(Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<int>{vk::Down, keycmd::CtrlPgUp, vk::F5, keycmd::altLetter('A'), keycmd::CtrlF,
                                      keycmd::CtrlN, keycmd::CtrlY, vk::Esc, vk::Enter}));
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);
}

TEST_F(TesselCell, LockedCellReportsKeysButNeverEdits) {
    auto p = std::make_shared<FakeProcess>();
    p->f3 = [](QString&) { return Variant("picked"); };
    cell->setValueType(QStringLiteral("C"));
    cell->setInputProcess(p);
    cell->setValue(Variant("keep"));
    cell->setLocked(true);
    focusCell();
    test::typeText(QStringLiteral("xy"));
    test::key(Qt::Key_Delete);
    test::key(Qt::Key_F2);
    test::key(Qt::Key_F3);
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);
    EXPECT_EQ(cell->text(), QStringLiteral("keep"));
    EXPECT_TRUE(p->log.isEmpty());
    test::key(Qt::Key_Return);
    test::key(Qt::Key_Escape);
    test::key(Qt::Key_Up);
    EXPECT_EQ(keys, (std::vector<int>{vk::Enter, vk::Esc, vk::Up}));
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);
    EXPECT_EQ(modified, 0);
}

TEST_F(TesselCell, BooleanMarksAndClickToggle) {
    cell->setValueType(QStringLiteral("B"));
    cell->setLength(2);
    cell->setValue(Variant(true));
    EXPECT_EQ(cell->text(), QStringLiteral("＋"));
    cell->setValue(Variant(false));
    EXPECT_EQ(cell->text(), QStringLiteral("."));
    cell->setLength(1);
    cell->setValue(Variant(true));
    EXPECT_EQ(cell->text(), QStringLiteral("+"));
    cell->setValue(Variant("other"));
    EXPECT_EQ(cell->text(), QStringLiteral("+"));  // any other value leaves the text as it was
    EXPECT_EQ(cell->value().toString(), QStringLiteral("other"));

    cell->setLength(2);
    cell->setValue(Variant(true));
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_TRUE(cell->value().isEmpty());
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_TRUE(cell->value().identical(Variant(true)));
    EXPECT_EQ(modified, 2);
    // A double click (press, release, double click, release) toggles once, not twice.
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                           QEvent::MouseButtonRelease}) {
        QMouseEvent ev(t, QPointF(4, 4), cell->Text1()->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                       t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cell->Text1(), &ev);
    }
    EXPECT_EQ(modified, 3);
    EXPECT_TRUE(cell->value().isEmpty());

    // Editing the full-width mark unchanged keeps True.
    cell->setValue(Variant(true));
    leave();
    focusCell();
    test::key(Qt::Key_F2);
    test::key(Qt::Key_Return);
    EXPECT_TRUE(cell->value().identical(Variant(true)));
}

TEST_F(TesselCell, WideTextShrinksInStepsOfOneAndAHalfPointsDownTo7_5) {
    cell->setValueType(QStringLiteral("C"));  // length 10, size 12
    struct Case { QString text; double size; };
    const Case cases[] = {
        {QStringLiteral("0123456789"), 12},       // fits
        {QStringLiteral("01234567890"), 10.5},    // 11 bytes
        {QStringLiteral("가나다라마바"), 9},        // 12 bytes
        {QStringLiteral("0123456789abcd"), 7.5},  // 14 bytes
        {QStringLiteral("0123456789012345678901234567890123456789"), 7.5},  // never below 7.5
        {QStringLiteral("short"), 12},            // back to the cell's size
    };
    for (const Case& c : cases) {
        cell->setValue(Variant(c.text));
        EXPECT_DOUBLE_EQ(cell->Text1()->font().pointSizeF(), c.size) << c.text.toStdString();
        EXPECT_EQ(cell->Text1()->cursorPosition(), 0);
    }
}

TEST_F(TesselCell, ModesPaintTheirColoursAndEscDropsTheTypedText) {
    cell->setValueType(QStringLiteral("C"));
    cell->setValue(Variant("old"));
    EXPECT_EQ(base(cell), toQColor(colors::Idle));
    focusCell();
    EXPECT_EQ(gotFocus, 1);
    EXPECT_EQ(base(cell), QColor(128, 128, 255));
    test::typeText(QStringLiteral("new"));
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    EXPECT_EQ(base(cell), QColor(255, 255, 128));
    EXPECT_EQ(cell->text(), QStringLiteral("new"));  // the first character replaced the text
    test::key(Qt::Key_Escape);
    EXPECT_EQ(cell->text(), QStringLiteral("old"));
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);

    // Delete, then Esc: the stored value was never touched.
    test::key(Qt::Key_Delete);
    EXPECT_EQ(cell->text(), QString());
    test::key(Qt::Key_Escape);
    EXPECT_EQ(cell->value().toString(), QStringLiteral("old"));
    EXPECT_EQ(cell->text(), QStringLiteral("old"));

    // Backspace while selected edits the text, so it starts an edit too.
    test::key(Qt::Key_End);
    EXPECT_EQ(keys, std::vector<int>{vk::End});
    cell->Text1()->end(false);
    test::key(Qt::Key_Backspace);
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    leave();
    EXPECT_EQ(cell->value().toString(), QStringLiteral("ol"));
    EXPECT_EQ(base(cell), toQColor(colors::Idle));
    EXPECT_EQ(modified, 1);

    // Hangul comes as text without a key code.
    focusCell();
    QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("가"));
    QApplication::sendEvent(cell->Text1(), &hangul);
    EXPECT_EQ(cell->text(), QStringLiteral("가"));
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
}

TEST_F(TesselCell, InputProcessIsAskedInOrderAndCanReject) {
    auto p = std::make_shared<FakeProcess>();
    QStringList events;
    QObject::connect(cell, &invar::CellInputProcess, [&](InputProcessRef& o) {
        events << QStringLiteral("in");
        EXPECT_EQ(o, p);
        EXPECT_EQ(cell->mode(), invar::Mode::Processing);
    });
    QObject::connect(cell, &invar::CellAfterInputProcess, [&](InputProcessRef&) { events << QStringLiteral("after"); });
    cell->setValueType(QStringLiteral("C"));
    cell->setInputProcess(p);

    p->enter = [](QString& t) { return t == QLatin1String("10") ? Variant(" 'Name' ") : Variant::null(); };
    enter(QStringLiteral("99"));
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);  // null: stays editing with its text
    EXPECT_EQ(cell->text(), QStringLiteral("99"));
    EXPECT_EQ(modified, 0);
    EXPECT_TRUE(keys.empty());

    test::key(Qt::Key_Backspace);
    test::key(Qt::Key_Backspace);
    test::typeText(QStringLiteral("10"));
    test::key(Qt::Key_Return);
    EXPECT_EQ(cell->value().toString(), QStringLiteral("Name"));
    EXPECT_EQ(p->log, (QStringList{"AfterEnter:99", "AfterEnter:10", "LastFilter:Name"}));
    EXPECT_EQ(events, (QStringList{"in", "after", "in", "after"}));
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});

    // The last filter says no: nothing stored; losing the focus then restores the stored value.
    p->log.clear();
    p->filter = [](Variant&) { return false; };
    test::key(Qt::Key_Delete);
    test::typeText(QStringLiteral("10"));
    test::key(Qt::Key_Return);
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    leave();
    EXPECT_EQ(cell->text(), QStringLiteral("Name"));
    EXPECT_EQ(cell->mode(), invar::Mode::Idle);
    EXPECT_EQ(modified, 1);
}

TEST_F(TesselCell, WindowOpenedByTheInputProcessDoesNotRetriggerTheCell) {
    vendra::test::ModalDriver driver;
    auto p = std::make_shared<FakeProcess>();
    cell->setValueType(QStringLiteral("N"));
    cell->setInputProcess(p);
    int shown = 0;
    p->enter = [&](QString& t) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("확인"), QStringLiteral("코드를 찾았습니다"),
                        QMessageBox::Ok, &window);
        box.exec();
        ++shown;
        return Variant(t + QStringLiteral("+"));
    };
    p->filter = [&](Variant&) {
        // A filter with a window of its own, while the cell is still editing.
        QMessageBox box(QMessageBox::Warning, QStringLiteral("확인"), QStringLiteral("확인하세요"), QMessageBox::Ok,
                        &window);
        box.exec();
        return true;
    };
    enter(QStringLiteral("5"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(cell->value().identical(Variant(Currency::fromInt(5000))));
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});
    EXPECT_EQ(p->log.count(), 2);  // one AfterEnter, one LastFilter: no re-entry
}

TEST_F(TesselCell, F3LookupStoresTheChosenValueAsEnterWould) {
    auto p = std::make_shared<FakeProcess>();
    p->f3 = [](QString& t) { return Variant(QStringLiteral("picked:") + t); };
    cell->setValueType(QStringLiteral("C"));
    cell->setInputProcess(p);
    cell->setValue(Variant("x"));
    focusCell();
    test::key(Qt::Key_F3);
    EXPECT_EQ(cell->value().toString(), QStringLiteral("picked:x"));
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(cell->mode(), invar::Mode::Selected);
    // Nothing chosen: the cell is left editing and nothing is stored.
    p->f3 = [](QString&) { return Variant::null(); };
    test::key(Qt::Key_F3);
    EXPECT_EQ(cell->mode(), invar::Mode::Editing);
    EXPECT_EQ(modified, 1);
}

TEST_F(TesselCell, CloseMeAndFocusLossCommitTheEdit) {
    cell->setValueType(QStringLiteral("N"));
    focusCell();
    test::typeText(QStringLiteral("42"));
    cell->CloseMe();
    EXPECT_TRUE(cell->value().identical(Variant(Currency::fromInt(42))));
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(cell->mode(), invar::Mode::Idle);
    EXPECT_TRUE(keys.empty());

    leave();
    focusCell();
    test::typeText(QStringLiteral("7+"));
    leave();
    EXPECT_TRUE(cell->value().identical(Variant(Currency::fromInt(7000))));
    EXPECT_EQ(modified, 2);
    // Selected without an edit: losing the focus stores nothing.
    focusCell();
    leave();
    EXPECT_EQ(modified, 2);
}

TEST_F(TesselCell, LayoutFollowsFontSizeAndLength) {
    EXPECT_EQ(cell->characterWidth(), 120);
    EXPECT_EQ(cell->sideMargin(), 80);
    cell->setLength(10);
    EXPECT_DOUBLE_EQ(cell->widthTwips(), 1280);
    EXPECT_DOUBLE_EQ(cell->heightTwips(), 336);
    cell->setFontsize(9);
    EXPECT_EQ(cell->characterWidth(), 90);
    EXPECT_EQ(cell->sideMargin(), 60);
    EXPECT_DOUBLE_EQ(cell->widthTwips(), 1280);  // resized only at the next length
    cell->setLength(4);
    EXPECT_DOUBLE_EQ(cell->widthTwips(), 420);
    EXPECT_EQ(cell->width(), 28);  // 15 twips per pixel at 96 DPI
    EXPECT_EQ(cell->Text1()->geometry(), QRect(0, 2, 28, 12));  // 24 + the text box margins
}

}  // namespace
