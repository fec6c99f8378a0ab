// The output library's windows. The report viewer: layout, paging keys, wheel and clicks, the idle
// record pass, print and export keys and buttons. The selection list: every way to leave it, what it
// gives back, its size and focus.
#include "ErrorNumber.h"
#include "ModalDriver.h"
#include "Reports.h"
#include "WaitFor.h"
#include "WidgetTest.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/pptZepPublicValue.h"
#include "tavrin/RecordingPrinter.h"
#include "tavrin/ReportCursor.h"
#include "tavrin/clsJbPrint.h"
#include "tavrin/clsOuthand.h"
#include "tavrin/fncSelectA.h"
#include "tavrin/frmSelectA.h"
#include "tavrin/mdlPrint.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>

using namespace tavrin;
using namespace tavrin::test;
namespace vk = tessel::vk;
namespace keycmd = tessel::keycmd;
using ostrel::Variant;
using vendra::test::focused;
using vendra::test::key;
using vendra::test::ModalDriver;

namespace {

// A viewer of `n` records in item and quantity columns, `rows` rows on screen, shown.
struct Viewer {
    explicit Viewer(int n, int rows = 10) {
        o.setFontsize(9);
        o.setMaxrow(rows);
        o.setStru(reportStru(2));
        o.setSubject(QStringLiteral("품목별 현황"));
        o.setValue(items(n));
        o.show();
        frm = o.window();
    }
    ~Viewer() {
        if (frm) frm->close();
    }
    // The key as the focused cell reports it, then the timer tick that carries it out.
    void key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(frm->outvar2(0), Qt::Key(qtKey), mods);
        settle();
    }
    // Keys are carried out on the next timer tick.
    void settle() { EXPECT_TRUE(QTest::qWaitFor([&] { return frm->pendingKey() == 0; }, 2000)); }
    QString shown(int row, int c = 0) const { return frm->outvar2(row * frm->columnCount() + c)->value().toString(); }
    QColor colour(int cell) const { return frm->outvar2(cell)->palette().color(QPalette::Window); }
    QList<int> cursor() const { return {frm->currentRecord(), frm->topRecord(), frm->markedRow()}; }
    clsOuthand o;
    QPointer<frmOuthand> frm;
};

// Counts its runs and the subject it was given, or fails.
struct CountingPrint : PrintObject {
    int runs = 0;
    QString subject;
    bool fail = false;
    void run(QString& s, Variant&, ostrel::TableRef& t, Variant& stru) override {
        ++runs;
        subject = s;
        EXPECT_EQ(t->RecCount(), 4);
        EXPECT_EQ(tessel::struCount(stru), 2);
        if (fail) throw ostrel::RuntimeError::outOfRange();
    }
};

// Rewrites each record's first field after its quantity, or fails at the first.
struct Recorder : InterruptObject {
    QList<int> seen;
    bool fail = false;
    void lineevent(Variant& descr, ostrel::VArray& record) override {
        if (fail) throw ostrel::RuntimeError::typeMismatch();
        EXPECT_EQ(descr.toString(), QStringLiteral("기간"));
        ASSERT_EQ(record.items.size(), 3u);
        seen << int(record.items[1].toLong() / 1000);
        record.items[0] = QStringLiteral("done%1").arg(seen.last());
    }
};

// From (top, rec) with `marked` the row marked on screen, `key` over `records` records moves to `to`.
struct CursorCase { tessel::GridCursor from; int marked, key, records; tessel::GridCursor to; bool moved, refresh; };

}  // namespace

// The cursor arithmetic alone, without widgets.
TEST(ReportCursorTest, KeysMoveTheMarkedRecordAndTheWindow) {
    constexpr bool Y = true, N = false;
    for (const CursorCase& c : {
             CursorCase{{0, 8}, 8, vk::Down, 50, {0, 9}, Y, N},
             {{0, 9}, 9, vk::Down, 50, {1, 10}, Y, Y},  // on the last row: scrolls by one
             {{40, 49}, 9, vk::Down, 50, {40, 49}, N, N},
             {{1, 10}, 9, vk::PgDn, 50, {11, 20}, Y, Y},
             {{31, 40}, 9, vk::PgDn, 50, {40, 49}, Y, Y},  // near the end: the last record, same row
             {{31, 40}, -1, vk::PgDn, 50, {40, 49}, Y, Y},
             {{0, 5}, 5, keycmd::CtrlPgDn, 50, {49, 49}, Y, Y},  // the last record alone at the top
             {{49, 49}, 0, vk::Up, 50, {48, 48}, Y, Y},        // in the top row: scrolls back one
             {{0, 5}, 5, vk::Up, 50, {0, 4}, Y, N},
             {{0, 0}, 0, vk::Up, 50, {0, 0}, N, N},
             {{48, 48}, 0, vk::PgUp, 50, {38, 38}, Y, Y},
             {{5, 15}, 0, vk::PgUp, 50, {0, 5}, Y, Y},
             {{3, 10}, 7, vk::PgUp, 50, {0, 0}, Y, Y},
             {{38, 38}, 0, keycmd::CtrlPgUp, 50, {0, 0}, Y, Y},
             {{0, 0}, 0, vk::PgDn, 0, {0, 0}, N, N},  // no records: nothing moves
             {{0, 3}, 3, vk::Home, 50, {0, 3}, N, N},
         }) {
        const tavrin::ReportMove m = tavrin::moveReportCursor(c.from, c.marked, c.key, c.records, 10);
        EXPECT_TRUE(m.to == c.to && m.moved == c.moved && m.refresh == c.refresh)
            << "key " << c.key << " from " << c.from.top << "/" << c.from.rec << ": " << m.to.top << "/" << m.to.rec;
    }
}

TEST(Viewer, LayoutAfterFontsizeAndMaxrowAndStructureErrorsReachTheCaller) {
    clsOuthand o;
    o.setFontsize(10);
    o.setMaxrow(5);
    o.setStru(reportStru(2));
    frmOuthand* f = o.window();
    ASSERT_EQ(f->outvar2Count(), 10);
    // Cells 30 x size twips high, 30 twips apart; columns follow the headings.
    EXPECT_EQ(f->outvar2(0)->height(), tessel::twipsToPixels(300));
    EXPECT_EQ(f->outvar1(0)->x(), tessel::twipsToPixels(30));
    EXPECT_EQ(f->outvar2(1)->x(), f->outvar1(1)->x());
    EXPECT_GT(f->outvar1(1)->x(), f->outvar1(0)->x() + f->outvar1(0)->width());
    EXPECT_GT(f->outvar2(2)->y(), f->outvar2(0)->y() + f->outvar2(0)->height());
    EXPECT_TRUE(f->outvar1(1)->value().toString() == QStringLiteral("수량") && f->outvar2(1)->ValueType() == "n");
    EXPECT_GE(f->height(), f->outvar2(9)->y() + f->outvar2(9)->height());

    o.setFontsize(2729);  // 12 x 2729 = 32748
    vendra::test::expectError(ostrel::err::Overflow, [&] { o.setStru(reportStru(2)); });
    EXPECT_THROW(o.setStru(Variant::array({})), ostrel::RuntimeError);
    EXPECT_THROW(o.setStru(Variant(QStringLiteral("x"))), ostrel::RuntimeError);
}

TEST(Viewer, ShowsTheTableAndPagingKeysMoveTheMarkAndTheWindow) {
    Viewer v(50, 10);
    // The description's parts two spaces apart, dates as short dates, a null as nothing.
    v.o.setDescr(Variant::array({Variant(ostrel::DateSerial(2024, 3, 1)), Variant(QStringLiteral("~")),
                                 Variant::null(), Variant(int32_t(7))}));
    v.o.setEtc(QStringLiteral("비고 줄"));
    EXPECT_EQ(v.frm->windowTitle() + '|' + v.frm->Text1()->text() + '|' + v.frm->Text2()->text(),
              QStringLiteral("품목별 현황|24/03/01  ~    7|비고 줄"));
    EXPECT_EQ(v.shown(2, 1), QStringLiteral("2000"));
    EXPECT_TRUE(v.colour(0) == QColor(128, 128, 255) && v.colour(2) == QColor(224, 224, 224));
    struct Step { int key, mods, count, current, top, marked; const char *row0, *row1; };
    for (const Step& s : {Step{Qt::Key_Down, 0, 10, 10, 1, 9, "item 1", "item 2"},  // on the last row: scrolls by one
                          Step{Qt::Key_PageDown, 0, 4, 49, 40, 9, "item 40", "item 41"},  // the last record, same row
                          Step{Qt::Key_PageDown, Qt::ControlModifier, 1, 49, 49, 0, "item 49", ""},  // alone in row 0
                          Step{Qt::Key_PageUp, Qt::ControlModifier, 1, 0, 0, 0, "item 0", "item 1"}}) {
        for (int i = 0; i < s.count; ++i) v.key(s.key, Qt::KeyboardModifiers(s.mods));
        EXPECT_EQ(v.cursor(), QList<int>({s.current, s.top, s.marked})) << s.key;
        EXPECT_EQ(v.shown(0) + "|" + v.shown(1), QString::fromLatin1(s.row0) + "|" + s.row1) << s.key;
    }
    // A burst of keys before the next tick collapses to the latest one.
    for (int i = 0; i < 3; ++i) QTest::keyClick(v.frm->outvar2(0), Qt::Key_Down);
    v.settle();
    EXPECT_EQ(v.frm->currentRecord(), 1);
}

TEST(Viewer, WheelAndClicksAndAnEmptyTableThatIgnoresThem) {
    Viewer v(50, 10);
    for (int i = 0; i < 11; ++i) v.key(Qt::Key_Down);
    ASSERT_EQ(v.cursor(), QList<int>({11, 2, 9}));
    v.frm->MouseWheel(120);  // top 2 with 4 lines a notch: back to the top, cursor up by 2
    EXPECT_EQ(v.cursor(), QList<int>({9, 0, 9}));

    // A real turn over a cell takes the same way.
    QWheelEvent down(QPointF(5, 5), v.frm->outvar2(0)->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.frm->outvar2(0), &down);
    EXPECT_EQ(v.cursor(), QList<int>({13, 4, 9}));
    v.frm->MouseWheel(-120 * 20);  // would pass the end: stops on the last record
    EXPECT_EQ(v.frm->currentRecord(), 49);

    QTest::mouseClick(v.frm->outvar2(3 * 2 + 1), Qt::LeftButton);
    EXPECT_EQ(v.cursor(), QList<int>({43, 40, 3}));
    EXPECT_EQ(v.colour(9 * 2), QColor(224, 224, 224));

    Viewer shortOne(2, 10);
    QTest::mouseClick(shortOne.frm->outvar2(5 * 2), Qt::LeftButton);  // below the records
    EXPECT_EQ(shortOne.cursor(), QList<int>({0, 0, 0}));

    Viewer empty(0, 5);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) empty.key(key);
    empty.key(Qt::Key_PageDown, Qt::ControlModifier);
    for (int delta : {-120, 120}) empty.frm->MouseWheel(delta);
    QTest::mouseClick(empty.frm->outvar2(0), Qt::LeftButton);
    EXPECT_TRUE(empty.cursor() == QList<int>({0, 0, 0}) && empty.shown(0).isEmpty());
}

TEST(Viewer, BackgroundPassAfterOneIdleSecondRewritesRecordsAndStopsOnAFailure) {
    Viewer v(12, 5);
    v.o.setDescr(Variant(QStringLiteral("기간")));
    auto rec = std::make_shared<Recorder>();
    std::chrono::steady_clock::time_point now{};
    v.frm->setIdleClock([&] { return now; });
    v.key(Qt::Key_Down);
    v.o.setInterruptobj(rec);
    v.o.DoInterrupt();
    // Nothing is handed over within the second after a key.
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(rec->seen.isEmpty());
    now += std::chrono::milliseconds(1001);
    WAIT_EQ(rec->seen.size(), 12);
    EXPECT_EQ(rec->seen, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_FALSE(v.frm->backgroundUnfinished());
    // Rewritten values are in the table and on screen.
    EXPECT_EQ(v.o.value()->Cell(11, 0).toString(), QStringLiteral("done11"));
    EXPECT_EQ(v.shown(4), QStringLiteral("done4"));
    // A new table walks again from its first record, at once when idle.
    rec->seen.clear();
    v.o.setValue(items(3));
    WAIT_EQ(rec->seen.size(), 3);
    EXPECT_EQ(v.shown(2), QStringLiteral("done2"));

    // A failing handler stops the pass with a message instead of escaping the timer.
    ModalDriver driver;
    rec->fail = true;
    v.o.DoInterrupt();
    WAIT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].startsWith(QStringLiteral("'13' 런타임 오류가 발생했습니다.")));
    EXPECT_FALSE(v.frm->backgroundUnfinished());
    EXPECT_TRUE(v.frm->isVisible());
}

TEST(Viewer, PrintExportAndCloseKeysAndTheButtonsTabReaches) {
    auto printer = std::make_shared<RecordingPrinter>();
    setCurrentPrinter(printer);
    sembrin::pptZepPublicValue().setZepPv사용자({"111-22-33333", "가온상회", {}, {}, {}, {}, {}, "031-000-0000", {}, {}, {}});
    // Whether `footer` was printed since the last check.
    auto printed = [&](const char* footer) {
        const auto texts = printer->texts();
        printer->clear();
        return std::any_of(texts.begin(), texts.end(), [&](const auto& c) { return c.text == footer; });
    };
    const char* userFooter = "111-22-33333  가온상회  031-000-0000";
    Viewer v(4, 5);
    EXPECT_FALSE(v.frm->cmdAltP()->isVisible());
    v.key(Qt::Key_F9);  // no print object: the print engine with the user's footer
    EXPECT_TRUE(printed(userFooter));

    auto obj = std::make_shared<CountingPrint>();
    v.o.setPrintobj(obj);
    EXPECT_TRUE(v.frm->cmdAltP()->isVisible());
    // Tab takes from the last cell through the three buttons in order; Enter presses the focused one.
    ASSERT_TRUE(vendra::test::showActive(v.frm));
    v.frm->outvar2(v.frm->outvar2Count() - 1)->setFocus();
    for (QWidget* expected : {v.frm->cmdF6(), v.frm->cmdF9(), v.frm->cmdAltP()}) {
        key(Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return focused() == expected; })) << expected->objectName().toStdString();
    }
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), v.frm->cmdF9());
    key(Qt::Key_Return);
    EXPECT_TRUE(obj->runs == 1 && obj->subject == QStringLiteral("품목별 현황"));
    EXPECT_EQ(printer->pageCount(), 0);
    v.key(Qt::Key_P, Qt::AltModifier);  // quick print: always the engine
    EXPECT_EQ(obj->runs, 1);
    EXPECT_TRUE(printed(userFooter));
    QTest::mouseClick(v.frm->cmdAltP(), Qt::LeftButton);
    EXPECT_TRUE(printed(userFooter));

    // A failing print object is reported and the viewer stays.
    ModalDriver driver;
    obj->fail = true;
    QTest::mouseClick(v.frm->cmdF9(), Qt::LeftButton);
    EXPECT_EQ(obj->runs, 2);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].startsWith(QStringLiteral("'9' 런타임 오류가 발생했습니다.")));
    EXPECT_TRUE(v.frm->isVisible());

    // clsJbPrint as the print object prints its own footer.
    auto jb = std::make_shared<clsJbPrint>();
    jb->setS사업자등록번호(QStringLiteral("999-99-99999"));
    jb->setS상호(QStringLiteral("자체"));
    v.o.setPrintobj(jb);
    v.key(Qt::Key_F9);
    EXPECT_TRUE(printed("999-99-99999  자체  "));
    setCurrentPrinter(nullptr);

    QTemporaryDir dir;
    driver.fileAnswer = dir.filePath(QStringLiteral("v.csv"));
    v.key(Qt::Key_F6);
    EXPECT_EQ(driver.messages.last(), QStringLiteral("CSV 파일 내보내기 완료"));
    EXPECT_TRUE(QFile::exists(driver.fileAnswer));
    QPointer<frmOuthand> frm = v.frm;
    QTest::keyClick(frm->outvar2(0), Qt::Key_Escape);
    WAIT_FOR(frm.isNull());
    // The object opens a fresh window when used again: a row count set before it loads gives way to 20 rows.
    v.o.setMaxrow(5);
    v.o.setStru(reportStru(2));
    ASSERT_NE(v.o.window(), nullptr);
    EXPECT_EQ(QList<int>({v.o.window()->maxrow(), v.o.window()->outvar2Count(), v.o.window()->fontsize()}),
              QList<int>({20, 40, 12}));
}

TEST(SelectB, EveryWayToLeaveTheWindowAndTheGridTableThatOkGivesBack) {
    ModalDriver driver;
    auto a = items(4);
    const auto original = a;
    using F = frmSelectA*;
    struct Case { const char* how; float font; std::function<void(F)> end; bool ok; };
    const Case cases[] = {  // the cancelling ways first: they leave the caller's table alone
        {"Cancel", 0, [](F frm) { QTest::mouseClick(frm->cmdCancel(), Qt::LeftButton); }, false},
        {"close box", 9, [](F frm) { frm->close(); }, false},
        {"Esc in the grid", 10.5, [](F) { key(Qt::Key_Escape); }, false},
        {"OK", 12, [](F frm) { QTest::mouseClick(frm->cmdOK(), Qt::LeftButton); }, true},
        {"Enter as the grid reports it", 0, [](F frm) {
             int enter = tessel::vk::Enter;
             emit frm->ab1()->keycommand(enter);
         }, true},
        {"Tab to the buttons, Enter on the focused one", 0, [](F frm) {
             for (QWidget* next : {frm->cmdOK(), frm->cmdCancel()}) {
                 key(Qt::Key_Tab);
                 EXPECT_EQ(focused(), next);
             }
             key(Qt::Key_Tab, Qt::ShiftModifier);
             key(Qt::Key_Return);
         }, true},
    };
    for (const Case& c : cases) {
        driver.onNextModal([&](QWidget* w) {
            auto* frm = qobject_cast<F>(w);
            ASSERT_NE(frm, nullptr);
            // The grid holds the focus from the start, not only once the window system activates the window.
            EXPECT_TRUE(frm->ab1()->isAncestorOf(frm->focusWidget())) << c.how;
            ASSERT_TRUE(QTest::qWaitForWindowActive(frm));
            EXPECT_EQ(frm->windowTitle(), QStringLiteral("발주품목선택"));
            const double size = c.font ? c.font : 12;  // 0 keeps the window's size
            EXPECT_DOUBLE_EQ(frm->ab1()->invar1(0)->heightTwips(), size * 28) << c.how;
            // The grid with 350 by 1800 twips around it, frame included; the buttons below the grid.
            const QSize grid = frm->ab1()->size();
            EXPECT_EQ(frm->frameGeometry().size(), tessel::twipsRect(0, 0, tessel::pixelsToTwips(grid.width()) + 350,
                                                                     tessel::pixelsToTwips(grid.height()) + 1800)
                                                       .size());
            EXPECT_GT(frm->cmdOK()->y(), frm->ab1()->y() + grid.height());
            frm->ab1()->setCell(1, 0, Variant(QStringLiteral("바뀐이름")));
            c.end(frm);
        });
        EXPECT_EQ(fncSelectA().selectb(QStringLiteral("발주품목선택"), a, reportStru(1), c.font), c.ok) << c.how;
        EXPECT_EQ(a->Cell(1, 0).toString(), c.ok ? QStringLiteral("바뀐이름") : QStringLiteral("item 1")) << c.how;
        EXPECT_TRUE(c.ok || a == original) << c.how;
    }
    EXPECT_NE(a, original);  // the grid's table
    EXPECT_TRUE(a->RecCount() == 4 && a->Cell(3, 1).toLong() == 3000);  // the hidden fields came through
    EXPECT_EQ(original->Cell(1, 0).toString(), QStringLiteral("item 1"));
}

TEST(SelectA, TicksDecideTheRowsKeptWithTheirHiddenFields) {
    ModalDriver driver;
    auto a = items(4);
    const auto same = a;
    // Every row ticked or not when shown, then the ticks `set` or cleared; confirmed or not; the items kept.
    struct Case { bool ticked; std::vector<std::pair<int, bool>> set; bool ok; QList<int> kept; };
    for (const Case& c : {Case{true, {}, true, {0, 1, 2, 3}}, Case{true, {{0, false}}, false, {0, 1, 2, 3}},
                          Case{false, {{3, true}, {1, true}}, true, {1, 3}}, Case{false, {}, true, {}}}) {
        driver.onNextModal([&](QWidget* w) {
            auto* frm = qobject_cast<frmSelectA*>(w);
            ASSERT_NE(frm, nullptr);
            EXPECT_EQ(frm->ab1()->displayedFields(), 2);
            EXPECT_EQ(frm->ab1()->titles(0).toString(), QStringLiteral("선택"));
            EXPECT_EQ(frm->ab1()->Cell(0, 0).identical(Variant(true)), c.ticked);
            for (auto [r, on] : c.set) frm->ab1()->setCell(r, 0, on ? Variant(true) : Variant());
            if (c.ok) frm->confirm();
            else frm->cancel();
        });
        EXPECT_EQ(fncSelectA().selecta(QStringLiteral("s"), a, reportStru(1), c.ticked), c.ok);
        EXPECT_EQ(a, same);  // the caller's table object, refilled
        ASSERT_EQ(a->RecCount(), c.kept.size());
        for (int i = 0; i < a->RecCount(); ++i)
            EXPECT_TRUE(a->Cell(i, 0).toString() == QStringLiteral("item %1").arg(c.kept[i]) &&
                        a->Cell(i, 1).toLong() == 1000 * c.kept[i]) << i;
    }
}
