// The captioned grid: the focus parked on the caption and given back to the grid by real keys,
// the caption's keys in one code space with its characters, and the grid's members and events
// passed through.
#include "TestSupport.h"
#include "WaitFor.h"

#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/abo.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::Variant;

namespace {

class TesselCaptionedGrid : public ::testing::Test {
protected:
    void make(int records) {
        grid = new abo(&window);
        grid->setMaxrow(4);
        grid->setStru(makeStru({fieldDef("C", 6, 0, "품목"), fieldDef("C", 6, 0, "단위"), fieldDef("N", 6, 0, "수량")}));
        grid->setCaption(QStringLiteral("발주"));
        for (int r = 0; r < records; ++r)
            grid->appendrec(Variant::array({Variant(QStringLiteral("품목%1").arg(r)), Variant("kg"), Variant(r)}));
        grid->setValue(grid->value());
        QObject::connect(grid, &abo::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(grid, &abo::CellGotFocus, [this](int& rec, int& fie, int&, int&) {
            arrivals.push_back({rec, fie});
        });
        window.resize(grid->width() + 20, grid->height() + 20);
        ASSERT_TRUE(test::showActive(&window));
    }
    invar* cellAt(int row, int f) const { return grid->ab1()->invar1(row * 3 + f); }
    bool captionHasFocus() const { return grid->outvar1()->hasFocus(); }
    bool gridHasFocus() const { return grid->ab1()->isAncestorOf(QApplication::focusWidget()); }
    void enterGrid(int row, int f) {
        cellAt(row, f)->Text1()->setFocus();
        WAIT_FOR(grid->inGrid());
    }
    void focusCaption() {
        grid->outvar1()->setFocus();
        WAIT_FOR(captionHasFocus());
    }

    QWidget window;
    abo* grid = nullptr;
    std::vector<int> keys;
    std::vector<std::pair<int, int>> arrivals;
};

TEST_F(TesselCaptionedGrid, LeavingKeysParkTheFocusOnTheCaption) {
    make(3);
    grid->setUpExit(true);
    enterGrid(1, 1);
    EXPECT_EQ(arrivals.back(), std::make_pair(1, 1)) << "the grid's CellGotFocus passed on";
    EXPECT_EQ(fromQColor(grid->outvar1()->palette().color(QPalette::Window)),
              fromQColor(QApplication::palette().color(QPalette::Window)));

    test::key(Qt::Key_Escape);
    WAIT_FOR(captionHasFocus());
    EXPECT_FALSE(grid->inGrid());
    EXPECT_TRUE(keys.empty()) << "Esc raises nothing";
    EXPECT_EQ(fromQColor(grid->outvar1()->palette().color(QPalette::Window)), colors::Selected);

    struct Back {
        const char* name;
        int qtKey;
    } const backs[] = {{"Down", Qt::Key_Down}, {"Enter", Qt::Key_Return}};
    for (const Back& b : backs) {
        focusCaption();
        test::key(b.qtKey);
        WAIT_FOR(gridHasFocus());
        EXPECT_TRUE(grid->inGrid()) << b.name;
        EXPECT_EQ(arrivals.back(), std::make_pair(1, 1)) << b.name << ": back to the cursor";
    }
    EXPECT_NE(fromQColor(grid->outvar1()->palette().color(QPalette::Window)), colors::Selected);

    enterGrid(0, 2);
    test::key(Qt::Key_Up);  // on the first record with UpExit
    WAIT_FOR(captionHasFocus());
    EXPECT_TRUE(keys.empty()) << "Up leaves without a key";
}

TEST_F(TesselCaptionedGrid, DoubleEnterOnTheEmptyLineLeavesWithEnter) {
    make(0);
    grid->setDoubleEnterExit(true);
    enterGrid(0, 0);
    test::key(Qt::Key_Return);
    WAIT_FOR(grid->ab1()->fie() == 1);
    test::key(Qt::Key_Return);
    WAIT_FOR(captionHasFocus());
    EXPECT_EQ(keys, std::vector<int>{vk::Enter});
}

TEST_F(TesselCaptionedGrid, CaptionReportsKeysAndTypesCharactersIntoTheGrid) {
    make(3);
    enterGrid(2, 1);
    struct Case {
        const char* name;
        int qtKey;
        QString text;       // typed as a character when not empty
        int reported;       // keycommand raised, 0 for none
        QString typed;      // what lands in the grid's cell, "" when the caption keeps the focus
    } const cases[] = {
        {"PgUp", Qt::Key_PageUp, {}, vk::PgUp, {}},
        {"Left", Qt::Key_Left, {}, vk::Left, {}},
        {"F2", Qt::Key_F2, {}, vk::F2, {}},
        {"exclamation mark reads as PgUp", 0, "!", vk::PgUp, {}},
        {"ampersand reads as Up", 0, "&", vk::Up, {}},
        {"a letter", 0, "k", 0, "k"},
        {"a Hangul syllable", 0, "가", 0, "가"},
        {"Home reads as $", Qt::Key_Home, {}, 0, "$"},
        {"End reads as #", Qt::Key_End, {}, 0, "#"},
        {"Backspace", Qt::Key_Backspace, {}, 0, {}},
        {"Shift+Up", Qt::Key_Up, {}, 0, {}},
    };
    for (const Case& c : cases) {
        focusCaption();
        keys.clear();
        if (c.text.isEmpty()) {
            const bool shifted = QString(c.name).startsWith("Shift");
            test::key(c.qtKey, shifted ? Qt::ShiftModifier : Qt::NoModifier);
        } else if (c.text.at(0).unicode() < 128) {
            test::typeText(c.text);
        } else {
            QTest::sendKeyEvent(QTest::Click, test::focused(), Qt::Key_unknown, c.text, Qt::NoModifier);
        }
        EXPECT_EQ(keys, c.reported ? std::vector<int>{c.reported} : std::vector<int>{}) << c.name;
        if (c.typed.isEmpty()) {
            EXPECT_TRUE(captionHasFocus()) << c.name;
            continue;
        }
        WAIT_FOR(cellAt(2, 1)->Text1()->text() == c.typed);
        EXPECT_EQ(cellAt(2, 1)->mode(), invar::Mode::Editing) << c.name;
        test::key(Qt::Key_Escape);  // drops the edit
        WAIT_FOR(cellAt(2, 1)->mode() != invar::Mode::Editing);
        test::key(Qt::Key_Escape);  // leaves to the caption
        WAIT_FOR(captionHasFocus());
        EXPECT_EQ(grid->Cell(2, 1).toString(), QStringLiteral("kg")) << c.name;
    }
}

TEST_F(TesselCaptionedGrid, ZapInTheGridParksTheFocusFirst) {
    make(3);
    enterGrid(1, 0);
    grid->zap();
    WAIT_FOR(captionHasFocus());
    EXPECT_EQ(grid->RecCount(), 0);
    focusCaption();
    grid->zap();
    EXPECT_TRUE(captionHasFocus());
}

TEST_F(TesselCaptionedGrid, LayoutAndPassThrough) {
    make(3);
    ab* inner = grid->ab1();
    EXPECT_EQ(inner->y(), twipsToPixels(300));
    EXPECT_EQ(grid->width(), inner->width());
    EXPECT_EQ(grid->height(), inner->y() + inner->height());
    EXPECT_LE(std::abs(grid->outvar1()->geometry().center().x() - grid->width() / 2), 1);
    EXPECT_EQ(grid->outvar1()->caption(), QStringLiteral("발주"));
    EXPECT_EQ(grid->outvar1()->fontsize(), 8.0f);

    std::vector<std::tuple<int, int, QString, bool>> changes;
    int modified = 0;
    QObject::connect(grid, &abo::CellModified, [&](int& rec, int& fie, Variant& old, bool& internal) {
        changes.emplace_back(rec, fie, old.toString(), internal);
    });
    QObject::connect(grid, &abo::Modified, [&] { ++modified; });
    grid->setCell(3, 0, Variant("새 품목"));
    EXPECT_EQ(changes, (std::vector<std::tuple<int, int, QString, bool>>{{3, 0, QString(), false}}));
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(grid->RecCount(), 4);
    EXPECT_TRUE(grid->RecordExists(3));
    grid->setRecno(1);
    EXPECT_EQ(grid->Fields(0).toString(), QStringLiteral("품목1"));
    EXPECT_EQ(grid->Record().toArray().at(1).toString(), QStringLiteral("kg"));
    EXPECT_EQ(grid->titles(2).toString(), QStringLiteral("수량"));
    EXPECT_EQ(grid->value(), inner->value());
    grid->trim();
    EXPECT_EQ(grid->RecCount(), 4);

    // A container steering the cursor from CellGotFocus reaches the inner grid's nextkey.
    QObject::connect(grid, &abo::CellGotFocus, [&](int&, int& fie, int&, int& nextkey) {
        if (fie == 0) nextkey = grid->NotStopNextkey().toLong();
    });
    enterGrid(0, 0);
    WAIT_FOR(inner->fie() == 1);
}

}  // namespace
