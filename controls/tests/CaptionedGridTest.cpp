// The captioned grid: the focus parked on the caption and given back to the grid by real keys,
// the caption's keys sharing one code space with its characters, and the grid passed through.
#include "WidgetTest.h"
#include "WaitFor.h"

#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/abo.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace tessel;
using ostrel::Variant;

namespace {

class TesselCaptionedGrid : public ::testing::Test {
protected:
    void SetUp() override {
        grid = new abo(&window);
        grid->setMaxrow(4);
        grid->setStru(
            makeStru({fieldDef("C", 6, 0, "품목"), fieldDef("C", 6, 0, "단위"), fieldDef("N", 6, 0, "수량")}));
        grid->setCaption("발주");
        for (int r = 0; r < 3; ++r) grid->appendrec(Variant::array({Variant("품목"), Variant("kg"), Variant(r)}));
        grid->setValue(grid->value());
        QObject::connect(grid, &abo::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(grid, &abo::CellGotFocus, [this](int& rec, int& fie, int&, int& nextkey) {
            arrivals.emplace_back(rec, fie);
            if (fie == 2 && skipLast) nextkey = grid->NotStopNextkey().toLong();
        });
        window.resize(grid->width() + 20, grid->height() + 20);
        ASSERT_TRUE(vendra::test::showActive(&window));
    }
    QLineEdit* text(int row, int f) const { return grid->ab1()->invar1(row * 3 + f)->Text1(); }
    bool onCaption() const { return grid->outvar1()->hasFocus(); }
    long captionColour() const { return fromQColor(grid->outvar1()->palette().color(QPalette::Window)); }
    void enterGrid(int row, int f) {
        text(row, f)->setFocus();
        WAIT_FOR(grid->inGrid());
    }
    void focusCaption() {
        grid->outvar1()->setFocus();
        WAIT_FOR(onCaption());
    }

    QWidget window;
    abo* grid = nullptr;
    std::vector<int> keys;
    std::vector<std::pair<int, int>> arrivals;
    bool skipLast = false;
};

TEST_F(TesselCaptionedGrid, LeavingKeysParkTheFocusOnTheCaptionAndBack) {
    grid->setUpExit(true);
    const long background = fromQColor(QApplication::palette().color(QPalette::Window));
    const std::pair<int, std::pair<int, int>> leaves[] = {{Qt::Key_Escape, {1, 1}}, {Qt::Key_Up, {0, 2}}};
    for (const auto& [key, from] : leaves) {
        enterGrid(from.first, from.second);
        EXPECT_EQ(captionColour(), background);
        vendra::test::key(key);  // Esc anywhere, Up on the first record with UpExit
        WAIT_FOR(onCaption());
        EXPECT_FALSE(grid->inGrid());
        EXPECT_EQ(captionColour(), colors::Selected);
        for (int back : {Qt::Key_Down, Qt::Key_Return}) {
            focusCaption();
            vendra::test::key(back);
            WAIT_FOR(grid->inGrid());
            EXPECT_EQ(arrivals.back(), from) << "back to the cursor";
        }
    }
    EXPECT_TRUE(keys.empty()) << "leaving by Esc or Up raises nothing";

    grid->zap();  // in the grid: the caption takes the focus first
    WAIT_FOR(onCaption());
    EXPECT_EQ(grid->RecCount(), 0);
    grid->setDoubleEnterExit(true);
    enterGrid(0, 0);
    vendra::test::key(Qt::Key_Return);
    WAIT_FOR(grid->ab1()->fie() == 1);
    vendra::test::key(Qt::Key_Return);
    WAIT_FOR(onCaption());
    EXPECT_EQ(keys, std::vector<int>{vk::Enter}) << "a second Enter on the empty line leaves with Enter";
}

TEST_F(TesselCaptionedGrid, CaptionReportsKeysAndTypesCharactersIntoTheGrid) {
    enterGrid(2, 1);
    struct Case {
        int qtKey;  // 0: type `text`
        QString text;
        int reported;  // keycommand raised, 0 for none
        QString typed;  // what lands in the grid's cell, "" when the caption keeps the focus
    } const cases[] = {
        {Qt::Key_PageUp, {}, vk::PgUp, {}},
        {Qt::Key_Left, {}, vk::Left, {}},
        {Qt::Key_F2, {}, vk::F2, {}},
        {0, "!", vk::PgUp, {}},  // one code space: ! is PgUp, & is Up
        {0, "&", vk::Up, {}},
        {0, "k", 0, "k"},
        {0, "가", 0, "가"},
        {Qt::Key_Home, {}, 0, "$"},  // Home and End fall in the character range
        {Qt::Key_End, {}, 0, "#"},
        {Qt::Key_Backspace, {}, 0, {}},
    };
    for (const Case& c : cases) {
        focusCaption();
        keys.clear();
        if (c.qtKey)
            vendra::test::key(c.qtKey);
        else
            QTest::sendKeyEvent(QTest::Click, vendra::test::focused(), Qt::Key_unknown, c.text, Qt::NoModifier);
        EXPECT_EQ(keys, c.reported ? std::vector<int>{c.reported} : std::vector<int>{})
            << c.qtKey << c.text.toStdString();
        if (c.typed.isEmpty()) {
            EXPECT_TRUE(onCaption());
            continue;
        }
        WAIT_FOR(text(2, 1)->text() == c.typed);
        vendra::test::key(Qt::Key_Escape);  // drops the edit
        WAIT_FOR(grid->ab1()->invar1(7)->mode() != invar::Mode::Editing);
        vendra::test::key(Qt::Key_Escape);  // leaves
        WAIT_FOR(onCaption());
    }
    EXPECT_EQ(grid->Cell(2, 1).toString(), QStringLiteral("kg"));
}

TEST_F(TesselCaptionedGrid, LayoutAndPassThrough) {
    ab* inner = grid->ab1();
    EXPECT_EQ(inner->y(), twipsToPixels(300));
    EXPECT_EQ(grid->size(), QSize(inner->width(), inner->y() + inner->height()));
    EXPECT_LE(std::abs(grid->outvar1()->geometry().center().x() - grid->width() / 2), 1);
    EXPECT_EQ(grid->outvar1()->caption(), QStringLiteral("발주"));

    std::vector<std::tuple<int, int, QString, bool>> changes;
    QObject::connect(grid, &abo::CellModified, [&](int& rec, int& fie, Variant& old, bool& internal) {
        changes.emplace_back(rec, fie, old.toString(), internal);
    });
    grid->setCell(3, 0, Variant("새 품목"));
    EXPECT_EQ(changes, (std::vector<std::tuple<int, int, QString, bool>>{{3, 0, QString(), false}}));

    skipLast = true;  // a CellGotFocus handler steering the inner grid's cursor
    enterGrid(1, 2);
    WAIT_FOR(inner->rec() == 2 && inner->fie() == 0);
}

}  // namespace
