// Where the keyboard is and where it goes: the grid as one stop of its window's tab order, the
// focus mark of every control, and the edge keys and events of the cells.
#include "WidgetTest.h"
#include "WaitFor.h"

#include "ostrel/clsTable.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"
#include "tessel/button.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::Variant;

namespace {

// A window of a text box, a grid of two fields over two records, and another text box.
struct GridWindow {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    ab* grid = new ab(&window);
    QLineEdit* after = new QLineEdit(&window);
    std::vector<int> exits;

    GridWindow() {
        grid->setMaxrow(3);
        grid->setStru(makeStru({fieldDef(QStringLiteral("C"), 6, 0, QStringLiteral("가")),
                                fieldDef(QStringLiteral("C"), 6, 0, QStringLiteral("나"))}));
        auto table = std::make_shared<ostrel::clsTable>();
        table->setNOF(2);
        for (int r = 0; r < 2; ++r) {
            table->AppendBlank();
            for (int f = 0; f < 2; ++f) table->setFields(f, Variant(QStringLiteral("r%1f%2").arg(r).arg(f)));
        }
        grid->setValue(table);
        grid->move(0, 30);
        after->move(0, grid->y() + grid->height() + 5);
        window.resize(grid->width() + 10, after->y() + 40);
        QObject::connect(grid, &ab::abexit, [this](int& k) { exits.push_back(k); });
    }
    QLineEdit* cell(int rec, int fie) const { return grid->invar1(rec * grid->displayedFields() + fie)->Text1(); }
    bool focusCell(int rec, int fie) {
        cell(rec, fie)->setFocus(Qt::MouseFocusReason);
        return QTest::qWaitFor([&] { return grid->rec() == rec && grid->fie() == fie; });
    }
};

struct TabCase {
    const char* name;
    int rec, fie;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool forward;  // lands after the grid, else before it
    const char* typed;  // typed into the cell first: the edit is kept when the focus leaves
};

TEST(TesselKeyboardReach, TabAndShiftTabLeaveTheGridFromAnyCellAndComeBackToItsCursor) {
    const TabCase cases[] = {
        {"Tab from the first cell", 0, 0, Qt::Key_Tab, Qt::NoModifier, true, ""},
        {"Tab from the append line", 2, 1, Qt::Key_Tab, Qt::NoModifier, true, ""},
        {"Tab while editing keeps the text", 1, 1, Qt::Key_Tab, Qt::NoModifier, true, "xy"},
        {"Shift+Tab from a cell", 1, 0, Qt::Key_Tab, Qt::ShiftModifier, false, ""},
        {"Backtab from the last record", 1, 1, Qt::Key_Backtab, Qt::ShiftModifier, false, "z"},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(c.name);
        GridWindow w;
        ASSERT_TRUE(vendra::test::showActive(&w.window));
        ASSERT_TRUE(w.focusCell(c.rec, c.fie));
        vendra::test::typeText(QString::fromUtf8(c.typed));
        vendra::test::key(c.key, c.mods);
        QWidget* expected = c.forward ? static_cast<QWidget*>(w.after) : w.before;
        ASSERT_TRUE(QTest::qWaitFor([&] { return vendra::test::focused() == expected; }));
        if (*c.typed) {
            EXPECT_EQ(w.grid->Cell(c.rec, c.fie).toString(), QString::fromUtf8(c.typed));
        }
        // Back into the grid the opposite way: the cell of its cursor.
        vendra::test::key(Qt::Key_Tab, c.forward ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return vendra::test::focused() == w.cell(c.rec, c.fie); }));
        EXPECT_TRUE(w.exits.empty());
    }
}

TEST(TesselKeyboardReach, EscLeavesTheGridThroughItsExitAndAGridAloneKeepsTheFocus) {
    GridWindow w;
    delete w.before;
    delete w.after;
    ASSERT_TRUE(vendra::test::showActive(&w.window));
    ASSERT_TRUE(w.focusCell(1, 0));
    vendra::test::key(Qt::Key_Tab);
    vendra::test::key(Qt::Key_Escape);
    EXPECT_EQ(w.exits, std::vector<int>{vk::Esc});
    EXPECT_EQ(vendra::test::focused(), w.cell(1, 0));
}

struct MarkCase {
    const char* name;
    std::function<QWidget*(QWidget* parent)> make;  // the control, with its focus target
};

// The pixel just inside the control's corner, where no caption or text box reaches.
QColor corner(QWidget* w) { return w->grab().toImage().pixelColor(1, 1); }

TEST(TesselKeyboardReach, EveryFocusableControlShowsAMarkWhileItHoldsTheFocus) {
    const MarkCase cases[] = {
        {"input cell", [](QWidget* p) { return new invar(p); }},
        {"output cell", [](QWidget* p) { return new outvar(p); }},
        {"button",
         [](QWidget* p) {
             auto* b = new button(p);
             b->setValue(Variant("확인"));
             return b;
         }},
        {"the grid's current cell",
         [](QWidget* p) {
             auto* g = new ab(p);
             g->setMaxrow(2);
             g->setStru(makeStru({fieldDef(QStringLiteral("C"), 4, 0, QStringLiteral("가"))}));
             return g;
         }},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        QWidget* control = c.make(&window);
        auto* elsewhere = new QLineEdit(&window);
        elsewhere->move(0, control->height() + 10);
        ASSERT_TRUE(vendra::test::showActive(&window));
        elsewhere->setFocus();
        auto* grid = qobject_cast<ab*>(control);
        QWidget* shown = grid ? static_cast<QWidget*>(grid->invar1(0)) : control;
        ASSERT_TRUE(QTest::qWaitFor([&] { return elsewhere->hasFocus(); }));
        const QColor without = corner(shown);
        control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown->isAncestorOf(vendra::test::focused()) || shown->hasFocus(); }));
        const QColor with = corner(shown);
        EXPECT_NE(with, without);
        EXPECT_LT(with.lightness(), 64) << "a dark frame";
        elsewhere->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return elsewhere->hasFocus(); }));
        EXPECT_EQ(corner(shown), without);
    }
}

TEST(TesselKeyboardReach, FractionalFontSizesKeepTheirFractionInTheCellHeight) {
    for (const float size : {10.5f, 9.75f, 12.0f}) {
        SCOPED_TRACE(size);
        invar in;
        in.setFontsize(size);
        in.setLength(5);
        outvar out;
        out.setFontsize(size);
        out.setLength(5);
        ab grid;
        grid.setFontsize(size);
        grid.setMaxrow(1);
        grid.setStru(makeStru({fieldDef(QStringLiteral("C"), 4, 0, QStringLiteral("가"))}));
        const double heights[] = {in.heightTwips(), out.heightTwips(), grid.invar1(0)->heightTwips(),
                                  grid.outvar1(0)->heightTwips()};
        for (double h : heights) EXPECT_DOUBLE_EQ(h, double(size) * 28);
    }
}

struct EdgeCase {
    const char* name;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;  // after F2 on the text "abc"
    int reported;
};

TEST(TesselKeyboardReach, ACaretAtTheEdgeLeavesOnTheFirstKeyWhateverIsSelected) {
    const EdgeCase cases[] = {
        {"Left after Shift+Home", {{Qt::Key_Home, Qt::ShiftModifier}, {Qt::Key_Left, Qt::NoModifier}}, vk::Left},
        {"Right after Home, Shift+End",
         {{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_End, Qt::ShiftModifier}, {Qt::Key_Right, Qt::NoModifier}},
         vk::Right},
        {"Left at the end only moves", {{Qt::Key_Left, Qt::NoModifier}}, 0},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        auto* cell = new invar(&window);
        cell->setValueType(QStringLiteral("C"));
        cell->setValue(Variant("abc"));
        std::vector<int> reported;
        QObject::connect(cell, &invar::keycommand, [&](int& k) { reported.push_back(k); });
        ASSERT_TRUE(vendra::test::showActive(&window));
        cell->Text1()->setFocus();
        vendra::test::key(Qt::Key_F2);
        for (const auto& [k, m] : c.keys) vendra::test::key(k, m);
        if (c.reported) {
            EXPECT_EQ(reported, std::vector<int>{c.reported});
            EXPECT_EQ(cell->mode(), invar::Mode::Selected);
        } else {
            EXPECT_TRUE(reported.empty());
            EXPECT_EQ(cell->mode(), invar::Mode::Editing);
        }
    }
}

TEST(TesselKeyboardReach, ALabelStretchedForATinyTextStaysSoUntilTheNextLength) {
    outvar out;
    out.setLength(10);
    const QRect laidOut = out.Label1()->geometry();
    out.setValue(Variant(QString(40, QLatin1Char('x'))));
    EXPECT_EQ(out.Label1()->geometry(), out.rect());
    out.setValue(Variant("ab"));
    EXPECT_EQ(out.Label1()->geometry(), out.rect());
    EXPECT_EQ(out.Label1()->font().pointSizeF(), out.fontsize());
    out.setLength(10);
    EXPECT_EQ(out.Label1()->geometry(), laidOut);
}

// Counts its calls and gives back the text.
class CountingProcess : public InputProcess {
public:
    int afterEnter = 0;
    Variant AfterEnter(QString& text) override {
        ++afterEnter;
        return Variant(text);
    }
    Variant AfterF3(QString&) override { return Variant::null(); }
    bool LastFilter(Variant&) override { return true; }
};

TEST(TesselKeyboardReach, AnUnchangedNumberStillGoesThroughItsInputProcess) {
    for (const bool withProcess : {true, false}) {
        SCOPED_TRACE(withProcess);
        QWidget window;
        auto* cell = new invar(&window);
        cell->setValueType(QStringLiteral("N"));
        auto process = std::make_shared<CountingProcess>();
        if (withProcess) cell->setInputProcess(process);
        cell->setValue(Variant(int32_t(1234)));
        int modified = 0;
        QObject::connect(cell, &invar::Modified, [&] { ++modified; });
        ASSERT_TRUE(vendra::test::showActive(&window));
        cell->Text1()->setFocus();
        vendra::test::key(Qt::Key_F2);
        vendra::test::key(Qt::Key_Return);
        EXPECT_EQ(process->afterEnter, withProcess ? 1 : 0);
        EXPECT_EQ(modified, 1);
        EXPECT_EQ(cell->value().toDouble(), 1234);
    }
}

TEST(TesselKeyboardReach, GridEventsHandTheCursorItselfByReference) {
    GridWindow w;
    // A handler that moves the cursor to field 1 of the record it arrived on.
    QObject::connect(w.grid, &ab::CellGotFocus, [](int&, int& fie, int&, int&) { fie = 1; });
    ASSERT_TRUE(vendra::test::showActive(&w.window));
    w.cell(1, 0)->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.grid->rec() == 1; }));
    EXPECT_EQ(w.grid->fie(), 1);
}

}  // namespace
