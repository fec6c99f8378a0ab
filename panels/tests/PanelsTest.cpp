#include "keplin/PanelLayout.h"
#include "keplin/fncPannel.h"
#include "keplin/panBase.h"

#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace keplin;
using ostrel::Date;
using ostrel::DateSerial;

namespace {
constexpr int Enter = 13, Esc = 27, Left = 37, Up = 38, Right = 39, Down = 40;

// Runs `act` on the panel once it is up and has given the first cell the focus.
void whenPanel(std::function<void(panBase*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* pan = qobject_cast<panBase*>(QApplication::activeModalWidget());
        if (!pan || !pan->isVisible() || !pan->cell(0)->isAncestorOf(QApplication::focusWidget())) return;
        poll->stop();
        poll->deleteLater();
        act(pan);
    });
    poll->start(5);
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
void type(const char* text) {
    QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text));
}
}  // namespace

TEST(PanelLayout, KeysLeadThroughBothColumns) {
    const PanelLayout two = PanelLayout::twoColumns();  // 0 invar1, 1 invar2, 2 button1, 3 button2
    auto to = [](int i) { return PanelMove{PanelAction::Focus, i}; };
    const PanelMove none{}, confirm{PanelAction::Confirm, -1}, cancel{PanelAction::Cancel, -1};
    EXPECT_EQ(two.move(0, Enter), to(1));
    EXPECT_EQ(two.move(0, Right), to(1));
    EXPECT_EQ(two.move(1, Enter), to(2));  // last input to button1
    EXPECT_EQ(two.move(1, Left), to(0));
    EXPECT_EQ(two.move(0, Left), none);
    EXPECT_EQ(two.move(0, Down), to(2));
    EXPECT_EQ(two.move(1, Down), to(3));
    EXPECT_EQ(two.move(0, Up), none);
    EXPECT_EQ(two.move(1, Up), none);
    EXPECT_EQ(two.move(2, Up), to(0));
    EXPECT_EQ(two.move(3, Up), to(1));
    EXPECT_EQ(two.move(2, Down), none);
    EXPECT_EQ(two.move(3, Down), none);
    EXPECT_EQ(two.move(2, Right), to(3));
    EXPECT_EQ(two.move(2, Left), to(1));
    EXPECT_EQ(two.move(3, Left), to(2));
    EXPECT_EQ(two.move(3, Right), none);
    EXPECT_EQ(two.move(2, Enter), confirm);
    EXPECT_EQ(two.move(3, Enter), cancel);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(two.move(c, Esc), cancel);
    EXPECT_EQ(two.move(0, 112), none);  // F1 means nothing here
    EXPECT_EQ(two.move(7, Enter), none);

    const PanelLayout one = PanelLayout::singleInput();  // 0 invar1, 1 button1, 2 button2
    EXPECT_EQ(one.move(0, Enter), to(1));
    EXPECT_EQ(one.move(0, Down), to(1));
    EXPECT_EQ(one.move(2, Up), to(0));
    EXPECT_EQ(one.move(1, Up), to(0));
    EXPECT_EQ(one.move(1, Left), to(0));
    EXPECT_EQ(one.move(0, Left), none);

    EXPECT_THROW(PanelLayout(2, {-1, -1, 0}, {2, 3, -1, -1}), ostrel::RuntimeError);
    EXPECT_THROW(PanelLayout(1, {-1, 0, 5}, {1, -1, -1}), ostrel::RuntimeError);
}

TEST(Panels, ConfirmWithoutTouchingWritesThePrefilledValuesBack) {
    Date d1 = DateSerial(2024, 3, 1), d2 = DateSerial(2024, 3, 31);
    std::vector<int> path;
    whenPanel([&](panBase* pan) {
        EXPECT_EQ(pan->windowTitle(), QStringLiteral("기간 입력"));
        EXPECT_EQ(pan->label(0)->text(), QStringLiteral("첫날:"));
        EXPECT_EQ(pan->label(1)->text(), QStringLiteral("끝날:"));
        EXPECT_EQ(pan->button1()->caption(), QStringLiteral("확  인"));
        EXPECT_EQ(pan->button2()->caption(), QStringLiteral("취  소"));
        // The layout keeps every control at the size it lays itself out in, all inside the window.
        for (QWidget* w : std::initializer_list<QWidget*>{pan->cell(0), pan->cell(1), pan->button1(), pan->button2()}) {
            EXPECT_EQ(w->size(), w->sizeHint());
            EXPECT_TRUE(pan->rect().contains(w->geometry()));
        }
        EXPECT_GT(pan->cell(0)->width(), pan->cell(0)->characterWidth() * 8 / 15);
        path.push_back(focused(pan));
        key(Qt::Key_Return);
        path.push_back(focused(pan));
        key(Qt::Key_Return);
        path.push_back(focused(pan));
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2ds(d1, d2));
    EXPECT_EQ(path, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(d1, DateSerial(2024, 3, 1));
    EXPECT_EQ(d2, DateSerial(2024, 3, 31));
}

TEST(Panels, TypedDatesAndNamesComeBackOnConfirm) {
    Date d = DateSerial(2023, 5, 10);
    whenPanel([](panBase* pan) {
        EXPECT_EQ(pan->windowTitle(), QStringLiteral("날짜입력"));
        EXPECT_EQ(pan->label(0)->text(), QStringLiteral("날짜:"));
        type("0615");
        key(Qt::Key_Return);  // commits and moves on to button1
        EXPECT_EQ(focused(pan), 1);
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().ind(d));
    EXPECT_EQ(d, DateSerial(2023, 6, 15));  // the year comes from the value passed in

    QString a = QStringLiteral("옛"), b;
    whenPanel([](panBase* pan) {
        EXPECT_EQ(pan->windowTitle(), QStringLiteral("옛이름과 새이름"));
        key(Qt::Key_Right);
        EXPECT_EQ(focused(pan), 1);
        type("new name");
        key(Qt::Key_Return);
        EXPECT_EQ(focused(pan), 2);
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2gs(a, b));
    EXPECT_EQ(a, QStringLiteral("옛"));
    EXPECT_EQ(b, QStringLiteral("new name"));
}

TEST(Panels, EveryWayOfCancellingLeavesTheArgumentsAlone) {
    const Date start1 = DateSerial(2024, 1, 2), start2 = DateSerial(2024, 1, 3);
    // Esc in a cell after a change, Enter on button2, the close box.
    std::vector<std::function<void(panBase*)>> cancels = {
        [](panBase*) {
            type("25");
            key(Qt::Key_Return);
            key(Qt::Key_Escape);
        },
        [](panBase* pan) {
            type("25");
            key(Qt::Key_Return);
            key(Qt::Key_Down);  // invar2 -> button2
            EXPECT_EQ(focused(pan), 3);
            key(Qt::Key_Return);
        },
        [](panBase* pan) {
            type("25");
            key(Qt::Key_Return);
            pan->close();
        },
    };
    for (auto& cancel : cancels) {
        Date d1 = start1, d2 = start2;
        whenPanel(cancel);
        EXPECT_FALSE(fncPannel().in2ds(d1, d2));
        EXPECT_EQ(d1, start1);
        EXPECT_EQ(d2, start2);
    }
    // Esc on a button cancels too.
    Date d = start1;
    whenPanel([](panBase* pan) {
        key(Qt::Key_Down);
        EXPECT_EQ(focused(pan), 1);
        key(Qt::Key_Escape);
    });
    EXPECT_FALSE(fncPannel().ind(d));
    EXPECT_EQ(d, start1);
}

TEST(Panels, ColumnsAndButtonsMoveAsLaidOut) {
    Date d1 = DateSerial(2024, 3, 1), d2 = DateSerial(2024, 3, 2);
    std::vector<int> seen;
    whenPanel([&](panBase* pan) {
        auto step = [&](Qt::Key k) {
            key(k);
            seen.push_back(focused(pan));
        };
        step(Qt::Key_Left);   // nothing on the first input: 0
        step(Qt::Key_Up);     // top of the column: 0
        step(Qt::Key_Down);   // button1: 2
        step(Qt::Key_Down);   // nothing below a button: 2
        step(Qt::Key_Right);  // button2: 3
        step(Qt::Key_Up);     // invar2: 1
        step(Qt::Key_Left);   // invar1: 0
        step(Qt::Key_Right);  // invar2: 1
        step(Qt::Key_Down);   // button2: 3
        step(Qt::Key_Left);   // button1: 2
        step(Qt::Key_Left);   // last input: 1
        step(Qt::Key_Down);   // button2: 3
        step(Qt::Key_Left);   // button1: 2
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2ds(d1, d2));
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 2, 2, 3, 1, 0, 1, 3, 2, 1, 3, 2}));

    Date d = DateSerial(2024, 3, 1);
    std::vector<int> single;
    whenPanel([&](panBase* pan) {
        key(Qt::Key_Down);
        single.push_back(focused(pan));  // button1
        key(Qt::Key_Right);
        single.push_back(focused(pan));  // button2
        key(Qt::Key_Up);
        single.push_back(focused(pan));  // invar1
        key(Qt::Key_Escape);
    });
    EXPECT_FALSE(fncPannel().ind(d));
    EXPECT_EQ(single, (std::vector<int>{1, 2, 0}));
}

TEST(Panels, EachCallStartsFromAFreshPanel) {
    QString a = QStringLiteral("a"), b = QStringLiteral("b");
    whenPanel([](panBase*) {
        type("typed");
        key(Qt::Key_Return);
        key(Qt::Key_Escape);
    });
    EXPECT_FALSE(fncPannel().in2gs(a, b));
    QString shown1, shown2;
    whenPanel([&](panBase* pan) {
        shown1 = pan->cell(0)->value().toString();
        shown2 = pan->cell(1)->value().toString();
        key(Qt::Key_Escape);
    });
    EXPECT_FALSE(fncPannel().in2gs(a, b));
    EXPECT_EQ(shown1, QStringLiteral("a"));
    EXPECT_EQ(shown2, QStringLiteral("b"));
    EXPECT_EQ(a, QStringLiteral("a"));
}
