// The code input panels: their layouts, titles, labels and cells, confirm and cancel, fresh
// lookups per call, and a partner code typed with real keys and resolved against a ledger.
#include "LedgerSeed.h"
#include "keplin/CodePanels.h"
#include "keplin/fncPannel.h"

#include "sorvic/Lookups.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace keplin;
using ostrel::Date;
using ostrel::DateSerial;
using ostrel::Variant;

namespace {

// Runs `act` on the next panel once its first cell has the focus.
void onPanel(std::function<void(panBase*)> act) {
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

int focused(panBase* pan) {
    QWidget* f = QApplication::focusWidget();
    for (int i = 0; i < pan->inputCount(); ++i)
        if (pan->cell(i)->isAncestorOf(f)) return i;
    if (f == pan->button1()) return pan->inputCount();
    if (f == pan->button2()) return pan->inputCount() + 1;
    return -1;
}

void key(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }

// Where Enter, Right, Left, Up, Down and Esc lead from each control: a control index, '-' for
// nothing, 'c' to confirm, 'x' to cancel.
void expectMoves(const PanelLayout& layout, const std::vector<const char*>& table) {
    ASSERT_EQ(int(table.size()), layout.controls());
    const int keys[] = {13, 39, 37, 38, 40, 27};
    for (int from = 0; from < int(table.size()); ++from)
        for (int k = 0; k < 6; ++k) {
            const char c = table[size_t(from)][k];
            const PanelAction a = c == '-' ? PanelAction::None : c == 'c' ? PanelAction::Confirm
                                  : c == 'x' ? PanelAction::Cancel : PanelAction::Focus;
            EXPECT_EQ(layout.move(from, keys[k]), (PanelMove{a, a == PanelAction::Focus ? c - '0' : -1}))
                << "from " << from << " key " << keys[k];
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

TEST(CodePanelLayout, TwoColumnsOfThreeFourAndFiveInputs) {
    // Keys:                                 ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx    ERLUDx
    expectMoves(threeInputColumns(), {"11--2x", "220-4x", "33103x", "c422-x", "x-31-x"});
    expectMoves(fourInputColumns(), {"11--2x", "220-3x", "33104x", "44215x", "c532-x", "x-43-x"});
    // Down from invar2 goes to invar6 (the group), not to invar3.
    expectMoves(fiveInputColumns(), {"11--2x", "220-4x", "33103x", "44225x", "55316x", "c643-x", "x-54-x"});
}

TEST(CodePanels, EachMethodShowsItsPanelAndWritesBackOnlyOnConfirm) {
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
        onPanel([&](panBase* pan) {
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
        onPanel([&](panBase* pan) {
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
    vendra::test::ScopedLedger ledger;
    ledger.partner("배추상회", "007");
    ledger.record("gr", "서울", "01");

    Date d1 = DateSerial(2024, 3, 1), d2 = DateSerial(2024, 3, 31);
    QString gj, grc, group;
    std::vector<int> path;
    onPanel([&](panBase* pan) {
        key(Qt::Key_Right);
        path.push_back(focused(pan)), key(Qt::Key_Down);  // from invar2
        path.push_back(focused(pan));  // invar6, the group
        QTest::keyClicks(QApplication::focusWidget(), "1");
        key(Qt::Key_Return);  // "1" is the group coded 01: resolved, then on to button1
        path.push_back(focused(pan));
        key(Qt::Key_Up);
        path.push_back(focused(pan));  // invar5, the partner
        QTest::keyClicks(QApplication::focusWidget(), "7");
        key(Qt::Key_Return);
        path.push_back(focused(pan));  // invar6
        key(Qt::Key_Down);
        key(Qt::Key_Left);
        path.push_back(focused(pan));  // button1
        key(Qt::Key_Return);
    });
    EXPECT_TRUE(fncPannel().in2dsjgr(d1, d2, gj, grc, group));
    EXPECT_EQ(path, (std::vector<int>{1, 4, 5, 3, 4, 5}));
    EXPECT_EQ(grc, QStringLiteral("배추상회"));
    EXPECT_EQ(group, QStringLiteral("서울"));
    EXPECT_EQ(gj, QString());
}
