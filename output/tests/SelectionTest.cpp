#include "ModalDriver.h"
#include "MakeTable.h"
#include "WidgetTest.h"
#include "tavrin/fncSelectA.h"
#include "tavrin/frmSelectA.h"
#include "tessel/ab.h"
#include "tessel/Stru.h"

#include <QPushButton>

using namespace tavrin;
using ostrel::Variant;
using tessel::fieldDef;
using tessel::makeStru;
using vendra::test::makeTable;

namespace {

// Runs `act` on the selection window once it is shown modally.
void whenShown(vendra::test::ModalDriver& driver, std::function<void(frmSelectA*)> act) {
    driver.onNextModal([act](QWidget* w) {
        auto* frm = qobject_cast<frmSelectA*>(w);
        ASSERT_NE(frm, nullptr);
        act(frm);
    });
}

Variant products() { return makeStru({fieldDef("c", 10, 0, "품명"), fieldDef("c", 4, 0, "단위")}); }

// Three fields, one of them hidden from the structure.
ostrel::TableRef items() {
    return makeTable(3, 4, [](int i, int j) -> Variant {
        if (j == 0) return QStringLiteral("품목%1").arg(i);
        if (j == 1) return QStringLiteral("kg");
        return Variant(int32_t(100 + i));
    });
}

QStringList names(const ostrel::TableRef& t) {
    QStringList out;
    for (int i = 0; i < t->RecCount(); ++i) out << t->Cell(i, 0).toString();
    return out;
}

}  // namespace

TEST(SelectB, OkReturnsTheEditedGridTableCancelAndCloseBoxLeaveIt) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    const auto original = a;
    struct Case {
        const char* how;
        std::function<void(frmSelectA*)> end;
        bool ok;
    };
    const Case cases[] = {
        {"Cancel", [](frmSelectA* frm) { QTest::mouseClick(frm->cmdCancel(), Qt::LeftButton); }, false},
        {"close box", [](frmSelectA* frm) { frm->close(); }, false},
        {"OK", [](frmSelectA* frm) { QTest::mouseClick(frm->cmdOK(), Qt::LeftButton); }, true},
    };
    for (const Case& c : cases) {
        whenShown(driver, [&](frmSelectA* frm) {
            EXPECT_EQ(frm->windowTitle(), QStringLiteral("발주품목선택"));
            EXPECT_EQ(frm->ab1()->RecCount(), 4);
            frm->ab1()->setCell(1, 0, Variant(QStringLiteral("바뀐이름")));
            c.end(frm);
        });
        EXPECT_EQ(f.selectb(QStringLiteral("발주품목선택"), a, products(), 12), c.ok) << c.how;
        EXPECT_EQ(a->Cell(1, 0).toString(), c.ok ? QStringLiteral("바뀐이름") : QStringLiteral("품목1")) << c.how;
        if (!c.ok) EXPECT_EQ(a, original) << c.how;
    }
    EXPECT_NE(a, original);  // the grid's table
    EXPECT_EQ(a->RecCount(), 4);
    EXPECT_EQ(a->Cell(3, 2).toLong(), 103);  // the hidden field came through
    EXPECT_EQ(original->Cell(1, 0).toString(), QStringLiteral("품목1"));
}

TEST(SelectB, TheUserStartsInTheGridEscCancelsEnterConfirmsAndFontSize) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    float seen = 0;
    bool inGrid = false;
    whenShown(driver, [&](frmSelectA* frm) {
        seen = frm->fontsize();
        // The grid holds the focus from the start, not only once the window system activates the window.
        QWidget* fw = frm->focusWidget();
        inGrid = fw && frm->ab1()->isAncestorOf(fw);
        (void)QTest::qWaitForWindowActive(frm);
        if (inGrid) QTest::keyClick(fw, Qt::Key_Escape);
        else frm->cancel();
    });
    EXPECT_FALSE(f.selectb(QStringLiteral("s"), a, products(), 0));
    EXPECT_TRUE(inGrid);
    EXPECT_EQ(seen, 12);  // 0 keeps the window's size

    whenShown(driver, [&](frmSelectA* frm) {
        seen = frm->fontsize();
        EXPECT_GT(frm->cmdOK()->y(), frm->ab1()->y() + frm->ab1()->height());  // the buttons below the grid
        int enter = 13;
        emit frm->ab1()->keycommand(enter);
    });
    EXPECT_TRUE(f.selectb(QStringLiteral("s"), a, products(), 9));
    EXPECT_EQ(seen, 9);
}

TEST(SelectA, TicksDecideTheRowsKeptWithTheirHiddenFields) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    const auto same = a;
    struct Case {
        bool ticked;                            // every row ticked when shown
        std::vector<std::pair<int, bool>> set;  // then these ticks set or cleared
        bool ok;
        QStringList kept;
    };
    const QStringList all{"품목0", "품목1", "품목2", "품목3"};
    for (const Case& c : {Case{true, {}, true, all}, Case{true, {{0, false}}, false, all},  // cancelled: untouched
                          Case{false, {{3, true}, {1, true}}, true, {"품목1", "품목3"}},
                          Case{false, {}, true, {}}}) {
        whenShown(driver, [&](frmSelectA* frm) {
            EXPECT_EQ(frm->ab1()->displayedFields(), 3);
            EXPECT_EQ(frm->ab1()->titles(0).toString(), QStringLiteral("선택"));
            EXPECT_EQ(frm->ab1()->Cell(0, 0).identical(Variant(true)), c.ticked);
            for (auto [r, on] : c.set) frm->ab1()->setCell(r, 0, on ? Variant(true) : Variant());
            if (c.ok) frm->confirm();
            else frm->cancel();
        });
        EXPECT_EQ(f.selecta(QStringLiteral("s"), a, products(), c.ticked), c.ok);
        EXPECT_EQ(a, same);  // the caller's table object, refilled
        EXPECT_EQ(names(a), c.kept);
        for (int i = 0; i < a->RecCount(); ++i) EXPECT_EQ(a->Cell(i, 2).toLong(), 100 + c.kept[i].right(1).toInt());
    }
}
