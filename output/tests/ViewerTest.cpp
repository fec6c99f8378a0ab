// The report viewer: layout, paging keys, wheel and clicks, the idle record pass, print and export keys.
#include "ErrorNumber.h"
#include "MakeTable.h"
#include "ModalDriver.h"
#include "WaitFor.h"
#include "WidgetTest.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/pptZepPublicValue.h"
#include "tavrin/RecordingPrinter.h"
#include "tavrin/ReportCursor.h"
#include "tavrin/clsJbPrint.h"
#include "tavrin/clsOuthand.h"
#include "tavrin/mdlPrint.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"
#include "tessel/outvar.h"
#include "tessel/Stru.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>

using namespace tavrin;
namespace vk = tessel::vk;
namespace keycmd = tessel::keycmd;
using ostrel::Variant;
using vendra::test::makeTable;
using vendra::test::ModalDriver;

namespace {

Variant twoColumns() {
    return tessel::makeStru({tessel::fieldDef("c", 8, 0, "품목"), tessel::fieldDef("n", 6, 0, "수량")});
}

ostrel::TableRef numbered(int n) {
    return makeTable(2, n, [](int i, int j) -> Variant {
        return j == 0 ? Variant(QStringLiteral("r%1").arg(i)) : Variant(int32_t(i));
    });
}

// A viewer of `n` records and `rows` rows on screen, shown.
struct Viewer {
    explicit Viewer(int n, int rows = 10) {
        o.setFontsize(9);
        o.setMaxrow(rows);
        o.setStru(twoColumns());
        o.setSubject(QStringLiteral("품목별 현황"));
        o.setValue(numbered(n));
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
    clsOuthand o;
    QPointer<frmOuthand> frm;
};

struct CursorCase {
    tessel::GridCursor from;  // top, rec
    int marked, key, records;
    tessel::GridCursor to;
    bool moved, refresh;
};

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
             {{0, 0}, 0, vk::Down, 0, {0, 0}, N, N},  // no records: nothing moves
             {{0, 0}, 0, vk::PgDn, 0, {0, 0}, N, N},
             {{0, 3}, 3, vk::Home, 50, {0, 3}, N, N},
         }) {
        const tavrin::ReportMove m = tavrin::moveReportCursor(c.from, c.marked, c.key, c.records, 10);
        EXPECT_TRUE(m.to == c.to && m.moved == c.moved && m.refresh == c.refresh)
            << "key " << c.key << " from " << c.from.top << "/" << c.from.rec << ": " << m.to.top << "/" << m.to.rec;
    }
}

TEST(Viewer, MaxrowBeforeLoadIsReplacedAndAfterFontsizeKeptAndStructureErrorsReachTheCaller) {
    clsOuthand first;
    first.setMaxrow(5);  // the window is not loaded yet: stru loads it and 20 rows apply
    first.setStru(twoColumns());
    EXPECT_EQ(first.window()->maxrow(), 20);
    EXPECT_EQ(first.window()->outvar2Count(), 40);
    EXPECT_EQ(first.window()->fontsize(), 12);

    clsOuthand second;
    second.setFontsize(10);
    second.setMaxrow(5);
    second.setStru(twoColumns());
    frmOuthand* f = second.window();
    ASSERT_EQ(f->outvar2Count(), 10);
    // Cells 30 x size twips high, 30 twips apart; columns follow the headings.
    EXPECT_EQ(f->outvar2(0)->height(), tessel::twipsToPixels(300));
    EXPECT_EQ(f->outvar1(0)->x(), tessel::twipsToPixels(30));
    EXPECT_EQ(f->outvar2(1)->x(), f->outvar1(1)->x());
    EXPECT_GT(f->outvar1(1)->x(), f->outvar1(0)->x() + f->outvar1(0)->width());
    EXPECT_GT(f->outvar2(2)->y(), f->outvar2(0)->y() + f->outvar2(0)->height());
    EXPECT_EQ(f->outvar1(1)->value().toString(), QStringLiteral("수량"));
    EXPECT_EQ(f->outvar2(1)->ValueType(), QStringLiteral("n"));
    EXPECT_GE(f->height(), f->outvar2(9)->y() + f->outvar2(9)->height());

    clsOuthand o;
    o.setFontsize(2729);  // 12 x 2729 = 32748
    vendra::test::expectError(ostrel::err::Overflow, [&] { o.setStru(twoColumns()); });
    clsOuthand p;
    EXPECT_THROW(p.setStru(Variant::array({})), ostrel::RuntimeError);
    EXPECT_THROW(p.setStru(Variant(QStringLiteral("x"))), ostrel::RuntimeError);
}

TEST(Viewer, ShowsTheTableAndPagingKeysMoveTheMarkAndTheWindow) {
    Viewer v(50, 10);
    v.o.setDescr(Variant::array({Variant(ostrel::DateSerial(2024, 3, 1)), Variant(QStringLiteral("~"))}));
    v.o.setEtc(QStringLiteral("비고 줄"));
    EXPECT_EQ(v.frm->windowTitle(), QStringLiteral("품목별 현황"));
    EXPECT_EQ(v.frm->Text1()->text(), QStringLiteral("24/03/01  ~"));
    EXPECT_EQ(v.frm->Text2()->text(), QStringLiteral("비고 줄"));
    EXPECT_EQ(v.shown(2, 1), QStringLiteral("2"));
    EXPECT_EQ(v.frm->outvar2(0)->palette().color(QPalette::Window), QColor(128, 128, 255));
    EXPECT_EQ(v.frm->outvar2(2)->palette().color(QPalette::Window), QColor(224, 224, 224));
    struct Step {
        int key, mods, count;
        int current, top, marked;
        const char *row0, *row1;
    };
    for (const Step& s : {Step{Qt::Key_Down, 0, 10, 10, 1, 9, "r1", "r2"},  // on the last visible row: scrolls by one
                          Step{Qt::Key_PageDown, 0, 4, 49, 40, 9, "r40", "r41"},  // near the end: last record, same row
                          Step{Qt::Key_PageDown, Qt::ControlModifier, 1, 49, 49, 0, "r49", ""},  // alone in row 0
                          Step{Qt::Key_PageUp, Qt::ControlModifier, 1, 0, 0, 0, "r0", "r1"}}) {
        for (int i = 0; i < s.count; ++i) v.key(s.key, Qt::KeyboardModifiers(s.mods));
        EXPECT_EQ(v.frm->currentRecord(), s.current) << s.key;
        EXPECT_EQ(v.frm->topRecord(), s.top) << s.key;
        EXPECT_EQ(v.frm->markedRow(), s.marked) << s.key;
        EXPECT_EQ(v.shown(0) + "|" + v.shown(1), QString::fromLatin1(s.row0) + "|" + s.row1) << s.key;
    }
    // A burst of keys before the next tick collapses to the latest one.
    for (int i = 0; i < 3; ++i) QTest::keyClick(v.frm->outvar2(0), Qt::Key_Down);
    v.settle();
    EXPECT_EQ(v.frm->currentRecord(), 1);
}

TEST(Viewer, WheelAndClicks) {
    Viewer v(50, 10);
    for (int i = 0; i < 11; ++i) v.key(Qt::Key_Down);
    ASSERT_EQ(v.frm->topRecord(), 2);
    ASSERT_EQ(v.frm->currentRecord(), 11);
    v.frm->MouseWheel(120);  // top 2 with 4 lines a notch: back to the top, cursor up by 2
    EXPECT_EQ(v.frm->topRecord(), 0);
    EXPECT_EQ(v.frm->currentRecord(), 9);
    EXPECT_EQ(v.frm->markedRow(), 9);

    // A real turn over a cell takes the same way.
    QWheelEvent down(QPointF(5, 5), v.frm->outvar2(0)->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.frm->outvar2(0), &down);
    EXPECT_EQ(v.frm->topRecord(), 4);
    EXPECT_EQ(v.frm->currentRecord(), 13);

    v.frm->MouseWheel(-120 * 20);  // would pass the end: stops on the last record
    EXPECT_EQ(v.frm->currentRecord(), 49);

    QTest::mouseClick(v.frm->outvar2(3 * 2 + 1), Qt::LeftButton);
    EXPECT_EQ(v.frm->currentRecord(), 43);
    EXPECT_EQ(v.frm->markedRow(), 3);
    EXPECT_EQ(v.frm->outvar2(9 * 2)->palette().color(QPalette::Window), QColor(224, 224, 224));

    Viewer shortOne(2, 10);
    QTest::mouseClick(shortOne.frm->outvar2(5 * 2), Qt::LeftButton);  // below the records
    EXPECT_EQ(shortOne.frm->currentRecord(), 0);
    EXPECT_EQ(shortOne.frm->markedRow(), 0);
}

TEST(Viewer, EmptyTableIgnoresMovement) {
    Viewer v(0, 5);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) v.key(key);
    v.key(Qt::Key_PageDown, Qt::ControlModifier);
    v.frm->MouseWheel(-120);
    v.frm->MouseWheel(120);
    QTest::mouseClick(v.frm->outvar2(0), Qt::LeftButton);
    EXPECT_EQ(v.frm->currentRecord() + v.frm->topRecord(), 0);
    EXPECT_TRUE(v.frm->outvar2(0)->value().isEmpty());
}

namespace {
// Rewrites each record's first field, or fails at the first.
struct Recorder : InterruptObject {
    QList<int> seen;
    bool fail = false;
    void lineevent(Variant& descr, ostrel::VArray& record) override {
        if (fail) throw ostrel::RuntimeError::typeMismatch();
        EXPECT_EQ(descr.toString(), QStringLiteral("기간"));
        ASSERT_EQ(record.items.size(), 2u);
        seen << int(record.items[1].toLong());
        record.items[0] = QStringLiteral("done%1").arg(record.items[1].toLong());
    }
};
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
}  // namespace

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
    v.o.setValue(numbered(3));
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

TEST(Viewer, PrintKeysAndTheQuickPrintButton) {
    auto printer = std::make_shared<RecordingPrinter>();
    setCurrentPrinter(printer);
    sembrin::사업자 user;
    user.사업자등록번호 = QStringLiteral("111-22-33333");
    user.상호 = QStringLiteral("가온상회");
    user.전화번호 = QStringLiteral("031-000-0000");
    sembrin::pptZepPublicValue().setZepPv사용자(user);
    auto printed = [&](const QString& text) {
        for (const auto& c : printer->texts())
            if (c.text == text) return true;
        return false;
    };
    auto footerPrinted = [&] { return printed(QStringLiteral("111-22-33333  가온상회  031-000-0000")); };
    Viewer v(4, 5);
    EXPECT_FALSE(v.frm->cmdAltP()->isVisible());
    v.key(Qt::Key_F9);  // no print object: the print engine with the user's footer
    EXPECT_TRUE(footerPrinted());

    auto obj = std::make_shared<CountingPrint>();
    v.o.setPrintobj(obj);
    EXPECT_TRUE(v.frm->cmdAltP()->isVisible());
    printer->clear();
    v.key(Qt::Key_F9);
    EXPECT_EQ(obj->runs, 1);
    EXPECT_EQ(obj->subject, QStringLiteral("품목별 현황"));
    EXPECT_EQ(printer->pageCount(), 0);
    v.key(Qt::Key_P, Qt::AltModifier);  // quick print: always the engine
    EXPECT_EQ(obj->runs, 1);
    EXPECT_TRUE(footerPrinted());
    printer->clear();
    QTest::mouseClick(v.frm->cmdAltP(), Qt::LeftButton);
    EXPECT_TRUE(footerPrinted());

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
    printer->clear();
    v.key(Qt::Key_F9);
    EXPECT_TRUE(printed(QStringLiteral("999-99-99999  자체  ")));
    setCurrentPrinter(nullptr);
}

TEST(Viewer, F6ExportsAndEscCloses) {
    QTemporaryDir dir;
    ModalDriver driver;
    Viewer v(4, 5);
    driver.fileAnswer = dir.filePath(QStringLiteral("v.csv"));
    v.key(Qt::Key_F6);
    EXPECT_EQ(driver.dialogs, 1);
    EXPECT_EQ(driver.messages, QStringList{QStringLiteral("CSV 파일 내보내기 완료")});
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("v.csv"))));

    QPointer<frmOuthand> frm = v.frm;
    QTest::keyClick(frm->outvar2(0), Qt::Key_Escape);
    WAIT_FOR(frm.isNull());
    // The object opens a fresh window when used again.
    v.o.setStru(twoColumns());
    EXPECT_NE(v.o.window(), nullptr);
    EXPECT_EQ(v.o.window()->outvar2Count(), 40);
}
