#include "ModalDriver.h"
#include "TestSupport.h"
#include "tavrin/fncSelectA.h"
#include "tavrin/frmSelectA.h"
#include "tessel/ab.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrin;
using ostrel::Variant;
using tavrin::test::col;
using tavrin::test::makeTable;

namespace {

// Runs `act` on the selection window once it is shown modally.
void whenShown(vendra::test::ModalDriver& driver, std::function<void(frmSelectA*)> act) {
    driver.onNextModal([act](QWidget* w) {
        auto* frm = qobject_cast<frmSelectA*>(w);
        ASSERT_NE(frm, nullptr);
        act(frm);
    });
}

Variant products() {
    return tavrin::test::stru({col("c", 10, 0, QStringLiteral("품명")), col("c", 4, 0, QStringLiteral("단위"))});
}

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
    whenShown(driver, [](frmSelectA* frm) {
        EXPECT_EQ(frm->windowTitle(), QStringLiteral("발주품목선택"));
        EXPECT_EQ(frm->ab1()->RecCount(), 4);
        frm->ab1()->setCell(1, 0, Variant(QStringLiteral("바뀐이름")));
        QTest::mouseClick(frm->cmdCancel(), Qt::LeftButton);
    });
    EXPECT_FALSE(f.selectb(QStringLiteral("발주품목선택"), a, products(), 12));
    EXPECT_EQ(a, original);
    EXPECT_EQ(a->Cell(1, 0).toString(), QStringLiteral("품목1"));

    whenShown(driver, [](frmSelectA* frm) {
        frm->ab1()->setCell(1, 0, Variant(QStringLiteral("바뀐이름")));
        frm->close();  // the close box counts as Cancel
    });
    EXPECT_FALSE(f.selectb(QStringLiteral("s"), a, products(), 12));
    EXPECT_EQ(a->Cell(1, 0).toString(), QStringLiteral("품목1"));

    whenShown(driver, [](frmSelectA* frm) {
        frm->ab1()->setCell(1, 0, Variant(QStringLiteral("바뀐이름")));
        QTest::mouseClick(frm->cmdOK(), Qt::LeftButton);
    });
    EXPECT_TRUE(f.selectb(QStringLiteral("s"), a, products(), 12));
    EXPECT_NE(a, original);  // the grid's table
    EXPECT_EQ(a->Cell(1, 0).toString(), QStringLiteral("바뀐이름"));
    EXPECT_EQ(a->RecCount(), 4);
    EXPECT_EQ(a->Cell(3, 2).toLong(), 103);  // the hidden field came through
    EXPECT_EQ(original->Cell(1, 0).toString(), QStringLiteral("품목1"));
}

TEST(SelectB, KeysAndFontSize) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    float seen = 0;
    whenShown(driver, [&](frmSelectA* frm) {
        seen = frm->fontsize();
        int esc = 27;
        emit frm->ab1()->abexit(esc);
    });
    EXPECT_FALSE(f.selectb(QStringLiteral("s"), a, products(), 0));
    EXPECT_EQ(seen, 12);  // 0 keeps the window's size

    whenShown(driver, [&](frmSelectA* frm) {
        seen = frm->fontsize();
        // The buttons sit below the grid.
        EXPECT_GT(frm->cmdOK()->y(), frm->ab1()->y() + frm->ab1()->height());
        EXPECT_GE(frm->width(), frm->ab1()->x() + frm->ab1()->width());
        int enter = 13;
        emit frm->ab1()->keycommand(enter);
    });
    EXPECT_TRUE(f.selectb(QStringLiteral("s"), a, products(), 9));
    EXPECT_EQ(seen, 9);
}

TEST(SelectB, TheUserStartsInTheGridAndEscCancels) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    bool inGrid = false;
    whenShown(driver, [&](frmSelectA* frm) {
        // The grid holds the focus from the start, not only once the window system activates the window.
        QWidget* fw = frm->focusWidget();
        inGrid = fw && frm->ab1()->isAncestorOf(fw);
        (void)QTest::qWaitForWindowActive(frm);
        if (inGrid) QTest::keyClick(fw, Qt::Key_Escape);
        else frm->cancel();
    });
    EXPECT_FALSE(f.selectb(QStringLiteral("s"), a, products(), 12));
    EXPECT_TRUE(inGrid);
}

TEST(SelectA, TicksDecideTheRowsKept) {
    vendra::test::ModalDriver driver;
    fncSelectA f;
    auto a = items();
    auto same = a;

    // All ticked by default, OK unchanged: every row in the same order, hidden fields kept.
    whenShown(driver, [](frmSelectA* frm) {
        EXPECT_EQ(frm->ab1()->displayedFields(), 3);
        EXPECT_EQ(frm->ab1()->titles(0).toString(), QStringLiteral("선택"));
        EXPECT_EQ(frm->ab1()->Cell(0, 0), Variant(true));
        frm->confirm();
    });
    EXPECT_TRUE(f.selecta(QStringLiteral("s"), a, products(), true));
    EXPECT_EQ(a, same);  // the caller's table object, refilled
    EXPECT_EQ(names(a), QStringList({"품목0", "품목1", "품목2", "품목3"}));
    EXPECT_EQ(a->NOF(), 3);
    EXPECT_EQ(a->Cell(2, 2).toLong(), 102);

    // Cancelled after changes: untouched.
    whenShown(driver, [](frmSelectA* frm) {
        frm->ab1()->setCell(0, 0, Variant());
        frm->cancel();
    });
    EXPECT_FALSE(f.selecta(QStringLiteral("s"), a, products(), true));
    EXPECT_EQ(a->RecCount(), 4);

    // Two ticks out of none.
    whenShown(driver, [](frmSelectA* frm) {
        EXPECT_TRUE(frm->ab1()->Cell(0, 0).isEmpty() || frm->ab1()->Cell(0, 0) == Variant(false));
        frm->ab1()->setCell(3, 0, Variant(true));
        frm->ab1()->setCell(1, 0, Variant(true));
        frm->confirm();
    });
    EXPECT_TRUE(f.selecta(QStringLiteral("s"), a, products(), false));
    EXPECT_EQ(names(a), QStringList({"품목1", "품목3"}));
    EXPECT_EQ(a->Cell(1, 2).toLong(), 103);

    // Confirmed with no ticks: empty.
    whenShown(driver, [](frmSelectA* frm) { frm->confirm(); });
    EXPECT_TRUE(f.selecta(QStringLiteral("s"), a, products(), false));
    EXPECT_EQ(a->RecCount(), 0);
}
