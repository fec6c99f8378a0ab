// Item selection, order check and delivery reports: the tables alone and round trips to the server.
#include "TestSupport.h"
#include "WaitFor.h"

#include "vendra/OrderSheet.h"
#include "vendra/Reports.h"
#include "vendra/Requests.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"
#include "vendra/mdlPdSelect.h"

#include "corvane/fncXML.h"
#include "ostrel/fncDate.h"
#include "tavrin/frmOuthand.h"
#include "tavrin/frmSelectA.h"
#include "tessel/ab.h"

#include <QApplication>
#include <QPushButton>

using namespace vendra;
using namespace vendra::test;
using ostrel::clsTable;
using ostrel::Date;
using ostrel::DateSerial;
using ostrel::TableRef;
using ostrel::Variant;

namespace {
// The three summary rows from `i`: fields 6, 7, 8 of each; no tax on the tax-free row nor the total.
void expectSummary(const clsTable& t, int i, std::vector<double> f6, std::vector<double> f7, std::vector<double> f8) {
    const char* labels[] = {"면세", "과세", "합계"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(rowOf(t, i + k), (Row{{}, {}, {}, labels[k], {}, {}, C(f6[k]), C(f7[k]), C(f8[k])})) << k;
        EXPECT_TRUE(k == 1 || t.Cell(i + k, 7).isEmpty()) << k;
    }
}
}  // namespace

// Deliveries: date, key, quantity, price, flag, supply, tax, amount.
TEST(DeliveryReports, DailyBlocksPeriodSumsProductRowsAndTaxTotalsByDate) {
    const Date d1 = DateSerial(2030, 3, 1), d2 = DateSerial(2030, 3, 2);
    // Not grouped by date: d1, d2, d1 gives three daily blocks.
    const TableRef t =
        mdlNy::BuildPurchaseHistory(*table(8, {{d1, "사과_상자", C(1), C(1000), "+", C(1000), C(100), C(1100)},
                                               {d1, "깐_마늘_kg", C(2), C(250), "", C(500), C(0), C(500)},
                                               {d2, "사과_상자", C(2), C(1100), "/", C(2000), C(200), C(2200)},
                                               {d1, "무", C(0), C(0), "", C(0), C(0), C(0)}}));
    ASSERT_EQ(t->RecCount(), 30);
    // Details with name and unit split at the last "_"; a blank, the day's sums, two blanks.
    EXPECT_EQ(rowOf(*t, 1), (Row{d1, "깐_마늘", C(2), "kg", C(250), "", C(500), C(0), C(500)}));
    EXPECT_EQ(rowOf(*t, 2), Row(9));
    expectSummary(*t, 3, {500, 1000, 1500}, {0, 100, 0}, {500, 1100, 1600});
    EXPECT_EQ(t->Cell(8, 0).toDate(), d2);
    expectSummary(*t, 10, {0, 2000, 2000}, {0, 200, 0}, {0, 2200, 2200});
    EXPECT_EQ(t->Cell(15, 1).toString(), "무");  // d1 again: a block of its own
    expectSummary(*t, 17, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    // Period sums, two blanks, products in key order with the average price Int(supply / quantity).
    expectSummary(*t, 22, {500, 3000, 3500}, {0, 300, 0}, {500, 3300, 3800});
    EXPECT_EQ(rowOf(*t, 26), Row(9));
    EXPECT_EQ(rowOf(*t, 27), (Row{{}, "깐_마늘", C(2), "kg", C(250), {}, C(500), C(0), C(500)}));
    EXPECT_EQ(rowOf(*t, 28), (Row{{}, "무", C(0), "", C(0), {}, C(0), C(0), C(0)}));  // quantity 0: no division
    EXPECT_EQ(rowOf(*t, 29), (Row{{}, "사과", C(3), "상자", C(1000), {}, C(3000), C(300), C(3300)}));
    EXPECT_TRUE(t->Cell(29, 0).isEmpty() && t->Cell(29, 5).isEmpty());

    // Text that is no number counts 0 rather than failing the report; empty cells show blank.
    const TableRef x = mdlNy::BuildPurchaseHistory(*table(8, {{d1, "배", C(3), C(1), "/", "x", C(1), C(1000)},
                                                              {d1, "배", {}, C(0), "/", C(1000), {}, {}}}));
    expectSummary(*x, 3, {0, 1000, 1000}, {0, 1, 0}, {0, 1000, 1000});
    EXPECT_EQ(x->Cell(0, 6).toCurrency(), C(0));
    EXPECT_TRUE(x->Cell(1, 2).isEmpty() && x->Cell(1, 7).isEmpty() && x->Cell(1, 8).isEmpty());
    // Int of the exact quotient, toward minus infinity.
    for (const auto& [a, b, q] : std::vector<std::tuple<double, double, double>>{
             {1000, 3, 333}, {10000499, 20001, 499}, {-1000, 3, -334}, {1, 0.0001, 10000}, {-6, -3, 2}})
        EXPECT_EQ(mdlNy::ExactIntQuotient(C(a), C(b)), C(q)) << a << "/" << b;

    // Tax totals keyed by date, with the computed split.
    const TableRef tt = mdlNy::BuildTaxTotals(*table(8, {{d2, "배_개", C(1), C(500), "/", C(455), C(45), C(500)},
                                                        {d1, "감_개", C(1), C(500), "/", C(455), C(45), C(500)},
                                                        {d2, "대파_단", C(1), C(300), "", C(300), C(0), C(300)},
                                                        {d1, "무", C(1), C(99), "x", C(99), C(0), C(99)}}));
    // Date, all, tax-free, taxable, supply, tax; the taxable 1000 split as a whole: 909 and 91.
    ASSERT_EQ(tt->RecCount(), 6);
    EXPECT_EQ(rowOf(*tt, 0), (Row{d1, C(599), C(99), C(500), C(455), C(45)}));
    EXPECT_EQ(rowOf(*tt, 1), (Row{d2, C(800), C(300), C(500), C(455), C(45)}));
    EXPECT_EQ(rowOf(*tt, 2), Row(6));
    EXPECT_EQ(rowOf(*tt, 3), (Row{{}, {}, {}, {}, C(910), C(90)}));
    EXPECT_EQ(rowOf(*tt, 4), (Row{{}, {}, {}, {}, C(-1), C(1)}));
    EXPECT_EQ(rowOf(*tt, 5), (Row{{}, C(1399), C(399), C(1000), C(909), C(91)}));
    EXPECT_EQ(mdlNy::BuildTaxTotals(clsTable())->RecCount(), 4);
}

TEST(OrderCheck, LinesTotalsMessageAndStatus) {
    OrdersLoad stored;
    stored.table = table(8, {{"깐_마늘_kg", C(2), C(9000), "", C(18000), C(0), C(18000), "급함"},
                             {"", {}, {}, {}, {}, {}, {}, "첫 메시지"},
                             {"사과_상자", C(1), C(1000), "/", C(909), C(91), C(1000), ""},
                             {"", {}, {}, {}, {}, {}, {}, "문앞에"}});
    stored.received = true;
    Report r = mdlOrder::BuildOrderCheck(stored, DateSerial(2030, 4, 5), "shop", "farm");
    ASSERT_EQ(r.table->RecCount(), 4);
    EXPECT_EQ(rowOf(*r.table, 0), (Row{"깐_마늘", C(2), "kg", C(9000), "", C(18000), C(0), C(18000), "급함"}));
    EXPECT_EQ(rowOf(*r.table, 1), (Row{"사과", C(1), "상자", C(1000), "/", C(909), C(91), C(1000), ""}));
    EXPECT_EQ(rowOf(*r.table, 2), Row(9));
    EXPECT_EQ(rowOf(*r.table, 3), (Row{{}, {}, {}, {}, {}, C(18909), C(91), C(19000), {}}));
    EXPECT_EQ(r.etc, "문앞에");  // the last message wins
    EXPECT_EQ(r.descr.toArray().items, (std::vector<Variant>{"날짜:", DateSerial(2030, 4, 5), "발주처:", "shop",
                                                             "수주처:", "farm", "수주완료"}));

    r = mdlOrder::BuildOrderCheck(OrdersLoad{}, DateSerial(2030, 4, 5), "shop", "farm");  // no lines
    EXPECT_EQ(r.table->RecCount(), 2);
    EXPECT_TRUE(r.descr.toArray().items[6].toString() == "미수주" && r.etc.isEmpty());
}

TEST_F(LoggedIn, SelectionRoundTripToTheOrderSheetAndReportsFromDeliveries) {
    auto displayList = [&] {
        const LoadResult l = mdlLoad::LoadDisplayItems(link, "farm", "shop");
        EXPECT_TRUE(l.problem.isEmpty());
        QStringList keys;
        for (int i = 0; i < l.table->RecCount(); ++i) keys << l.table->Cell(i, 0).toString();
        return keys;
    };
    auto sheetRows = [&] {
        return mdlOrder::BuildOrderSheet(link, DateSerial(2031, 1, 1), "shop", "A", "farm").sheet.table->RecCount();
    };
    // The name holding "_" and the product without a unit marked and saved; then, with the marks from
    // the server, both unmarked but cancelled (nothing sent), and unmarked and saved.
    int seen = 0;
    auto select = [&seen](QWidget* window) {
        auto* w = qobject_cast<tavrin::frmSelectA*>(window);
        ASSERT_TRUE(w);
        tessel::ab* g = w->ab1();
        const int n = seen++;
        EXPECT_EQ(w->windowTitle(), "발주품목선택");
        ASSERT_EQ(g->value()->RecCount(), 5);
        EXPECT_EQ(QStringList({g->Cell(3, 1).toString(), g->Cell(3, 2).toString()}), QStringList({"깐_마늘", "kg"}));
        for (int i = 0; i < 5; ++i) EXPECT_EQ(g->Cell(i, 0).toBool(), n > 0 && i >= 3) << n << i;
        g->setCell(3, 0, n == 0);
        g->setCell(4, 0, n == 0);
        (n == 1 ? w->cmdCancel() : w->cmdOK())->click();
    };
    for (int i = 0; i < 3; ++i) boxes.onNextModal(select);
    EXPECT_EQ(press(boxes, m->Command3), QStringList{"발주 품목을 저장했습니다."});
    EXPECT_EQ(displayList(), QStringList({"깐_마늘_kg", "양파"}));
    EXPECT_EQ(sheetRows(), 2);
    EXPECT_TRUE(press(boxes, m->Command3, 0).isEmpty());  // cancelled: nothing said
    WAIT_FOR(seen == 2 && QApplication::activeModalWidget() == nullptr);
    EXPECT_EQ(displayList().size(), 2);
    EXPECT_EQ(press(boxes, m->Command3), QStringList{"발주 품목을 저장했습니다."});
    EXPECT_TRUE(displayList().isEmpty());
    EXPECT_EQ(sheetRows(), 5);  // an empty display list offers every product again

    // Purchase history and tax totals of orders made of sheet rows (name, unit, quantity, price, flag), delivered.
    auto deliver = [&](Date d, std::vector<std::vector<Variant>> rows) {
        for (auto& r : rows) r.resize(sheet::NOF);
        const QString body = OrdersUpdateBody(link.web(), d, "shop", "farm", link.stamp(),
                                              CollectOrderLines(*table(sheet::NOF, rows), {}));
        EXPECT_TRUE(link.post(path::OrdersUpdate, body).text.contains("<success>1"));
        const QString day = ostrel::fncDate().DtoG(d);
        EXPECT_EQ(admin({"orders", "accept", "farm", "shop", day}) + admin({"deliver", "farm", "shop", day}), 0);
    };
    const Date d1 = DateSerial(2031, 3, 1), d2 = DateSerial(2031, 3, 2);
    deliver(d1, {{"사과", "상자", C(1), C(1000), "+"}, {"대파", "단", C(1), C(500)}, {"배", "개", C(1), C(500), "/"}});
    deliver(d2, {{"사과", "상자", C(2), C(1100), "+"}, {"배", "개", C(1), C(500), "/"}});

    answerDates(boxes, d1, d2);
    tavrin::frmOuthand* v = openViewer(m->Command4, "구매내역");
    ASSERT_TRUE(v);
    const TableRef t = v->value();
    ASSERT_EQ(t->RecCount(), 25);
    expectSummary(*t, 17, {500, 4110, 4610}, {0, 410, 0}, {500, 4520, 5020});
    EXPECT_EQ(QStringList({t->Cell(24, 1).toString(), t->Cell(24, 3).toString()}), QStringList({"사과", "상자"}));
    EXPECT_EQ(t->Cell(24, 4).toCurrency(), C(1066));  // Int(3200 / 3)
    EXPECT_TRUE(v->Text2()->text().isEmpty());
    EXPECT_EQ(v->Text1()->text(), "기간:  31/03/01  ~  31/03/02");  // dates through DtoC

    // Tax totals: the taxable 4,520 split as a whole, 4,109 and 411, one off the per-line sums.
    answerDates(boxes, d1, d2);
    ASSERT_TRUE(v = openViewer(m->Command5, "세액의 날짜별 합계"));
    const TableRef x = v->value();
    ASSERT_EQ(x->RecCount(), 6);
    EXPECT_EQ(rowOf(*x, 5), (Row{{}, C(5020), C(500), C(4520), C(4109), C(411)}));
}

TEST(ItemSelection, RefusedSaveOffersTheMarksAgainATaglessReplySavesAndNullMarksAreNone) {
    ScriptedPeer peer;
    peer.on(path::UnitPricesSelect, {200, corvane::fncXML().JarrayToTag(*table(1, {{"사과_상자"}, {"양파"}})).toStdString()});
    peer.on(path::DisplaySelect, {200, "<success>1</success>"});
    peer.on(path::DisplayUpdate, {200, "<success>0</success><failmsg>저장 실패</failmsg>"});
    ServerLink link(peer.url());
    frmMain m(link, {});
    m.setLoginValues("shop", "A", "farm");
    ModalDriver boxes;
    boxes.onNextModal([](QWidget* w) {
        qobject_cast<tavrin::frmSelectA*>(w)->ab1()->setCell(1, 0, true);
        qobject_cast<tavrin::frmSelectA*>(w)->cmdOK()->click();
    });
    boxes.onNextModal([&peer](QWidget* window) {  // the marks of the refused save are offered again
        auto* w = qobject_cast<tavrin::frmSelectA*>(window);
        EXPECT_TRUE(w->ab1()->Cell(1, 0).toBool() && !w->ab1()->Cell(0, 0).toBool());
        peer.on(path::DisplayUpdate, {200, "OK"});  // a peer that answers no success tag
        w->cmdOK()->click();
    });
    m.Command3->click();
    EXPECT_EQ(boxes.messages,
              QStringList({"저장 실패\n선택한 내용을 다시 보여 드립니다.", "발주 품목을 저장했습니다."}));
    EXPECT_EQ(peer.received(path::DisplayUpdate),
              std::vector<std::string>(2, "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=%BE%E7%C6%C4"));

    // Null and empty marks are no marks; keys match whole.
    const TableRef sel = table(3, {{true, "사과", "상자"}, {Variant::null(), "깐_마늘", "kg"}, {Variant(), "양파", ""}});
    EXPECT_EQ(mdlPdSelect::DisplayUpdateBody(link.web(), "shop", "farm", *sel),
              "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=%BB%E7%B0%FA%5F%BB%F3%C0%DA");
    const TableRef display = table(1, {{"없는_품목"}});
    EXPECT_TRUE(mdlPdSelect::ContainsKey(*display, "없는_품목") && !mdlPdSelect::ContainsKey(*display, "없는"));
}
