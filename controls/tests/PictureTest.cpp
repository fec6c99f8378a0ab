// What the cells and the grid show on screen: an idle cell paints what its text box would, a grid
// driven by the keys shows what a fresh grid put in the same place shows, and a cell's text box
// holds its display text whenever someone looks at it.
#include "MakeTable.h"
#include "Pictures.h"
#include "WidgetTest.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "tessel/Color.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"
#include "tessel/invar.h"

#include <QLineEdit>

using namespace tessel;
using namespace vendra::test;
using ostrel::Variant;

namespace {

using TesselCellPicture = SteadyCaret;

TEST_F(TesselCellPicture, IdleCellPaintsWhatItsTextBoxWould) {
    QWidget window;
    QLineEdit* other = new QLineEdit(&window);
    struct Case {
        const char* type;
        int length, dec;
        Variant value;
        long back = -1;
    };
    const Case cases[] = {
        {"C", 20, 0, Variant(QStringLiteral("가나다 상회"))},
        {"C", 6, 0, Variant(QStringLiteral("아주 긴 품목 이름입니다"))},  // shrunk font
        {"C", 10, 0, Variant(QStringLiteral("a\tb\x01" "c\u2028d"))},        // shown as spaces
        {"C", 3, 0, Variant(QStringLiteral("WWWWWWWW"))},                    // wider than the box
        {"N", 12, 2, Variant(ostrel::Currency::fromDouble(1234567.5))},
        {"N", 3, 0, Variant(ostrel::Currency::fromInt(123456))},            // asterisks
        {"D", 10, 0, Variant(ostrel::DateSerial(2024, 3, 15))},
        {"B", 2, 0, Variant(true)},
        {"C", 20, 0, Variant(QStringLiteral("가나다 상회")), RGB(255, 200, 200)},  // a colour of its own
    };
    std::vector<invar*> cells;
    int y = 30;
    for (const Case& c : cases) {
        auto* cell = new invar(&window);
        cell->setValueType(QString::fromLatin1(c.type));
        cell->setDec(c.dec);
        cell->setLength(c.length);
        cell->setValue(c.value);
        if (c.back >= 0) cell->setBackColor(c.back);
        cell->move(10, y);
        y += cell->height() + 4;
        cells.push_back(cell);
    }
    window.resize(400, y + 10);
    ASSERT_TRUE(showActive(&window));
    ASSERT_TRUE(focusOn(other));
    for (size_t i = 0; i < cells.size(); ++i) {
        invar* cell = cells[i];
        ASSERT_EQ(cell->mode(), invar::Mode::Idle);
        const QImage own = picture(cell);
        // A placeholder hands the painting back to the text box; the text keeps it from showing.
        cell->Text1()->setPlaceholderText(QStringLiteral("-"));
        const QImage box = picture(cell);
        EXPECT_TRUE(own == box) << "case " << i << ": " << difference(own, box);
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(cell) == box; }, 2000))
            << "case " << i << ": " << difference(onSurface(cell), box);
        cell->Text1()->setPlaceholderText(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(cell) == box; }, 2000))
            << "case " << i << " painted by the cell: " << difference(onSurface(cell), box);
    }
}

TEST_F(TesselCellPicture, CellThatWasSelectedLooksLikeOneThatNeverWas) {
    QWidget window;
    auto* touched = new invar(&window);
    auto* fresh = new invar(&window);
    QLineEdit* other = new QLineEdit(&window);
    for (invar* c : {touched, fresh}) {
        c->setValueType(QStringLiteral("C"));
        c->setLength(8);
    }
    fresh->move(0, 40);
    other->move(0, 80);
    ASSERT_TRUE(showActive(&window));
    touched->setValue(Variant(QStringLiteral("처음 값")));
    touched->Text1()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return touched->mode() == invar::Mode::Selected; }));
    key(Qt::Key_F2);
    typeText(QStringLiteral("xyz"));
    ASSERT_EQ(touched->mode(), invar::Mode::Editing);
    const QImage selected = picture(touched);
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return touched->mode() == invar::Mode::Idle; }));
    EXPECT_EQ(touched->value().toString(), QStringLiteral("처음 값xyz"));
    touched->setValue(Variant(QStringLiteral("나중 값")));
    fresh->setValue(Variant(QStringLiteral("나중 값")));
    const QImage idle = picture(fresh);
    EXPECT_FALSE(idle == selected);
    EXPECT_TRUE(picture(touched) == idle) << difference(picture(touched), idle);
    EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(touched) == idle; }, 2000))
        << difference(onSurface(touched), idle);
}

TEST_F(TesselCellPicture, TextBoxHoldsTheDisplayWheneverItIsUsed) {
    QWidget window;
    auto* cell = new invar(&window);
    QLineEdit* other = new QLineEdit(&window);
    other->move(0, 40);
    cell->setValueType(QStringLiteral("C"));
    cell->setLength(6);
    ASSERT_TRUE(showActive(&window));
    ASSERT_TRUE(focusOn(other));

    const QString longText = QStringLiteral("아주 긴 품목 이름");
    cell->setValue(Variant(longText));
    cell->setValue(Variant(QStringLiteral("짧다")));
    EXPECT_EQ(cell->text(), QStringLiteral("짧다"));
    EXPECT_EQ(cell->Text1()->text(), QStringLiteral("짧다"));
    EXPECT_DOUBLE_EQ(cell->Text1()->font().pointSizeF(), 12);
    cell->setValue(Variant(longText));
    EXPECT_LT(cell->Text1()->font().pointSizeF(), 12);
    EXPECT_EQ(cell->Text1()->cursorPosition(), 0);

    // A new font size replaces the shrunk one of the text shown before it.
    cell->setValue(Variant(QStringLiteral("가나다라마바사아자")));
    cell->setFontsize(10);
    EXPECT_DOUBLE_EQ(cell->Text1()->font().pointSizeF(), 10);

    // Focus and keys reach a text box that nobody read since the last display.
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
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell->mode() == invar::Mode::Idle; }));
    cell->setValue(Variant(QStringLiteral("efgh")));
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell->mode() == invar::Mode::Selected; }));
    EXPECT_EQ(cell->Text1()->selectedText(), QStringLiteral("efgh"));
}

Variant pictureStru() {
    return makeStru({fieldDef(QStringLiteral("C"), 8, 0, QStringLiteral("품목")),
                     fieldDef(QStringLiteral("N"), 8, 1, QStringLiteral("수량"), Variant("notstop")),
                     fieldDef(QStringLiteral("D"), 8, 0, QStringLiteral("일자")),
                     fieldDef(QStringLiteral("C"), 6, 0, QStringLiteral("비고"))});
}

// Long names (shrunk) every fifth record, blank numbers and remarks now and then.
ostrel::TableRef pictureRecords(int n) {
    return makeTable(4, n, [](int r, int f) -> Variant {
        if (f == 0 && r % 5 == 3) return QStringLiteral("아주 긴 품목 이름 %1").arg(r);
        if (f == 1) return r % 4 != 1 ? Variant(ostrel::Currency::fromDouble(r * 1.5)) : Variant();
        if (f == 2) return Variant(ostrel::DateSerial(2024, 1 + r % 12, 1 + r % 28));
        return f == 3 && r % 3 == 0 ? Variant() : Variant(QStringLiteral("행%1 칸%2").arg(r).arg(f));
    });
}

class TesselGridPicture : public SteadyCaret {
protected:
    struct Shown {
        std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
        ab* grid = nullptr;
        invar* cell(int row, int f) const { return grid->invar1(row * grid->displayedFields() + f); }
        void settle() const { ASSERT_TRUE(QTest::qWaitFor([this] { return grid->nextkey() == 0; }, 2000)); }
    };
    static std::unique_ptr<Shown> show(const ostrel::TableRef& records) {
        auto s = std::make_unique<Shown>();
        s->grid = new ab(s->window.get());
        s->grid->setMaxrow(6);
        s->grid->setStru(pictureStru());
        s->grid->setValue(records);
        s->window->resize(s->grid->size() + QSize(20, 20));
        EXPECT_TRUE(showActive(s->window.get()));
        return s;
    }
    static void press(const Shown& s, int qtKey, int times = 1) {
        for (int i = 0; i < times; ++i) {
            key(qtKey);
            s.settle();
        }
    }
    // A fresh grid of `records`, scrolled to `top` by the wheel and given the focus at (rec, fie).
    static std::unique_ptr<Shown> placed(const ostrel::TableRef& records, int top, int rec, int fie) {
        auto s = show(records);
        s->grid->MouseWheel(-30 * top);  // a quarter notch per record
        EXPECT_EQ(s->grid->top(), top);
        EXPECT_TRUE(focusOn(s->cell(rec - top, fie)->Text1()));
        s->settle();
        return s;
    }
    // The driven grid, rendered and on its window's surface, against a fresh grid in its place.
    static void expectSameAsFresh(const Shown& driven, const std::string& when) {
        const int top = driven.grid->top(), rec = driven.grid->rec(), fie = driven.grid->fie();
        const QImage rendered = picture(driven.grid);
        EXPECT_TRUE(QTest::qWaitFor([&] { return onSurface(driven.grid) == rendered; }, 2000))
            << when << ", surface against rendering: " << difference(onSurface(driven.grid), rendered);
        auto fresh = placed(driven.grid->value()->clone(), top, rec, fie);
        ASSERT_EQ(fresh->grid->rec(), rec);
        ASSERT_EQ(fresh->grid->fie(), fie);
        const QImage expected = picture(fresh->grid);
        EXPECT_TRUE(rendered == expected) << when << ": " << difference(rendered, expected);
        fresh.reset();
        ASSERT_TRUE(showActive(driven.window.get()));
    }
};

TEST_F(TesselGridPicture, DrivenGridShowsWhatAFreshGridShowsInItsPlace) {
    auto s = show(pictureRecords(40));
    ASSERT_TRUE(focusOn(s->cell(0, 0)->Text1()));
    s->settle();

    press(*s, Qt::Key_Down, 9);  // scrolls four records
    ASSERT_EQ(s->grid->top(), 4);
    expectSameAsFresh(*s, "after Down moves");

    press(*s, Qt::Key_Up, 7);  // back up, scrolling two
    ASSERT_EQ(s->grid->top(), 2);
    ASSERT_EQ(s->grid->rec(), 2);
    expectSameAsFresh(*s, "after Up moves");

    // An edit committed by Enter, which then passes over the NOTSTOP field.
    typeText(QStringLiteral("new"));
    ASSERT_EQ(s->cell(0, 0)->mode(), invar::Mode::Editing);
    press(*s, Qt::Key_Return);
    ASSERT_EQ(s->grid->fie(), 2);
    EXPECT_EQ(s->grid->Cell(2, 0).toString(), QStringLiteral("new"));
    expectSameAsFresh(*s, "after the edit and the pass-over");

    // Edited then scrolled away by Down at the bottom row, in the last field.
    press(*s, Qt::Key_Right);
    press(*s, Qt::Key_Down, 5);
    key(Qt::Key_F2);
    typeText(QStringLiteral("x"));
    press(*s, Qt::Key_Down, 3);
    ASSERT_EQ(s->grid->top(), 5);
    ASSERT_EQ(s->grid->fie(), 3);
    expectSameAsFresh(*s, "after an edit scrolled away");

    // Across the last record onto the blank line below it.
    press(*s, Qt::Key_Down, 40);
    ASSERT_EQ(s->grid->rec(), 40);
    expectSameAsFresh(*s, "at the end");
}

}  // namespace
