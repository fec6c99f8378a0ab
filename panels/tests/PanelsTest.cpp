#include "ModalDriver.h"
#include "keplin/PanelLayout.h"
#include "keplin/fncPannel.h"
#include "keplin/panBase.h"

#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "tessel/KeyCode.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace keplin;
using ostrel::Date;
using ostrel::DateSerial;
namespace vk = tessel::vk;

namespace {

// Runs `act` on the next panel once it has given the first cell the focus.
void whenPanel(vendra::test::ModalDriver& driver, std::function<void(panBase*)> act) {
    driver.onNextModal([act](QWidget* w) {
        auto* pan = qobject_cast<panBase*>(w);
        ASSERT_NE(pan, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([pan] { return pan->cell(0)->isAncestorOf(QApplication::focusWidget()); }));
        act(pan);
    });
}

// Index of the control holding the focus: inputs, then button1, button2; -1 for none.
int focused(panBase* pan) {
    QWidget* f = QApplication::focusWidget();
    for (int i = 0; i < pan->inputCount(); ++i)
        if (pan->cell(i) == f || pan->cell(i)->isAncestorOf(f)) return i;
    if (f == pan->button1()) return pan->inputCount();
    if (f == pan->button2()) return pan->inputCount() + 1;
    return -1;
}

void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
void type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text)); }

// Where Enter, Right, Left, Up, Down and Esc lead from each control: a control index, '-' for
// nothing, 'c' to confirm, 'x' to cancel.
void expectMoves(const PanelLayout& layout, const std::vector<const char*>& table) {
    const int keys[] = {vk::Enter, vk::Right, vk::Left, vk::Up, vk::Down, vk::Esc};
    for (int from = 0; from < int(table.size()); ++from)
        for (int k = 0; k < 6; ++k) {
            const char c = table[size_t(from)][k];
            const PanelAction a = c == '-' ? PanelAction::None : c == 'c' ? PanelAction::Confirm
                                  : c == 'x' ? PanelAction::Cancel : PanelAction::Focus;
            const PanelMove expected{a, a == PanelAction::Focus ? c - '0' : -1};
            EXPECT_EQ(layout.move(from, keys[k]), expected) << "from " << from << " key " << keys[k];
        }
}

}  // namespace

TEST(PanelLayout, KeysLeadThroughBothColumns) {
    // Keys:                                   ERLUDx    ERLUDx    ERLUDx    ERLUDx
    expectMoves(PanelLayout::twoColumns(), {"11--2x", "220-3x", "c310-x", "x-21-x"});
    expectMoves(PanelLayout::singleInput(), {"11--1x", "c200-x", "x-10-x"});
    EXPECT_EQ(PanelLayout::twoColumns().move(0, vk::F1), PanelMove{});  // F1 means nothing here
    EXPECT_EQ(PanelLayout::twoColumns().move(7, vk::Enter), PanelMove{});
    EXPECT_THROW(PanelLayout(2, {-1, -1, 0}, {2, 3, -1, -1}), ostrel::RuntimeError);
    EXPECT_THROW(PanelLayout(1, {-1, 0, 5}, {1, -1, -1}), ostrel::RuntimeError);
}

TEST(Panels, ConfirmWritesThePrefilledOrTypedValuesBack) {
    vendra::test::ModalDriver driver;
    Date d1 = DateSerial(2024, 3, 1), d2 = DateSerial(2024, 3, 31);
    std::vector<int> path;
    whenPanel(driver, [&](panBase* pan) {
        EXPECT_EQ(pan->windowTitle(), QStringLiteral("기간 입력"));
        // The layout keeps every control at the size it lays itself out in, all inside the window.
        for (QWidget* w : std::initializer_list<QWidget*>{pan->cell(0), pan->cell(1), pan->button1(), pan->button2()}) {
            EXPECT_EQ(w->size(), w->sizeHint());
            EXPECT_TRUE(pan->rect().contains(w->geometry()));
        }
        EXPECT_GT(pan->cell(0)->width(), pan->cell(0)->characterWidth() * 8 / 15);
        // The keys take the layout's way (Up leads nowhere from invar1).
        for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Left, Qt::Key_Return,
                          Qt::Key_Return, Qt::Key_Return})
            path.push_back(focused(pan)), key(k);
    });
    EXPECT_TRUE(fncPannel().in2ds(d1, d2));
    EXPECT_EQ(path, (std::vector<int>{0, 0, 2, 3, 1, 0, 1, 2}));
    EXPECT_TRUE(d1 == DateSerial(2024, 3, 1) && d2 == DateSerial(2024, 3, 31));

    Date d = DateSerial(2023, 5, 10);
    whenPanel(driver, [](panBase* pan) {
        type("0615");
        key(Qt::Key_Return);  // commits and moves on to button1
        EXPECT_EQ(focused(pan), 1);
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().ind(d));
    EXPECT_EQ(d, DateSerial(2023, 6, 15));  // the year comes from the value passed in

    QString a = QStringLiteral("옛"), b;
    whenPanel(driver, [](panBase* pan) {
        EXPECT_EQ(pan->windowTitle(), QStringLiteral("옛이름과 새이름"));
        key(Qt::Key_Right);
        type("new name");
        key(Qt::Key_Return);
        EXPECT_EQ(focused(pan), 2);
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2gs(a, b));
    EXPECT_TRUE(a == QStringLiteral("옛") && b == QStringLiteral("new name"));
}

TEST(Panels, EveryWayOfCancellingLeavesTheArgumentsAlone) {
    vendra::test::ModalDriver driver;
    const Date start1 = DateSerial(2024, 1, 2), start2 = DateSerial(2024, 1, 3);
    // Esc in a cell after a change, Enter on button2 (Down from invar2), the close box; each call
    // starts from a fresh panel, whatever the one before was given.
    for (int way = 0; way < 3; ++way) {
        Date d1 = start1, d2 = start2;
        whenPanel(driver, [way, start1](panBase* pan) {
            EXPECT_EQ(pan->cell(0)->value(), ostrel::Variant(start1));
            type("25");
            key(Qt::Key_Return);
            if (way == 0) key(Qt::Key_Escape);
            if (way == 1) key(Qt::Key_Down), key(Qt::Key_Return);
            if (way == 2) pan->close();
        });
        EXPECT_FALSE(fncPannel().in2ds(d1, d2)) << way;
        EXPECT_TRUE(d1 == start1 && d2 == start2) << way;
    }
}
