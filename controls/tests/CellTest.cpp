// Key command codes, twips and field structures that the controls build on; the input cell driven by
// real key, mouse and focus events; what the input and output cells show; the output cell's and the
// button's keys, clicks, colours and sizes; the focus mark of every control; and an idle cell painting
// what its text box would.
#include "ErrorNumber.h"
#include "ModalDriver.h"
#include "Pictures.h"
#include "WaitFor.h"
#include "WidgetTest.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/button.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>

using namespace tessel;
using namespace vendra::test;
using ostrel::Currency;
using ostrel::DateSerial;
using ostrel::Variant;

namespace {

int code(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, m, text);
    return keyCommandCode(e);
}

TEST(TesselKeyCodes, KeysCharactersAndCtrlLetters) {
    constexpr auto Ctrl = Qt::ControlModifier;
    // key, modifiers, text, command
    const std::tuple<int, Qt::KeyboardModifiers, const char*, int> cases[] = {
        // Delete types DEL, which is no character; Enter is one with any shift state and from the keypad.
        {Qt::Key_Delete, {}, "\x7f", vk::Delete}, {Qt::Key_Return, Qt::ShiftModifier, "\r", chr::Enter},
        {Qt::Key_Enter, Qt::KeypadModifier, "", chr::Enter},
        // Ctrl+F, N, Y whatever text the platform attaches; other Ctrl letters are control characters.
        {Qt::Key_F, Ctrl, "\x06", keycmd::CtrlF}, {Qt::Key_N, Ctrl, "n", keycmd::CtrlN},
        {Qt::Key_Y, Ctrl, "", keycmd::CtrlY}, {Qt::Key_V, Ctrl, "", chr::CtrlV}};
    for (const auto& [key, mods, text, command] : cases)
        EXPECT_EQ(code(key, mods, QString::fromUtf8(text)), command) << key << " " << text;
}

TEST(TesselTwips, EdgesRoundIndependently) {
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
    // The type letter in any case; NOTSTOP locks too.
    for (const auto& [def, kind, locked, notStop] : {std::tuple{defs[0], FieldType::Number, false, false},
                                                     {defs[1], FieldType::Text, true, true},
                                                     {defs[2], FieldType::Date, true, false}})
        EXPECT_EQ(std::tuple(def.kind, def.isLocked(), def.isNotStop()), std::tuple(kind, locked, notStop));
    // Width given as text still reads as a number; a short or non-array definition is refused.
    EXPECT_EQ(FieldDef::fromVariant(Variant::array({Variant("C"), Variant("12"), Variant(0), Variant("t")})).width, 12);
    auto number = [](const Variant& v) { return vendra::test::errorOf([&] { readStru(v); }); };
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant(1), Variant(0)})})), 9);
    EXPECT_EQ(number(makeStru({Variant("C")})), 13);
    EXPECT_EQ(number(Variant(int16_t(3))), 13);
    EXPECT_EQ(number(makeStru({Variant::array({Variant("C"), Variant("wide"), Variant(0), Variant("t")})})), 13);
}


struct FakeProcess : InputProcess {
    std::function<Variant(QString&)> enter, f3;
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
// Gives an input or output cell its type, decimals and length, then its value.
template <class Cell>
Cell* shaped(Cell* c, const char* type, int length, const Variant& value, int dec = 0) {
    c->setValueType(QString::fromLatin1(type));
    c->setDec(dec);
    c->setLength(length);
    c->setValue(value);
    return c;
}
Variant number(int n) { return Variant(Currency::fromInt(n)); }

class TesselCell : public SteadyCaret {
protected:
    void SetUp() override {
        SteadyCaret::SetUp();
        cell = new invar(&window);
        other = new QLineEdit(&window);
        other->move(0, 200);
        QObject::connect(cell, &invar::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(cell, &invar::Modified, [this] { ++modified; });
        QObject::connect(cell, &invar::CellGotFocus, [this] { ++gotFocus; });
        ASSERT_TRUE(showActive(&window));
        leave();  // the window gives its first cell the focus: start from elsewhere
        gotFocus = 0;
    }
    void focusCell() { ASSERT_TRUE(focusOn(cell->Text1())); }
    void leave() { ASSERT_TRUE(focusOn(other)); }
    // Types `text` into a freshly focused cell and presses Enter.
    void enter(const QString& text) {
        focusCell();
        typeText(text);
        key(Qt::Key_Return);
    }
    void setUp(const char* type, const Variant& v, const std::shared_ptr<FakeProcess>& p = nullptr) {
        cell->setValueType(QString::fromLatin1(type));
        cell->setValue(v);
        if (p) cell->setInputProcess(p);
    }
    using Mode = invar::Mode;
    // What the cell shows, its mode and the Modified events so far, to compare at once.
    std::tuple<QString, Mode, int> state() const { return {cell->text(), cell->mode(), modified}; }

    QWidget window;
    invar* cell = nullptr;
    QLineEdit* other = nullptr;
    std::vector<int> keys;
    int modified = 0, gotFocus = 0;
};

TEST_F(TesselCell, TypedTextIsReadByTheCellsType) {
    const Variant may10(DateSerial(2023, 5, 10));
    // type, stored value, typed, value read
    const std::tuple<const char*, Variant, const char*, Variant> cases[] = {
        {"n", {}, "12+", number(12000)},  // type letters in any case
        {"N", {}, "1,234", number(1234)}, {"N", {}, "3*", number(300)},
        {"N", {}, "-2.5", Variant(Currency::fromDouble(-2.5))},
        {"D", may10, "7", Variant(DateSerial(2023, 5, 7))},  // year and month from the stored date
        {"C", {}, "  [a'b\"c]  ", Variant("abc")},  // trimmed, without quotes and brackets
        {"", {}, "kept", Variant("kept")},          // an untyped cell keeps what was typed
        {"B", {}, "+", Variant(true)}, {"B", Variant(true), ".", Variant(false)}, {"B", Variant(true), "x", Variant()},
    };
    for (const auto& [type, before, typed, want] : cases) {
        setUp(type, before);
        keys.clear();
        enter(QString::fromLatin1(typed));
        EXPECT_TRUE(cell->value().identical(want)) << type << " " << typed;
        EXPECT_EQ(std::tuple(keys, cell->mode()), std::tuple(std::vector<int>{vk::Enter}, Mode::Selected)) << typed;
        leave();
    }
    // Delete clears the text; Enter on the empty text stores empty.
    setUp("N", number(12000));
    focusCell();
    key(Qt::Key_Delete);
    EXPECT_EQ(state(), std::tuple(QString(), Mode::Editing, int(std::size(cases))));
    key(Qt::Key_Return);
    EXPECT_TRUE(cell->value().isEmpty());
    EXPECT_EQ(state(), std::tuple(QString(), Mode::Selected, int(std::size(cases)) + 1));
}

TEST(TesselCellDisplay, InputAndOutputCellsShowValuesByTypeCode) {
    // type, length, value, input cell's and output cell's text (nullptr: an unknown value leaves the text)
    const std::tuple<const char*, int, Variant, const char*, const char*> cases[] = {
        {"N", 10, number(1234567), " 1,234,567", " 1,234,567"},
        {"N", 10, Variant("12kg"), "12kg", "12kg"},  // not a number: shown as text
        {"N", 5, number(123456789), "*****", "*****"},
        {"d", 10, Variant(DateSerial(2024, 3, 5)), "  24/03/05", "  24/03/05"},
        {"D", 10, Variant(ostrel::Date()), "", "    /  /  "},
        {"D", 10, Variant("미정"), nullptr, "미정"},
        {"B", 2, Variant(true), "＋", "＋"}, {"B", 2, Variant(false), ".", "."},
        {"B", 1, Variant(true), "+", "+"}, {"B", 1, Variant(int32_t(5)), "+", "+"}, {"B", 1, Variant::null(), "", ""},
        {"X", 1, Variant("kept"), "kept", ""},
        {"c", 10, Variant("A&B"), "A&B", "A&B"},
    };
    invar in;
    outvar out;
    EXPECT_EQ(out.Label1()->textFormat(), Qt::PlainText);  // "&" shown literally, no mnemonic
    for (const auto& [type, length, value, inCell, outCell] : cases) {
        shaped(&in, type, length, value);
        shaped(&out, type, length, value);
        EXPECT_TRUE(!inCell || in.text() == QString::fromUtf8(inCell)) << type << " " << in.text().toStdString();
        EXPECT_EQ(out.caption(), QString::fromUtf8(outCell)) << type << " " << outCell;
        EXPECT_TRUE(value.isNull() ? out.value().isEmpty() : out.value().identical(value));
    }
}

TEST(TesselDateReading, FormsOfDateTextFailuresGiveDateZeroAndDefaultsComeFromTheStoredDateOrToday) {
    const ostrel::Date today = DateSerial(2024, 7, 20);
    const Variant may10(DateSerial(2023, 5, 10));
    // typed, stored value, date read
    const std::tuple<const char*, Variant, ostrel::Date> cases[] = {
        {"3/5", {}, DateSerial(2024, 3, 5)},           {"9", {}, DateSerial(2024, 7, 9)},
        {"1231", {}, DateSerial(2024, 12, 31)},        {"24-1-2", may10, DateSerial(2024, 1, 2)},
        {"95/12/31", may10, DateSerial(1995, 12, 31)}, {"240315", may10, DateSerial(2024, 3, 15)},
        {"13/1", may10, DateSerial(2024, 1, 1)},       {"5/0", may10, DateSerial(2023, 4, 30)},
        // A stored year outside 1990..2089 gives way to the typed text read as a two-digit year.
        {"0315", Variant(DateSerial(1985, 1, 1)), DateSerial(2015, 3, 15)},
        {"891231", {}, DateSerial(2089, 12, 31)},      {"900101", {}, DateSerial(1990, 1, 1)}};
    for (const auto& [typed, stored, date] : cases)
        EXPECT_EQ(readDateText(QString::fromLatin1(typed), stored, today), date) << typed;
    for (const char* bad : {"", "0", "00", "0/0", "0/0/0", "ab", "3/", "1/2/3/4", "7x", "12-ab", "99999/1"})
        EXPECT_TRUE(readDateText(QString::fromLatin1(bad), Variant(), today).isZero()) << bad;
}

// Unchanged edits keep the stored value: a too-wide number shown as asterisks, a full-width mark.
TEST_F(TesselCell, NumberBeyondCurrencyIsRejectedAndUnchangedEditsKeepTheValue) {
    setUp("N", number(7));
    enter(QStringLiteral("99999999999999999999"));
    // Rejected: the text stays for correction.
    EXPECT_EQ(state(), std::tuple(QStringLiteral("99999999999999999999"), Mode::Editing, 0));
    EXPECT_TRUE(cell->value().identical(number(7)));
    key(Qt::Key_Escape);
    EXPECT_EQ(cell->text().trimmed(), QStringLiteral("7"));
    cell->setLength(5);
    for (const Variant& v : {number(123456789), Variant(true)}) {
        cell->setValueType(v.isBoolean() ? QStringLiteral("B") : QStringLiteral("N"));
        cell->setValue(v);
        leave();
        focusCell();
        key(Qt::Key_F2);
        EXPECT_EQ(cell->mode(), invar::Mode::Editing);
        key(Qt::Key_Return);
        EXPECT_TRUE(cell->value().identical(v)) << cell->text().toStdString();
    }
}

TEST_F(TesselCell, LeftAndRightCommitOnlyAtTheEdgesOfTheText) {
    setUp("C", Variant());
    focusCell();
    typeText(QStringLiteral("abc"));
    key(Qt::Key_Left);  // caret 3 -> 2: only moves
    EXPECT_EQ(cell->Text1()->cursorPosition(), 2);
    key(Qt::Key_Right);  // caret 2 -> 3: only moves
    EXPECT_TRUE(keys.empty());
    key(Qt::Key_Right);  // after the last character: commits
    EXPECT_EQ(std::tuple(keys, cell->value().toString()), std::tuple(std::vector{vk::Right}, QStringLiteral("abc")));
    keys.clear();
    key(Qt::Key_F2);  // editing with the caret after the text
    typeText(QStringLiteral("d"));
    key(Qt::Key_Home);  // Home stays in the text box while editing
    EXPECT_TRUE(keys.empty());
    key(Qt::Key_Left, Qt::ShiftModifier);  // at position 0: commits with the shift state
    EXPECT_EQ(keys, std::vector<int>{shiftstate::Shift * 256 + vk::Left});
    EXPECT_EQ(state(), std::tuple(QStringLiteral("abcd"), Mode::Selected, 2));
    // After F2 a caret at the edge leaves on the first key, whatever is selected; Left at the end only moves.
    const std::pair<std::vector<std::pair<int, int>>, int> edges[] = {
        {{{Qt::Key_Home, Qt::ShiftModifier}, {Qt::Key_Left, 0}}, vk::Left},
        {{{Qt::Key_Home, 0}, {Qt::Key_End, Qt::ShiftModifier}, {Qt::Key_Right, 0}}, vk::Right},
        {{{Qt::Key_Left, 0}}, 0}};
    for (const auto& [presses, reported] : edges) {
        leave();
        setUp("C", Variant("abc"));
        focusCell();
        keys.clear();
        key(Qt::Key_F2);
        for (auto [k, m] : presses) key(k, m);
        EXPECT_EQ(keys, reported ? std::vector<int>{reported} : std::vector<int>{}) << reported;
        EXPECT_EQ(cell->mode(), reported ? invar::Mode::Selected : invar::Mode::Editing) << reported;
    }
}

// Selected cells report keys as commands; a locked cell does so too but never edits.
TEST_F(TesselCell, KeysWhileSelectedBecomeKeyCommandsAndALockedCellNeverEdits) {
    auto p = std::make_shared<FakeProcess>();
    p->f3 = [](QString&) { return Variant("picked"); };
    setUp("C", Variant("keep"), p);
    focusCell();
    for (auto [k, m] : {std::pair{Qt::Key_Down, 0}, {Qt::Key_PageUp, int(Qt::ControlModifier)}, {Qt::Key_F5, 0},
                        {Qt::Key_A, int(Qt::AltModifier)}, {Qt::Key_F, int(Qt::ControlModifier)},
                        {Qt::Key_N, int(Qt::ControlModifier)}, {Qt::Key_Y, int(Qt::ControlModifier)}})
        key(k, m);
    EXPECT_EQ(keys, (std::vector<int>{vk::Down, keycmd::CtrlPgUp, vk::F5, keycmd::altLetter('A'), keycmd::CtrlF,
                                      keycmd::CtrlN, keycmd::CtrlY}));
    keys.clear();
    cell->setLocked(true);
    typeText(QStringLiteral("xy"));
    for (int k : {Qt::Key_Delete, Qt::Key_F2, Qt::Key_F3, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Up}) key(k);
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_EQ(keys, (std::vector<int>{vk::Enter, vk::Esc, vk::Up}));
    EXPECT_EQ(state(), std::tuple(QStringLiteral("keep"), Mode::Selected, 0));
    EXPECT_TRUE(p->log.isEmpty());
}

TEST_F(TesselCell, AnUnchangedNumberStillGoesThroughItsInputProcess) {
    auto p = std::make_shared<FakeProcess>();
    for (int round = 0; round < 2; ++round) {  // without, then with an input process
        setUp("N", Variant(int32_t(1234)), round ? p : nullptr);
        focusCell();
        key(Qt::Key_F2);
        key(Qt::Key_Return);
        EXPECT_EQ(std::tuple(cell->value().toDouble(), p->log.filter("AfterEnter").size(), modified),
                  std::tuple(1234.0, round, round + 1));
        leave();
    }
}

TEST_F(TesselCell, ClickTogglesABooleanCellOnceEvenOnADoubleClick) {
    setUp("B", Variant(true));
    cell->setLength(2);
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_EQ(state(), std::tuple(QString(), Mode::Selected, 1));
    QTest::mouseClick(cell->Text1(), Qt::LeftButton);
    EXPECT_TRUE(cell->value().identical(Variant(true)));
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                           QEvent::MouseButtonRelease}) {
        QMouseEvent ev(t, QPointF(4, 4), cell->Text1()->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                       t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cell->Text1(), &ev);
    }
    EXPECT_EQ(std::tuple(modified, cell->value().isEmpty()), std::tuple(3, true));
}

TEST_F(TesselCell, WideTextShrinksInStepsOfOneAndAHalfPointsDownTo7_5) {
    cell->setValueType(QStringLiteral("C"));  // length 10, size 12
    for (auto [text, size] : {std::pair{QStringLiteral("0123456789"), 12.0}, {QStringLiteral("01234567890"), 10.5},
                              {QStringLiteral("가나다라마바"), 9.0}, {QStringLiteral("0123456789abcd"), 7.5},
                              {QString(40, u'x'), 7.5}, {QStringLiteral("short"), 12.0}}) {
        cell->setValue(Variant(text));
        EXPECT_EQ(cell->Text1()->text(), text);  // the text box holds what is shown
        EXPECT_EQ(std::tuple(cell->Text1()->font().pointSizeF(), cell->Text1()->cursorPosition()), std::tuple(size, 0))
            << text.toStdString();
    }
    // The size follows the font size at the next length: (9 x 10 x 4 + 60) / 15 pixels at 96 DPI.
    const QSize before = cell->size();
    cell->setFontsize(9);
    EXPECT_EQ(cell->size(), before);
    cell->setLength(4);
    EXPECT_EQ(std::tuple(cell->width(), cell->Text1()->geometry()), std::tuple(28, QRect(0, 2, 28, 12)));
    // Output cells shrink down to 6 points and then fill the control.
    outvar o;
    o.setValue(Variant(QStringLiteral("가나다라마바")));
    EXPECT_DOUBLE_EQ(o.Label1()->font().pointSizeF(), 9);
    const QRect normal = o.Label1()->geometry();
    o.setValue(Variant(QString(40, u'x')));
    EXPECT_EQ(std::tuple(o.Label1()->font().pointSizeF(), o.Label1()->geometry()), std::tuple(6.0, o.rect()));
    o.setValue(Variant("ok"));
    // Stretched until the next length.
    EXPECT_EQ(std::tuple(o.Label1()->font().pointSizeF(), o.Label1()->geometry()), std::tuple(12.0, o.rect()));
    o.setLength(o.length());
    EXPECT_EQ(o.Label1()->geometry(), normal);
}

TEST_F(TesselCell, IdleCellPaintsWhatItsTextBoxWould) {
    // type, length, decimals, value, background (-1: the default)
    const std::tuple<const char*, int, int, Variant, long> cases[] = {
        {"C", 20, 0, Variant(QStringLiteral("가나다 상회")), -1},
        {"C", 6, 0, Variant(QStringLiteral("아주 긴 품목 이름입니다")), -1},  // shrunk font
        {"C", 10, 0, Variant(QStringLiteral("a\tb\x01" "c\u2028d")), -1},        // shown as spaces
        {"C", 3, 0, Variant(QStringLiteral("WWWWWWWW")), -1},                    // wider than the box
        {"N", 12, 2, Variant(ostrel::Currency::fromDouble(1234567.5)), -1},
        {"N", 3, 0, Variant(ostrel::Currency::fromInt(123456)), -1},            // asterisks
        {"D", 10, 0, Variant(ostrel::DateSerial(2024, 3, 15)), -1},
        {"B", 2, 0, Variant(true), -1},
        {"C", 20, 0, Variant(QStringLiteral("가나다 상회")), RGB(255, 200, 200)},  // a colour of its own
    };
    int y = 30;
    for (const auto& [type, length, dec, value, back] : cases) {
        auto* idle = shaped(new invar(&window), type, length, value, dec);
        if (back >= 0) idle->setBackColor(back);
        idle->move(10, y);
        idle->show();
        y += idle->height() + 4;
        window.resize(400, y + 40);
        other->move(0, y + 10);
        ASSERT_EQ(idle->mode(), invar::Mode::Idle);
        SCOPED_TRACE(value.toString().toStdString());
        const QImage own = picture(idle);
        // A placeholder hands the painting back to the text box; the text keeps it from showing.
        idle->Text1()->setPlaceholderText(QStringLiteral("-"));
        const QImage box = picture(idle);
        EXPECT_TRUE(own == box) << difference(own, box);
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(idle) == box; }, 2000)) << difference(onSurface(idle), box);
        idle->Text1()->setPlaceholderText(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(idle) == box; }, 2000))
            << "painted by the cell: " << difference(onSurface(idle), box);
    }
}

TEST_F(TesselCell, CellThatWasSelectedLooksLikeOneThatNeverWas) {
    auto* fresh = shaped(new invar(&window), "C", 8, Variant());
    fresh->move(0, 40);
    fresh->show();
    shaped(cell, "C", 8, Variant(QStringLiteral("처음 값")));
    focusCell();
    key(Qt::Key_F2);
    typeText(QStringLiteral("xyz"));
    ASSERT_EQ(cell->mode(), invar::Mode::Editing);
    const QImage selected = picture(cell);
    leave();
    EXPECT_EQ(cell->value().toString(), QStringLiteral("처음 값xyz"));
    cell->setValue(Variant(QStringLiteral("나중 값")));
    fresh->setValue(Variant(QStringLiteral("나중 값")));
    const QImage idle = picture(fresh);
    EXPECT_FALSE(idle == selected);
    EXPECT_TRUE(picture(cell) == idle) << difference(picture(cell), idle);
    EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(cell) == idle; }, 2000)) << difference(onSurface(cell), idle);
}

// A text box that nobody read since the last display takes the font, focus and keys for that display.
TEST_F(TesselCell, TextBoxHoldsTheDisplayWheneverItIsUsed) {
    shaped(cell, "C", 6, Variant(QStringLiteral("가나다라마바사아자")));
    cell->setFontsize(10);  // replaces the shrunk size of the text shown before it
    EXPECT_DOUBLE_EQ(cell->Text1()->font().pointSizeF(), 10);
    cell->setFontsize(12);
    cell->setLength(6);
    cell->setValue(Variant(QStringLiteral("ab")));
    cell->setValue(Variant(QStringLiteral("abc")));
    QWidget* box = cell->focusProxy();
    ASSERT_NE(box, nullptr);
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell->mode() == invar::Mode::Selected; }));
    key(Qt::Key_F2);
    typeText(QStringLiteral("d"));
    key(Qt::Key_Return);
    EXPECT_EQ(cell->value().toString(), QStringLiteral("abcd"));
    // Focus by Tab selects the text the box shows, not the one it held before.
    leave();
    cell->setValue(Variant(QStringLiteral("efgh")));
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell->mode() == invar::Mode::Selected; }));
    EXPECT_EQ(cell->Text1()->selectedText(), QStringLiteral("efgh"));
}

TEST_F(TesselCell, ModesPaintTheirColoursEscKeepsTheStoredValueAndFocusLossOrCloseMeCommits) {
    setUp("C", Variant("old"));
    EXPECT_EQ(base(cell), toQColor(colors::Idle));
    focusCell();
    EXPECT_EQ(std::tuple(gotFocus, base(cell)), std::tuple(1, QColor(128, 128, 255)));
    typeText(QStringLiteral("new"));
    EXPECT_EQ(base(cell), QColor(255, 255, 128));
    EXPECT_EQ(cell->text(), QStringLiteral("new"));  // the first character replaced the text
    key(Qt::Key_Escape);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("old"), Mode::Selected, 0));
    key(Qt::Key_Delete);
    EXPECT_EQ(cell->text(), QString());
    key(Qt::Key_Escape);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("old"), Mode::Selected, 0));
    // Backspace while selected edits the text, so it starts an edit too.
    key(Qt::Key_End);
    EXPECT_EQ(keys, std::vector<int>{vk::End});
    cell->Text1()->end(false);
    key(Qt::Key_Backspace);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("ol"), Mode::Editing, 0));
    leave();
    EXPECT_EQ(state(), std::tuple(QStringLiteral("ol"), Mode::Idle, 1));
    EXPECT_EQ(base(cell), toQColor(colors::Idle));
    focusCell();  // selected without an edit: losing the focus stores nothing
    leave();
    // Hangul comes as text without a key code.
    focusCell();
    QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("가"));
    QApplication::sendEvent(cell->Text1(), &hangul);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("가"), Mode::Editing, 1));
    cell->CloseMe();  // commits as losing the focus does, without a key
    EXPECT_EQ(state(), std::tuple(QStringLiteral("가"), Mode::Idle, 2));
    EXPECT_EQ(keys, std::vector<int>{vk::End});
}

TEST_F(TesselCell, InputProcessIsAskedInOrderAndCanRejectOrPick) {
    auto p = std::make_shared<FakeProcess>();
    QStringList events;
    QObject::connect(cell, &invar::CellInputProcess, [&](InputProcessRef& o) {
        events << QStringLiteral("in");
        EXPECT_EQ(o, p);
        EXPECT_EQ(cell->mode(), invar::Mode::Processing);
    });
    QObject::connect(cell, &invar::CellAfterInputProcess, [&](InputProcessRef&) { events << QStringLiteral("after"); });
    setUp("C", Variant(), p);
    p->enter = [](QString& t) { return t == QLatin1String("10") ? Variant(" 'Name' ") : Variant::null(); };
    enter(QStringLiteral("99"));
    EXPECT_EQ(state(), std::tuple(QStringLiteral("99"), Mode::Editing, 0));  // null: stays editing with its text
    EXPECT_TRUE(keys.empty());
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    typeText(QStringLiteral("10"));
    key(Qt::Key_Return);
    EXPECT_EQ(cell->value().toString(), QStringLiteral("Name"));
    EXPECT_EQ(p->log, (QStringList{"AfterEnter:99", "AfterEnter:10", "LastFilter:Name"}));
    EXPECT_EQ(events, (QStringList{"in", "after", "in", "after"}));
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});
    // The last filter says no: nothing stored; losing the focus then restores the stored value.
    p->filter = [](Variant&) { return false; };
    key(Qt::Key_Delete);
    typeText(QStringLiteral("10"));
    key(Qt::Key_Return);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("10"), Mode::Editing, 1));
    leave();
    EXPECT_EQ(state(), std::tuple(QStringLiteral("Name"), Mode::Idle, 1));
    // F3 stores the chosen value as Enter would; nothing chosen leaves the cell editing.
    p->filter = nullptr;
    p->f3 = [](QString& t) { return Variant(QStringLiteral("picked:") + t); };
    focusCell();
    key(Qt::Key_F3);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("picked:Name"), Mode::Selected, 2));
    EXPECT_EQ(keys, (std::vector<int>{vk::Enter, vk::Enter}));
    p->f3 = [](QString&) { return Variant::null(); };
    key(Qt::Key_F3);
    EXPECT_EQ(state(), std::tuple(QStringLiteral("picked:Name"), Mode::Editing, 2));
}

TEST_F(TesselCell, WindowOpenedByTheInputProcessDoesNotRetriggerTheCell) {
    ModalDriver driver;
    auto p = std::make_shared<FakeProcess>();
    setUp("N", Variant(), p);
    auto box = [&] {
        QMessageBox(QMessageBox::Information, QStringLiteral("확인"), QStringLiteral("확인하세요"), QMessageBox::Ok,
                    &window)
            .exec();
    };
    p->enter = [&](QString& t) {
        box();
        return Variant(t + QStringLiteral("+"));
    };
    p->filter = [&](Variant&) {  // a window of its own while the cell is still editing
        box();
        return true;
    };
    enter(QStringLiteral("5"));
    EXPECT_TRUE(cell->value().identical(number(5000)));
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});
    // Two windows, one Modified, one AfterEnter and one LastFilter: no re-entry.
    EXPECT_EQ(std::tuple(driver.messages.size(), modified, p->log.count()), std::tuple(2, 1, 2));
}

TEST_F(TesselCell, OutputCellReportsKeysAndClicksToTheContainer) {
    auto* o = new outvar(&window);
    int clicks = 0, doubles = 0;
    QObject::connect(o, &outvar::keycommand, [this](int& k) { keys.push_back(k); });
    QObject::connect(o, &outvar::Click, [&] { ++clicks; });
    QObject::connect(o, &outvar::DblClick, [&] { ++doubles; });
    o->show();
    ASSERT_TRUE(focusOn(o));
    for (auto [k, m] : {std::pair{Qt::Key_F1, 0}, {Qt::Key_Down, int(Qt::ShiftModifier)}, {Qt::Key_Home, 0},
                        {Qt::Key_Z, int(Qt::AltModifier)}, {Qt::Key_F, int(Qt::ControlModifier)},
                        {Qt::Key_N, int(Qt::ControlModifier)}, {Qt::Key_A, 0}, {Qt::Key_Return, 0},
                        {Qt::Key_Delete, 0}})  // Delete is neither a reported key nor a character
        key(k, m);
    EXPECT_EQ(keys, (std::vector<int>{vk::F1, shiftstate::Shift * 256 + vk::Down, vk::Home, keycmd::altLetter('Z'),
                                      keycmd::CtrlF, chr::CtrlN, 'a', chr::Enter}));
    QTest::mouseClick(o->Label1(), Qt::LeftButton);  // the label passes clicks to the control
    QTest::mouseDClick(o, Qt::LeftButton);
    EXPECT_EQ(std::tuple(clicks, doubles), std::tuple(1, 1));
}

TEST_F(TesselCell, ButtonTakesEnterEscClickAndArrowsOnlyAndColoursOnFocus) {
    auto* b = new button(&window);
    int cursoron = 0;
    QObject::connect(b, &button::keycommand, [this](int& k) { keys.push_back(k); });
    QObject::connect(b, &button::cursoron, [&] {
        ++cursoron;  // raised before the colour changes
        EXPECT_EQ(b->palette().color(QPalette::Window), QColor(192, 192, 192));
    });
    b->setValue(Variant("확인"));
    b->show();
    ASSERT_TRUE(focusOn(b));
    EXPECT_EQ(std::tuple(cursoron, b->palette().color(QPalette::Window)), std::tuple(1, QColor(128, 128, 255)));
    for (auto [k, m] : {std::pair{Qt::Key_Return, 0}, {Qt::Key_Escape, 0}, {Qt::Key_X, 0}, {Qt::Key_Up, 0},
                        {Qt::Key_PageDown, int(Qt::ControlModifier)}, {Qt::Key_Home, 0}, {Qt::Key_F5, 0}})
        key(k, m);
    QTest::mouseClick(b->Label1(), Qt::LeftButton);
    EXPECT_EQ(keys, (std::vector<int>{vk::Enter, vk::Esc, vk::Up, keycmd::CtrlPgDn, vk::Enter}));
    EXPECT_EQ(b->caption(), QStringLiteral("확인"));  // never types
    leave();
    EXPECT_EQ(b->palette().color(QPalette::Window), QColor(192, 192, 192));
    // Sized by font size and length, height (9 x 20 + 60) / 15; the caption fills whatever size it is given.
    b->setFont_size(9);
    b->setLength(4);
    EXPECT_EQ(std::tuple(b->size(), b->Label1()->geometry()), std::tuple(QSize(28, 16), QRect(2, 2, 24, 12)));
    b->resize(100, 40);
    WAIT_EQ(b->Label1()->geometry(), QRect(2, 2, 96, 36));
}

// The pixel just inside the control's corner, where no caption or text box reaches.
QColor corner(QWidget* w) { return w->grab().toImage().pixelColor(1, 1); }

TEST_F(TesselCell, EveryFocusableControlShowsAMarkWhileItHoldsTheFocus) {
    auto* out = new outvar(&window);
    auto* b = new button(&window);
    b->setValue(Variant("확인"));
    auto* grid = new ab(&window);
    grid->setMaxrow(2);
    grid->setStru(makeStru({fieldDef("C", 4, 0, "가")}));
    using Shown = std::pair<QWidget*, QWidget*>;  // the control given the focus, and where its mark shows
    for (auto [control, shown] : {Shown{cell, cell}, {out, out}, {b, b}, {grid, grid->invar1(0)}}) {
        SCOPED_TRACE(control->metaObject()->className());
        control->show();
        const QColor without = corner(shown);
        control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown->isAncestorOf(focused()) || shown->hasFocus(); }));
        const QColor with = corner(shown);
        EXPECT_NE(with, without);
        EXPECT_LT(with.lightness(), 64) << "a dark frame";
        leave();
        EXPECT_EQ(corner(shown), without);
    }
}

// A fractional font size keeps its fraction in the height of every kind of cell.
TEST(TesselCellLayout, FractionalFontSizesKeepTheirFractionInTheCellHeight) {
    for (const float size : {10.5f, 9.75f, 12.0f}) {
        invar in;
        in.setFontsize(size);
        in.setLength(5);
        outvar out;
        out.setFontsize(size);
        out.setLength(5);
        ab grid;
        grid.setFontsize(size);
        grid.setMaxrow(1);
        grid.setStru(makeStru({fieldDef("C", 4, 0, "가")}));
        for (double h : {in.heightTwips(), out.heightTwips(), grid.invar1(0)->heightTwips(),
                         grid.outvar1(0)->heightTwips()})
            EXPECT_DOUBLE_EQ(h, double(size) * 28) << size;
    }
}

}  // namespace
