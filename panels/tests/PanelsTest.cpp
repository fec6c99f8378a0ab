// The input panels: where the keys lead in each layout, what each panel shows cell by cell, confirm
// and cancel, fresh lookups per call, and codes typed with real keys and resolved against a ledger.
#include "LedgerSeed.h"
#include "ModalDriver.h"
#include "WidgetTest.h"
#include "keplin/CodePanels.h"
#include "keplin/PanelLayout.h"
#include "keplin/fncPannel.h"
#include "keplin/panBase.h"

#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "sorvic/Lookups.h"
#include "tessel/KeyCode.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QLabel>
#include <functional>

using namespace keplin;
using ostrel::Date;
using ostrel::DateSerial;
using ostrel::Variant;
using vendra::test::key;
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
int focusIndex(panBase* pan) {
    QWidget* f = QApplication::focusWidget();
    for (int i = 0; i < pan->inputCount(); ++i)
        if (pan->cell(i) == f || pan->cell(i)->isAncestorOf(f)) return i;
    if (f == pan->button1()) return pan->inputCount();
    if (f == pan->button2()) return pan->inputCount() + 1;
    return -1;
}

void type(const char* text) { vendra::test::typeText(QString::fromUtf8(text)); }

// Where Enter, Right, Left, Up, Down and Esc lead from each control: a control index, '-' for
// nothing, 'c' to confirm, 'x' to cancel.
void expectMoves(const PanelLayout& layout, const std::vector<const char*>& table) {
    ASSERT_EQ(int(table.size()), layout.controls());
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

enum class Kind { Date, Partner, Account, Group, Warehouse, Line };

// What a panel shows, cell by cell.
struct Expected {
    const char* title;
    std::vector<std::pair<const char*, Kind>> inputs;  // label, kind
    std::vector<int> numbers;                          // invarN of each cell
};

void expectCells(panBase* pan, const Expected& e) {
    EXPECT_EQ(pan->windowTitle(), QString::fromUtf8(e.title));
    ASSERT_EQ(pan->inputCount(), int(e.inputs.size())) << e.title;
    for (int i = 0; i < pan->inputCount(); ++i) {
        const Kind kind = e.inputs[size_t(i)].second;
        tessel::invar* c = pan->cell(i);
        EXPECT_EQ(pan->label(i)->text(), QString::fromUtf8(e.inputs[size_t(i)].first)) << e.title;
        EXPECT_EQ(c->objectName(), QStringLiteral("invar%1").arg(e.numbers[size_t(i)])) << e.title;
        EXPECT_EQ(c->ValueType(), kind == Kind::Date ? "d" : kind == Kind::Line ? "n" : "c") << e.title;
        EXPECT_EQ(c->length(), kind == Kind::Date ? 8 : kind == Kind::Line ? 5 : 16) << e.title;
        auto* p = c->InputProcess().get();  // date and line cells have no lookup: "Date" stands for none
        using namespace sorvic;
        const Kind lookup = dynamic_cast<yjGrc*>(p)  ? Kind::Partner
                            : dynamic_cast<yjGj*>(p) ? Kind::Account
                            : dynamic_cast<yjGr*>(p) ? Kind::Group
                            : dynamic_cast<yjCg*>(p) ? Kind::Warehouse
                                                     : Kind::Date;
        EXPECT_EQ(lookup, kind == Kind::Line ? Kind::Date : kind) << e.title << i;
    }
}

}  // namespace

TEST(PanelLayout, KeysLeadThroughTheColumns) {
    // Keys:                                   ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx
    expectMoves(PanelLayout::twoColumns(), {"11--2x", "220-3x", "c310-x", "x-21-x"});
    expectMoves(PanelLayout::singleInput(), {"11--1x", "c200-x", "x-10-x"});
    expectMoves(threeInputColumns(), {"11--2x", "220-4x", "33103x", "c422-x", "x-31-x"});
    expectMoves(fourInputColumns(), {"11--2x", "220-3x", "33104x", "44215x", "c532-x", "x-43-x"});
    // Down from invar2 goes to invar6 (the group), not to invar3.
    expectMoves(fiveInputColumns(), {"11--2x", "220-4x", "33103x", "44225x", "55316x", "c643-x", "x-54-x"});
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
            path.push_back(focusIndex(pan)), key(k);
    });
    EXPECT_TRUE(fncPannel().in2ds(d1, d2));
    EXPECT_EQ(path, (std::vector<int>{0, 0, 2, 3, 1, 0, 1, 2}));
    EXPECT_TRUE(d1 == DateSerial(2024, 3, 1) && d2 == DateSerial(2024, 3, 31));

    Date d = DateSerial(2023, 5, 10);
    whenPanel(driver, [](panBase* pan) {
        type("0615");
        key(Qt::Key_Return);  // commits and moves on to button1
        EXPECT_EQ(focusIndex(pan), 1);
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
        EXPECT_EQ(focusIndex(pan), 2);
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

TEST(CodePanels, EachMethodShowsItsPanelAndWritesBackOnlyOnConfirm) {
    vendra::test::ModalDriver driver;
    const Date a = DateSerial(2024, 3, 1), b = DateSerial(2024, 3, 31);
    struct Args {
        Date d1, d2;
        QString s1, s2, s3;
        Variant line;
        bool operator==(const Args&) const = default;
    };
    const Args start{a, b, "갑", "을", "병", Variant(int32_t(2))};
    using Call = std::function<bool(Args&)>;
    const fncPannel f;
    const Kind D = Kind::Date, P = Kind::Partner, A = Kind::Account, G = Kind::Group, W = Kind::Warehouse;
    struct Case { Call call; Expected e; };
    const std::vector<Case> cases = {
        {[&](Args& x) { return f.in2dsg(x.d1, x.d2, x.s1); },
         {"기간과 거래처 입력", {{"첫날:", D}, {"끝날:", D}, {"거래처:", P}}, {1, 2, 3}}},
        {[&](Args& x) { return f.in2dsgl(x.d1, x.d2, x.s1, x.line); },
         {"기간과 거래처,줄띄우기", {{"첫날:", D}, {"끝날:", D}, {"거래처:", P}, {"줄띄우기:", Kind::Line}}, {1, 2, 3, 4}}},
        {[&](Args& x) { return f.in2dsgr(x.d1, x.d2, x.s1, x.s2); },
         {"기간과 거래처,그룹", {{"첫날:", D}, {"끝날:", D}, {"거래처:", P}, {"그룹:", G}}, {1, 2, 3, 4}}},
        {[&](Args& x) { return f.in2dsj(x.d1, x.d2, x.s1); },
         {"기간과 계정 입력", {{"첫날:", D}, {"끝날:", D}, {"계정:", A}}, {1, 2, 3}}},
        {[&](Args& x) { return f.in2dsjg(x.d1, x.d2, x.s1, x.s2); },
         {"기간, 계정, 거래처 입력", {{"첫날:", D}, {"끝날:", D}, {"계정:", A}, {"거래처:", P}}, {1, 2, 3, 4}}},
        {[&](Args& x) { return f.in2dsjr(x.d1, x.d2, x.s1, x.s2); },
         {"기간과 계정,그룹", {{"첫날:", D}, {"끝날:", D}, {"계정:", A}, {"그룹:", G}}, {1, 2, 3, 4}}},
        {[&](Args& x) { return f.in2dsjgr(x.d1, x.d2, x.s1, x.s2, x.s3); },
         {"기간과 계정,거래처,그룹", {{"첫날:", D}, {"끝날:", D}, {"계정:", A}, {"거래처:", P}, {"그룹:", G}},
          {1, 2, 3, 5, 6}}},
        {[&](Args& x) { return f.in2dsr(x.d1, x.d2, x.s1); },
         {"기간과 그룹 입력", {{"첫날:", D}, {"끝날:", D}, {"그룹:", G}}, {1, 2, 3}}},
        {[&](Args& x) { return f.in2dss(x.d1, x.d2, x.s1); },
         {"기간과 창고 입력", {{"첫날:", D}, {"끝날:", D}, {"창  고:", W}}, {1, 2, 3}}},
        {[&](Args& x) { return f.ing(x.s1); }, {"거래처 입력", {{"거래처:", P}}, {1}}},
        {[&](Args& x) { return f.indg(x.d1, x.s1); }, {"날짜와 거래처 입력", {{"날짜:", D}, {"거래처:", P}}, {1, 2}}},
        {[&](Args& x) { return f.indr(x.d1, x.s1); }, {"날짜와 그룹 입력", {{"날짜:", D}, {"그룹:", G}}, {1, 2}}},
        {[&](Args& x) { return f.inds(x.d1, x.s1); }, {"날짜와 창고명 입력", {{"날짜:", D}, {"창고:", W}}, {1, 2}}},
    };
    for (const Case& c : cases) {
        // Cancel after changing the first cell: nothing is written.
        Args x = start;
        std::weak_ptr<tessel::InputProcess> firstLookup;
        whenPanel(driver, [&](panBase* pan) {
            expectCells(pan, c.e);
            for (int i = 0; i < pan->inputCount(); ++i)
                if (pan->cell(i)->InputProcess()) firstLookup = pan->cell(i)->InputProcess();
            pan->cell(0)->setValue(Variant(QStringLiteral("바뀜")));
            key(Qt::Key_Escape);
        });
        EXPECT_FALSE(c.call(x)) << c.e.title;
        EXPECT_TRUE(x == start) << c.e.title;
        EXPECT_TRUE(firstLookup.expired()) << c.e.title;  // the lookups went with the panel

        // Confirm untouched: the pre-filled values come back; every call has lookups of its own.
        x = start;
        whenPanel(driver, [&](panBase* pan) {
            for (int i = 0; i < pan->inputCount(); ++i)
                if (pan->cell(i)->InputProcess()) {
                    EXPECT_TRUE(firstLookup.expired()) << c.e.title;
                }
            pan->button1()->setFocus();
            key(Qt::Key_Return);
        });
        EXPECT_TRUE(c.call(x)) << c.e.title;
        EXPECT_TRUE(x == start) << c.e.title;
    }
}

TEST(CodePanels, APartnerCodeTypedWithRealKeysComesBackAsTheNameAndDownFollowsTheColumns) {
    vendra::test::ModalDriver driver;
    vendra::test::ScopedLedger ledger;
    ledger.partner("배추상회", "007");
    ledger.record("gr", "서울", "01");

    Date d1 = DateSerial(2024, 3, 1), d2 = DateSerial(2024, 3, 31);
    QString gj, grc, group;
    std::vector<int> path;
    whenPanel(driver, [&](panBase* pan) {
        key(Qt::Key_Right);
        path.push_back(focusIndex(pan)), key(Qt::Key_Down);  // from invar2
        path.push_back(focusIndex(pan));  // invar6, the group
        type("1");
        key(Qt::Key_Return);  // "1" is the group coded 01: resolved, then on to button1
        path.push_back(focusIndex(pan));
        key(Qt::Key_Up);
        path.push_back(focusIndex(pan));  // invar5, the partner
        type("7");
        key(Qt::Key_Return);
        path.push_back(focusIndex(pan));  // invar6
        key(Qt::Key_Down);
        key(Qt::Key_Left);
        path.push_back(focusIndex(pan));  // button1
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2dsjgr(d1, d2, gj, grc, group));
    EXPECT_EQ(path, (std::vector<int>{1, 4, 5, 3, 4, 5}));
    EXPECT_EQ(grc, QStringLiteral("배추상회"));
    EXPECT_EQ(group, QStringLiteral("서울"));
    EXPECT_EQ(gj, QString());
}
