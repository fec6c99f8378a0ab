// The editable grid: layout, data operations, the cursor carried out by the timer, line commands,
// find, the interrupt pass and the wheel.
#include "ErrorNumber.h"
#include "ModalDriver.h"
#include "TestSupport.h"
#include "WaitFor.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/MouseHelper.h"
#include "tessel/Stru.h"
#include "tessel/ab.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tessel;
using ostrel::TableRef;
using ostrel::Variant;

namespace {

QString text(int r, int f) { return QStringLiteral("r%1f%2").arg(r).arg(f); }

TableRef texts(int records, int fields) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(fields);
    for (int r = 0; r < records; ++r) {
        t->AppendBlank();
        for (int f = 0; f < fields; ++f) t->setFields(f, Variant(text(r, f)));
    }
    return t;
}

Variant textStru(int fields, int notStopField = -1) {
    std::vector<Variant> defs;
    for (int f = 0; f < fields; ++f)
        defs.push_back(fieldDef(QStringLiteral("C"), 6, 0, QStringLiteral("제목%1").arg(f),
                                f == notStopField ? Variant("notstop") : Variant()));
    return makeStru(std::move(defs));
}

struct Arrival {
    int rec, fie, lastkey;
    bool operator==(const Arrival&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Arrival& a) {
    return os << "(" << a.rec << "," << a.fie << " last " << a.lastkey << ")";
}

class TesselGrid : public ::testing::Test {
protected:
    void make(int maxrow, const Variant& stru, int records, int nof = 0) {
        grid = new ab(&window);
        grid->setMaxrow(maxrow);
        grid->setNOF(nof);
        grid->setStru(stru);
        grid->move(0, 0);
        other = new QLineEdit(&window);
        other->move(0, grid->height() + 10);
        if (records > 0) grid->setValue(texts(records, grid->NOF()));
        QObject::connect(grid, &ab::CellGotFocus, [this](int& rec, int& fie, int& lastkey, int& nextkey) {
            arrivals.push_back({rec, fie, lastkey});
            if (onArrive) onArrive(rec, fie, nextkey);
        });
        QObject::connect(grid, &ab::abexit, [this](int& k) { exits.push_back(k); });
        QObject::connect(grid, &ab::keycommand, [this](int& k) { keys.push_back(k); });
        QObject::connect(grid, &ab::Modified, [this] { ++modified; });
        window.resize(grid->width() + 20, grid->height() + 60);
        ASSERT_TRUE(test::showActive(&window));
    }
    invar* cellAt(int row, int f) const { return grid->invar1(row * grid->displayedFields() + f); }
    void focus(int row, int f) {
        cellAt(row, f)->Text1()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cellAt(row, f)->Text1()->hasFocus(); }));
        settle();
    }
    // Waits until the timer has carried out every pending move.
    void settle() { ASSERT_TRUE(QTest::qWaitFor([&] { return grid->nextkey() == 0; }, 2000)); }
    void press(int qtKey, int modifiers = 0) {
        test::key(qtKey, modifiers);
        settle();
    }
    // The cursor, and the cell that has the focus showing the cursor's cell.
    void expectCursor(int rec, int fie, int top) {
        EXPECT_EQ(grid->rec(), rec);
        EXPECT_EQ(grid->fie(), fie);
        EXPECT_EQ(grid->top(), top);
        invar* c = cellAt(rec - top, fie);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([c] { return c->Text1()->hasFocus(); }, 1000))
            << "focus is not on row " << rec - top << " field " << fie;
    }

    QWidget window;
    ab* grid = nullptr;
    QLineEdit* other = nullptr;
    std::vector<Arrival> arrivals;
    std::vector<int> exits, keys;
    int modified = 0;
    std::function<void(int, int, int&)> onArrive;
};

TEST_F(TesselGrid, LayoutHoldsHiddenFieldsAndFollowsTheCellIndexRule) {
    make(5, textStru(3), 0, 4);
    EXPECT_EQ(grid->NOF(), 4);
    EXPECT_EQ(grid->value()->NOF(), 4);
    EXPECT_EQ(grid->invar1Count(), 15);
    EXPECT_EQ(grid->outvar1Count(), 3);
    grid->appendrec(Variant::array({Variant("a"), Variant("b"), Variant("c"), Variant("hidden")}));
    EXPECT_EQ(grid->Cell(0, 3).toString(), QStringLiteral("hidden"));
    EXPECT_EQ(cellAt(0, 2)->value().toString(), QStringLiteral("c"));
    EXPECT_EQ(grid->titles(1).toString(), QStringLiteral("제목1"));
    EXPECT_EQ(grid->outvar1(0)->palette().color(QPalette::Window), QColor(255, 255, 128));
    // Rows under their headings, fields side by side, 30 twips (2 px) apart, the grid around them.
    for (int r = 0; r < 5; ++r)
        for (int f = 0; f < 3; ++f) {
            invar* c = cellAt(r, f);
            EXPECT_EQ(c->x(), grid->outvar1(f)->x());
            EXPECT_GT(c->y(), r ? cellAt(r - 1, f)->y() : grid->outvar1(f)->y());
        }
    EXPECT_GE(grid->height(), cellAt(4, 2)->geometry().bottom());
    EXPECT_GE(grid->width(), cellAt(4, 2)->geometry().right());
    EXPECT_EQ(cellAt(2, 1)->ValueType(), QStringLiteral("C"));
    EXPECT_EQ(cellAt(2, 1)->length(), 6);
}

TEST_F(TesselGrid, MalformedStructuresAreRefusedWithTheirErrorNumbers) {
    make(3, textStru(2), 2);
    using vendra::test::errorOf;
    EXPECT_EQ(errorOf([&] { grid->setStru(textStru(2)); }), ostrel::err::InvalidArgument);  // written once
    ab fresh;
    fresh.setMaxrow(3);
    EXPECT_EQ(errorOf([&] { fresh.setStru(makeStru({Variant::array({Variant("C"), Variant(int16_t(4))})})); }),
              ostrel::err::OutOfRange);
    EXPECT_EQ(errorOf([&] { fresh.setStru(Variant("C")); }), ostrel::err::TypeMismatch);
    EXPECT_EQ(fresh.invar1Count(), 1);  // nothing laid out
    EXPECT_EQ(errorOf([&] { grid->setOCell(5, 0, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(errorOf([&] { grid->setOCell(0, 7, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(errorOf([&] { grid->setCell(-1, 0, Variant("x")); }), ostrel::err::OutOfRange);
    EXPECT_EQ(grid->RecCount(), 2);
}

TEST_F(TesselGrid, CellWritesAppendAndRaiseTheirEventsInOrder) {
    make(5, textStru(2), 3);
    QStringList events;
    QObject::connect(grid, &ab::CellModified, [&](int& rec, int& fie, Variant& old, bool& internal) {
        events << QStringLiteral("CellModified %1 %2 [%3] %4").arg(rec).arg(fie).arg(old.toString()).arg(internal);
    });
    QObject::connect(grid, &ab::Modified, [&] { events << QStringLiteral("Modified"); });
    grid->setCell(3, 0, Variant("new"));
    EXPECT_EQ(grid->RecCount(), 4);
    EXPECT_EQ(events, (QStringList{"CellModified 3 0 [] 0", "Modified"}));
    EXPECT_EQ(cellAt(3, 0)->value().toString(), QStringLiteral("new"));

    events.clear();
    grid->setPCell(6, 1, Variant("far"));
    EXPECT_EQ(grid->RecCount(), 7);
    EXPECT_EQ(events, QStringList{"Modified"});
    grid->setOCell(1, 1, Variant("quiet"));
    EXPECT_EQ(events, QStringList{"Modified"});
    EXPECT_EQ(cellAt(1, 1)->value().toString(), QStringLiteral("quiet"));
    grid->setOCell(6, 1, Variant("unshown"));  // record 6 is below the window: table only
    EXPECT_EQ(grid->Cell(6, 1).toString(), QStringLiteral("unshown"));

    // A typed value is stored with internaledit true; typing on the append line creates the record.
    events.clear();
    focus(0, 0);
    grid->zap();
    grid->setValue(texts(1, 2));
    focus(1, 0);
    test::typeText(QStringLiteral("typed"));
    test::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(grid->RecCount(), 2);
    EXPECT_EQ(grid->Cell(1, 0).toString(), QStringLiteral("typed"));
    EXPECT_EQ(events, (QStringList{"CellModified 1 0 [] 1", "Modified"}));
    expectCursor(1, 1, 0);

    grid->trim();
    EXPECT_EQ(grid->RecCount(), 2);
    grid->setOCell(1, 0, Variant(""));
    grid->trim();
    EXPECT_EQ(grid->RecCount(), 1);
}

TEST_F(TesselGrid, ValueCopiesInAndOut) {
    make(5, textStru(2), 0);
    TableRef source = texts(12, 2);
    grid->setValue(source);
    EXPECT_EQ(grid->RecCount(), 12);
    EXPECT_NE(grid->value(), source);  // the grid keeps its own table
    EXPECT_TRUE(source->isEOF());
    for (int r = 0; r < 5; ++r) EXPECT_EQ(cellAt(r, 1)->value().toString(), text(r, 1));
    source->setCell(0, 0, Variant("changed"));
    EXPECT_EQ(grid->Cell(0, 0).toString(), text(0, 0));

    // Writing the grid's own table back keeps its records.
    grid->setValue(grid->value());
    EXPECT_EQ(grid->RecCount(), 12);
    EXPECT_EQ(grid->Cell(11, 1).toString(), text(11, 1));

    // A table the grid cannot number is refused before anything is lost.
    auto huge = std::make_shared<ostrel::clsTable>();
    huge->setNOF(1);
    for (int i = 0; i <= ab::kMaxRecords; ++i) huge->AppendBlank();
    EXPECT_THROW(grid->setValue(huge), ostrel::RuntimeError);
    EXPECT_EQ(grid->RecCount(), 12);

    // A narrower table fills what it has.
    grid->setValue(texts(2, 1));
    EXPECT_EQ(grid->Cell(1, 0).toString(), text(1, 0));
    EXPECT_TRUE(grid->Cell(1, 1).isEmpty());
}

TEST_F(TesselGrid, WheelScrollsTheWindowAndCommitsTheEditToItsRecord) {
    make(5, textStru(2), 20);
    auto* helper = new MouseHelper(&window);
    helper->attach(grid);
    std::vector<int> deltas;
    QObject::connect(helper, &MouseHelper::MouseWheel, [&](int&, int& d) { deltas.push_back(d); });
    focus(0, 1);
    auto turn = [&](int delta) {
        QWidget* target = cellAt(2, 0)->Text1();
        QWheelEvent ev(QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &ev);
    };
    turn(-120);
    EXPECT_EQ(deltas, std::vector<int>{-120});
    EXPECT_EQ(grid->cursor(), (GridCursor{4, 4, 1}));
    EXPECT_TRUE(cellAt(0, 1)->Text1()->hasFocus());
    EXPECT_EQ(cellAt(0, 1)->value().toString(), text(4, 1));
    grid->MouseWheel(120);
    EXPECT_EQ(grid->cursor(), (GridCursor{0, 0, 1}));

    // An edit in progress belongs to the record it was typed on.
    test::typeText(QStringLiteral("edited"));
    turn(-120);
    EXPECT_EQ(grid->Cell(0, 1).toString(), QStringLiteral("edited"));
    EXPECT_EQ(cellAt(0, 1)->value().toString(), text(4, 1));
}

TEST_F(TesselGrid, HeadingOfABooleanFieldTogglesEveryRecord) {
    make(3, makeStru({fieldDef("C", 4, 0, "이름"), fieldDef("B", 2, 0, "선택")}), 5);
    grid->setOCell(2, 1, Variant(false));
    grid->setOCell(3, 1, Variant(true));
    // True becomes empty, anything else (empty, False) True.
    QTest::mouseClick(grid->outvar1(1), Qt::LeftButton);
    for (int r = 0; r < 5; ++r)
        EXPECT_TRUE(r == 3 ? grid->Cell(r, 1).isEmpty() : grid->Cell(r, 1).identical(Variant(true))) << r;
    EXPECT_EQ(cellAt(0, 1)->text(), QStringLiteral("＋"));
    QTest::mouseClick(grid->outvar1(1), Qt::LeftButton);
    for (int r = 0; r < 5; ++r)
        EXPECT_TRUE(r == 3 ? grid->Cell(r, 1).identical(Variant(true)) : grid->Cell(r, 1).isEmpty()) << r;
    QTest::mouseClick(grid->outvar1(0), Qt::LeftButton);  // not a Boolean field
    EXPECT_EQ(grid->Cell(0, 0).toString(), text(0, 0));
    EXPECT_EQ(modified, 0);
}

TEST_F(TesselGrid, MovesPutTheFocusOnTheCursorsCellAndScrollTheWindow) {
    make(3, textStru(2), 10);
    focus(2, 1);
    press(Qt::Key_Return);
    expectCursor(3, 0, 1);
    EXPECT_EQ(cellAt(2, 0)->value().toString(), text(3, 0));
    EXPECT_EQ(cellAt(0, 0)->value().toString(), text(1, 0));
    press(Qt::Key_Left);
    expectCursor(2, 1, 1);
    press(Qt::Key_PageDown);
    expectCursor(5, 1, 4);
    EXPECT_EQ(cellAt(0, 1)->value().toString(), text(4, 1));
    press(Qt::Key_PageUp, Qt::ControlModifier);
    expectCursor(0, 1, 0);
    press(Qt::Key_Home);
    expectCursor(0, 0, 0);
    EXPECT_EQ(grid->lastkey(), vk::Home);
    press(Qt::Key_F5);  // no move: reported to the container, the last key forgotten
    EXPECT_EQ(keys, std::vector<int>{vk::F5});
    expectCursor(0, 0, 0);

    grid->setValue(texts(2, 2));
    focus(2, 1);  // the append line: Page Down goes to the container
    press(Qt::Key_PageDown);
    EXPECT_EQ(keys, (std::vector<int>{vk::F5, vk::PgDn}));
    expectCursor(2, 1, 0);
}

TEST_F(TesselGrid, KeysTypedAheadOfAMoveReachTheCellTheMoveLandsOn) {
    make(4, textStru(2), 6);
    focus(0, 0);
    // A fast typist's keys arrive before the timer has carried out the move before them.
    test::key(Qt::Key_Down);
    test::typeText(QStringLiteral("x"));
    test::key(Qt::Key_Return);
    test::key(Qt::Key_Down);
    test::typeText(QStringLiteral("y"));
    test::key(Qt::Key_Return);
    settle();
    EXPECT_EQ(grid->value()->Cell(0, 0).toString(), text(0, 0));
    EXPECT_EQ(grid->value()->Cell(1, 0).toString(), QStringLiteral("x"));
    EXPECT_EQ(grid->value()->Cell(2, 1).toString(), QStringLiteral("y"));
    expectCursor(3, 0, 0);
}

TEST_F(TesselGrid, KeysTypedAheadFollowPassOversToTheNextLine) {
    // The order sheet's shape: a locked name, a NOTSTOP unit, quantity, a NOTSTOP price, remark.
    make(6, makeStru({fieldDef("C", 4, 0, "a", Variant("Locked")), fieldDef("C", 4, 0, "b", Variant("NotStop")),
                      fieldDef("C", 4, 0, "c"), fieldDef("C", 4, 0, "d", Variant("NotStop")),
                      fieldDef("C", 4, 0, "e")}),
         8);
    focus(0, 2);
    test::typeText(QStringLiteral("3"));
    test::key(Qt::Key_Return);  // on to the remark
    test::key(Qt::Key_Down);
    test::key(Qt::Key_Down);
    test::typeText(QStringLiteral("2"));
    test::key(Qt::Key_Return);  // last field: the next line's locked name
    test::key(Qt::Key_Right);   // past the NOTSTOP unit
    test::typeText(QStringLiteral("5"));
    test::key(Qt::Key_Return);  // past the NOTSTOP price
    settle();
    EXPECT_EQ(grid->value()->Cell(0, 2).toString(), QStringLiteral("3"));
    EXPECT_EQ(grid->value()->Cell(2, 4).toString(), QStringLiteral("2"));
    EXPECT_EQ(grid->value()->Cell(3, 2).toString(), QStringLiteral("5"));
    EXPECT_EQ(grid->value()->Cell(3, 0).toString(), text(3, 0));
    expectCursor(3, 4, 0);
}

TEST_F(TesselGrid, NotStopFieldsArePassedInTheDirectionOfTheMove) {
    make(5, textStru(3, 1), 4);
    focus(1, 0);
    arrivals.clear();
    press(Qt::Key_Right);
    expectCursor(1, 2, 0);
    press(Qt::Key_Left);
    expectCursor(1, 0, 0);
    EXPECT_EQ(arrivals, (std::vector<Arrival>{{1, 2, vk::Right}, {1, 0, vk::Left}}));
    EXPECT_TRUE(cellAt(1, 1)->Locked());

    // Up and Down: a Passby mark on the field below makes the cursor go on to the next row.
    grid->setPassby(0, true);
    press(Qt::Key_Down);
    expectCursor(3, 0, 0);
    grid->setPassby(0, true);
    press(Qt::Key_Up);
    expectCursor(1, 0, 0);
    grid->setPassby(7, true);  // outside the displayed fields: ignored
    press(Qt::Key_Up);
    expectCursor(0, 0, 0);
}

TEST_F(TesselGrid, NotStopOnTheFirstCellPassesRightAndAfterHomeGoesOnRight) {
    make(4, textStru(3, 0), 3);
    focus(0, 0);
    expectCursor(0, 1, 0);
    focus(2, 2);
    press(Qt::Key_Home);  // lands on the NOTSTOP field 0: continues to the right, not Home again
    expectCursor(2, 1, 0);
    // Leaving field 1 to the left passes field 0 and wraps to the record before.
    press(Qt::Key_Left);
    expectCursor(1, 2, 0);
}

TEST_F(TesselGrid, CellGotFocusHandlersSteerTheCursor) {
    make(4, textStru(4), 3);
    focus(0, 0);
    onArrive = [&](int, int fie, int& nextkey) {
        if (fie == 1) nextkey = grid->NotStopNextkey().toInteger();  // field 1 is never a stop
        if (fie == 2) grid->setPassby(3, true);
    };
    press(Qt::Key_Right);
    expectCursor(0, 2, 0);  // passed field 1 through the handler
    press(Qt::Key_Right);
    expectCursor(1, 0, 0);  // field 3 skipped once, then the next row
    EXPECT_TRUE(grid->NotStopNextkey().identical(Variant(int16_t(vk::Right))));
    press(Qt::Key_PageUp);
    EXPECT_TRUE(grid->NotStopNextkey().identical(Variant(int32_t(vk::Right))));
    EXPECT_EQ(grid->lastkey(), vk::PgUp);
}

TEST_F(TesselGrid, ClickBelowTheAppendLineWalksUpToIt) {
    make(6, textStru(2), 2);
    QTest::mouseClick(cellAt(5, 1)->Text1(), Qt::LeftButton);
    settle();
    expectCursor(2, 1, 0);
    EXPECT_EQ(grid->lastkey(), vk::Up);
    EXPECT_EQ(grid->RecCount(), 2);  // nothing appended on the way
    EXPECT_EQ(arrivals.back(), (Arrival{2, 1, vk::Up}));

    // With LineLock the append line is no stop either.
    grid->setLineLock(true);
    QTest::mouseClick(cellAt(4, 0)->Text1(), Qt::LeftButton);
    settle();
    expectCursor(1, 0, 0);
}

TEST_F(TesselGrid, LineDeleteAndInsertFollowTheCursor) {
    make(4, textStru(2), 3);
    std::vector<std::pair<int, QString>> deleted;
    QObject::connect(grid, &ab::LineDeleted, [&](int& rec, Variant& record) {
        deleted.push_back({rec, record.toArray().at(1).toString()});
    });
    focus(3, 0);  // the append line
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(grid->RecCount(), 3);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(modified, 0);

    focus(1, 0);
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(grid->RecCount(), 2);
    EXPECT_EQ(deleted, (std::vector<std::pair<int, QString>>{{1, text(1, 1)}}));
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(cellAt(1, 0)->value().toString(), text(2, 0));
    expectCursor(1, 0, 0);

    press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(grid->RecCount(), 3);
    EXPECT_TRUE(grid->Cell(1, 0).isEmpty());
    EXPECT_EQ(grid->Cell(2, 0).toString(), text(2, 0));
    EXPECT_EQ(cellAt(1, 0)->text(), QString());
    EXPECT_EQ(modified, 2);

    grid->setLineLock(true);
    press(Qt::Key_Y, Qt::ControlModifier);
    press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(grid->RecCount(), 3);
    EXPECT_EQ(modified, 2);
}

TEST_F(TesselGrid, ExitsToTheContainer) {
    make(3, textStru(2), 0);
    grid->setDoubleEnterExit(true);
    focus(0, 0);
    press(Qt::Key_Return);
    expectCursor(0, 1, 0);
    EXPECT_TRUE(exits.empty());
    press(Qt::Key_Return);
    EXPECT_EQ(exits, std::vector<int>{vk::Enter});
    press(Qt::Key_Escape);
    EXPECT_EQ(exits, (std::vector<int>{vk::Enter, vk::Esc}));
    press(Qt::Key_Up);  // record 0 without UpExit: nothing
    EXPECT_EQ(exits.size(), 2u);
    grid->setUpExit(true);
    press(Qt::Key_Up);
    EXPECT_EQ(exits, (std::vector<int>{vk::Enter, vk::Esc, vk::Up}));
    grid->setReturnExit(true);
    focus(0, 0);
    press(Qt::Key_Return);
    EXPECT_EQ(exits.back(), vk::Enter);
    EXPECT_EQ(exits.size(), 4u);
}

TEST_F(TesselGrid, InterruptPassVisitsEveryRecordAndPausesAfterAMove) {
    make(5, textStru(1), 100);
    std::chrono::steady_clock::time_point now{};
    grid->setIdleClock([&] { return now; });
    std::vector<int> seen;
    QObject::connect(grid, &ab::Interrupt, [&](int& rec) { seen.push_back(rec); });
    focus(0, 0);
    now += std::chrono::seconds(2);
    grid->DoInterrupt();
    WAIT_FOR(seen.size() == 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[size_t(i)], i);

    // A move holds the pass for a second of the grid's clock.
    press(Qt::Key_Down);
    grid->DoInterrupt();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 100u);
    now += std::chrono::milliseconds(1001);
    WAIT_FOR(seen.size() == 200);
    EXPECT_EQ(seen.back(), 99);  // the pass ends at RecCount

    grid->DoInterrupt();
    grid->zap();  // stops it
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 200u);
}

TEST_F(TesselGrid, FindReportsTheCountOfANewTextAndMovesOnQuietlyForTheSame) {
    make(3, textStru(2), 0);
    for (const char* v : {"사과", "배", "사과즙", "포도", "청사과", "감"})
        grid->appendrec(Variant::array({Variant("x"), Variant(v)}));
    grid->setValue(grid->value());
    focus(0, 1);
    vendra::test::ModalDriver driver;
    QString prompt, caption;
    auto answer = [&](const QString& text) {
        driver.onNextModal([&, text](QWidget* m) {
            auto* dlg = qobject_cast<QInputDialog*>(m);
            ASSERT_NE(dlg, nullptr);
            prompt = dlg->labelText();
            caption = dlg->windowTitle();
            dlg->setTextValue(text);
            dlg->accept();
        });
        press(Qt::Key_F, Qt::ControlModifier);
    };
    answer(QStringLiteral("사과"));
    EXPECT_EQ(prompt, QStringLiteral("제목1  필드 안에서 찾을 문자열을 입력하세요."));
    EXPECT_EQ(caption, QStringLiteral("찾기"));
    WAIT_EQ(driver.messages, QStringList{QStringLiteral("'사과' 문자열 3 개를 찾았습니다.")});
    EXPECT_EQ(driver.captions, QStringList{QStringLiteral("찾기")});
    expectCursor(2, 1, 2);

    answer(QStringLiteral("사과"));  // the same text: on quietly
    expectCursor(4, 1, 4);
    answer(QStringLiteral("사과"));  // wraps round to the first records
    expectCursor(0, 1, 0);
    EXPECT_EQ(driver.messages.size(), 1);

    answer(QStringLiteral("수박"));
    WAIT_EQ(driver.messages.size(), 2);
    EXPECT_EQ(driver.messages.back(), QStringLiteral("수박 문자열을 발견하지 못했습니다."));
    expectCursor(0, 1, 0);
    answer(QStringLiteral("포"));  // case and position inside the text do not matter
    WAIT_EQ(driver.messages.size(), 3);
    EXPECT_EQ(driver.messages.back(), QStringLiteral("'포' 문자열 1 개를 찾았습니다."));
    expectCursor(3, 1, 3);
}

TEST_F(TesselGrid, LockedGridKeepsLockedFieldsLockedAndStoresNothingOnTheAppendLine) {
    make(3, makeStru({fieldDef("C", 4, 0, "a"), fieldDef("C", 4, 0, "b", Variant("Locked"))}), 0);
    grid->setLocked(true);
    EXPECT_TRUE(cellAt(0, 0)->Locked());
    grid->setLocked(false);
    EXPECT_FALSE(cellAt(0, 0)->Locked());
    EXPECT_TRUE(cellAt(0, 1)->Locked());

    grid->setLineLock(true);  // no records: the append line is the one line, but nothing is stored
    focus(0, 0);
    test::typeText(QStringLiteral("lost"));
    press(Qt::Key_Return);
    EXPECT_EQ(grid->RecCount(), 0);
    EXPECT_EQ(cellAt(0, 0)->value(), Variant());
    EXPECT_EQ(modified, 0);
}

}  // namespace

namespace {

struct Upper : InputProcess {
    Variant AfterEnter(QString& t) override { return Variant(t.toUpper()); }
    Variant AfterF3(QString&) override { return Variant::null(); }
    bool LastFilter(Variant&) override { return true; }
};

TEST_F(TesselGrid, InputProcessOfAFieldServesEveryCellAndIsReportedWithItsRecord) {
    auto p = std::make_shared<Upper>();
    make(3, makeStru({fieldDef("C", 6, 0, "코드", fromInputProcess(p)), fieldDef("C", 6, 0, "이름")}), 2);
    std::vector<std::pair<int, int>> before, after;
    QObject::connect(grid, &ab::CellInputProcess, [&](int& rec, int& fie, InputProcessRef& obj) {
        EXPECT_EQ(obj, p);
        before.push_back({rec, fie});
    });
    QObject::connect(grid, &ab::CellAfterInputProcess, [&](int& rec, int& fie, InputProcessRef&) {
        after.push_back({rec, fie});
    });
    for (int r = 0; r < 3; ++r) EXPECT_EQ(cellAt(r, 0)->InputProcess(), p);
    EXPECT_EQ(cellAt(0, 1)->InputProcess(), nullptr);
    focus(1, 0);
    test::typeText(QStringLiteral("ab"));
    press(Qt::Key_Return);
    EXPECT_EQ(grid->Cell(1, 0).toString(), QStringLiteral("AB"));
    EXPECT_EQ(before, (std::vector<std::pair<int, int>>{{1, 0}}));
    EXPECT_EQ(after, before);
    expectCursor(1, 1, 0);
}

}  // namespace
