// Item selection, order check and the delivery reports: the tables on their own, and the round
// trips from the main window's buttons against the real order server.
#include "WaitFor.h"
#include "TestSupport.h"

#include "vendra/OrderServer.h"
#include "vendra/Reports.h"
#include "vendra/Requests.h"
#include "vendra/frmIDandPassword.h"
#include "vendra/frmMain.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"
#include "vendra/mdlPdSelect.h"

#include "keplin/panBase.h"
#include "ostrel/DateTime.h"
#include "ostrel/fncDate.h"
#include "vendra/order/Vat.h"
#include "tavrin/frmOuthand.h"
#include "tavrin/frmSelectA.h"
#include "tessel/ab.h"
#include "tessel/button.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vendra;
using namespace testsupport;
using ostrel::clsTable;
using ostrel::Currency;
using ostrel::Date;
using ostrel::DateSerial;
using ostrel::TableRef;
using ostrel::Variant;


namespace {
Currency C(double v) { return Currency::fromDouble(v); }

// Deliveries table: date, key, quantity, price, flag, supply, tax, amount.
TableRef deliveries(const std::vector<std::vector<Variant>>& rows) {
    auto t = std::make_shared<clsTable>();
    t->setNOF(8);
    for (const auto& r : rows) t->AppendRec(Variant::array(r));
    return t;
}

std::vector<Variant> line(Date d, const char* key, double q, double price, const char* flag, double gg, double gv,
                          double gt) {
    return {d, QString::fromUtf8(key), C(q), C(price), QString::fromUtf8(flag), C(gg), C(gv), C(gt)};
}

QString label(const clsTable& t, int i) { return t.Cell(i, 3).toString(); }
Currency cur(const clsTable& t, int i, int j) { return t.Cell(i, j).isEmpty() ? Currency() : t.Cell(i, j).toCurrency(); }

// Rows of the three summary labels starting at `i`: fields 6, 7, 8 of each.
void expectSummary(const clsTable& t, int i, std::vector<double> f6, std::vector<double> f7, std::vector<double> f8) {
    const char* labels[] = {"면세", "과세", "합계"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(label(t, i + k), QString::fromUtf8(labels[k]));
        EXPECT_EQ(cur(t, i + k, 6), C(f6[k]));
        EXPECT_EQ(cur(t, i + k, 7), C(f7[k]));
        EXPECT_EQ(cur(t, i + k, 8), C(f8[k]));
    }
    EXPECT_TRUE(t.Cell(i + 0, 7).isEmpty());  // no tax on the tax-free row
    EXPECT_TRUE(t.Cell(i + 2, 7).isEmpty());
}
}  // namespace

TEST(PurchaseHistory, DailyBlocksPeriodSumsAndProductRows) {
    const Date d1 = DateSerial(2030, 3, 1), d2 = DateSerial(2030, 3, 2);
    // Not grouped by date: d1, d2, d1 gives three daily blocks.
    const TableRef t = mdlNy::BuildPurchaseHistory(*deliveries({
        line(d1, "사과_상자", 1, 1000, "+", 1000, 100, 1100),
        line(d1, "깐_마늘_kg", 2, 250, "", 500, 0, 500),
        line(d2, "사과_상자", 2, 1100, "/", 2000, 200, 2200),
        line(d1, "무", 0, 0, "", 0, 0, 0),
    }));
    // Detail, name and unit split at the last "_".
    EXPECT_EQ(t->Cell(1, 1).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(t->Cell(1, 3).toString(), QStringLiteral("kg"));
    EXPECT_EQ(t->Cell(0, 0).toDate(), d1);
    EXPECT_EQ(t->Cell(0, 5).toString(), QStringLiteral("+"));
    // First date: blank, 면세 500/500, 과세 1000/100/1100, 합계 1500 and 1600, two blanks.
    EXPECT_TRUE(t->Cell(2, 1).isEmpty() && t->Cell(2, 3).isEmpty() && t->Cell(2, 8).isEmpty());
    expectSummary(*t, 3, {500, 1000, 1500}, {0, 100, 0}, {500, 1100, 1600});
    EXPECT_EQ(t->Cell(8, 0).toDate(), d2);
    expectSummary(*t, 10, {0, 2000, 2000}, {0, 200, 0}, {0, 2200, 2200});
    EXPECT_EQ(t->Cell(15, 1).toString(), QStringLiteral("무"));  // d1 again: a block of its own
    expectSummary(*t, 17, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    // Period sums, two blanks, products in key order.
    expectSummary(*t, 22, {500, 3000, 3500}, {0, 300, 0}, {500, 3300, 3800});
    ASSERT_EQ(t->RecCount(), 27 + 3);
    EXPECT_TRUE(t->Cell(25, 1).isEmpty() && t->Cell(26, 1).isEmpty());
    EXPECT_EQ(t->Cell(27, 1).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(t->Cell(27, 4).toCurrency(), C(250));
    EXPECT_EQ(t->Cell(28, 1).toString(), QStringLiteral("무"));
    EXPECT_EQ(t->Cell(28, 3).toString(), QString());
    EXPECT_EQ(t->Cell(28, 4).toCurrency(), C(0));  // quantity sum 0: no division
    EXPECT_EQ(t->Cell(29, 1).toString(), QStringLiteral("사과"));
    EXPECT_EQ(t->Cell(29, 2).toCurrency(), C(3));
    EXPECT_EQ(t->Cell(29, 4).toCurrency(), C(1000));  // Int(3000 / 3)
    EXPECT_EQ(t->Cell(29, 8).toCurrency(), C(3300));
    EXPECT_TRUE(t->Cell(29, 0).isEmpty() && t->Cell(29, 5).isEmpty());
}

TEST(PurchaseHistory, NoDeliveriesAndUnreadableCells) {
    const TableRef empty = mdlNy::BuildPurchaseHistory(*deliveries({}));
    ASSERT_EQ(empty->RecCount(), 5);
    expectSummary(*empty, 0, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    // A list without fields (no server) reads the same way.
    clsTable none;
    EXPECT_EQ(mdlNy::BuildPurchaseHistory(none)->RecCount(), 5);
    // Text that is no number counts 0 rather than failing the report; averages floor.
    const TableRef t = mdlNy::BuildPurchaseHistory(*deliveries({
        {DateSerial(2030, 1, 1), QStringLiteral("배"), C(3), C(1), QStringLiteral("/"), QStringLiteral("x"), C(1), C(1000)},
        line(DateSerial(2030, 1, 1), "배", 0, 0, "/", 1000, 0, 0),
    }));
    expectSummary(*t, 3, {0, 1000, 1000}, {0, 1, 0}, {0, 1000, 1000});
    EXPECT_EQ(t->Cell(t->RecCount() - 1, 4).toCurrency(), C(333));
}

TEST(TaxTotals, KeyedByDateWithTheComputedSplit) {
    const Date d1 = DateSerial(2030, 3, 1), d2 = DateSerial(2030, 3, 2);
    const TableRef t = mdlNy::BuildTaxTotals(*deliveries({
        line(d2, "배_개", 1, 500, "/", 455, 45, 500),
        line(d1, "감_개", 1, 500, "/", 455, 45, 500),
        line(d2, "대파_단", 1, 300, "", 300, 0, 300),
        line(d1, "무", 1, 99, "x", 99, 0, 99),
    }));
    ASSERT_EQ(t->RecCount(), 6);
    EXPECT_EQ(t->Cell(0, 0).toDate(), d1);
    EXPECT_EQ(t->Cell(1, 0).toDate(), d2);
    const std::vector<std::vector<double>> want = {
        {599, 99, 500, 455, 45}, {800, 300, 500, 455, 45},
    };
    for (int i = 0; i < 2; ++i)
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(cur(*t, i, j), C(want[i][j - 1])) << i << "," << j;
    EXPECT_TRUE(t->Cell(2, 4).isEmpty());
    EXPECT_EQ(cur(*t, 3, 4), C(910));
    EXPECT_EQ(cur(*t, 3, 5), C(90));
    // Taxable 1000 split as a whole: 909 and 91, one off the per-line sums each way.
    EXPECT_EQ(cur(*t, 4, 4), C(-1));
    EXPECT_EQ(cur(*t, 4, 5), C(1));
    const std::vector<double> last = {1399, 399, 1000, 909, 91};
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(cur(*t, 5, j), C(last[j - 1])) << j;

    const TableRef none = mdlNy::BuildTaxTotals(*deliveries({}));
    ASSERT_EQ(none->RecCount(), 4);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(cur(*none, i, 4), C(0));
}

TEST(OrderCheck, LinesTotalsMessageAndStatus) {
    OrdersLoad stored;
    stored.table = std::make_shared<clsTable>();
    stored.table->setNOF(8);
    stored.table->AppendRec(Variant::array({QStringLiteral("깐_마늘_kg"), C(2), C(9000), QString(), C(18000), C(0), C(18000), QStringLiteral("급함")}));
    stored.table->AppendRec(Variant::array({QString(), Variant(), Variant(), Variant(), Variant(), Variant(), Variant(), QStringLiteral("첫 메시지")}));
    stored.table->AppendRec(Variant::array({QStringLiteral("사과_상자"), C(1), C(1000), QStringLiteral("/"), C(909), C(91), C(1000), QString()}));
    stored.table->AppendRec(Variant::array({QString(), Variant(), Variant(), Variant(), Variant(), Variant(), Variant(), QStringLiteral("문앞에")}));
    stored.received = true;
    Report r = mdlOrder::BuildOrderCheck(stored, DateSerial(2030, 4, 5), QStringLiteral("shop"), QStringLiteral("farm"));
    ASSERT_EQ(r.table->RecCount(), 4);
    EXPECT_EQ(r.table->Cell(0, 0).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(r.table->Cell(0, 2).toString(), QStringLiteral("kg"));
    EXPECT_EQ(r.table->Cell(0, 8).toString(), QStringLiteral("급함"));
    EXPECT_EQ(r.table->Cell(1, 4).toString(), QStringLiteral("/"));
    EXPECT_TRUE(r.table->Cell(2, 0).isEmpty() && r.table->Cell(2, 5).isEmpty());
    EXPECT_EQ(r.table->Cell(3, 5).toCurrency(), C(18909));
    EXPECT_EQ(r.table->Cell(3, 6).toCurrency(), C(91));
    EXPECT_EQ(r.table->Cell(3, 7).toCurrency(), C(19000));
    EXPECT_TRUE(r.table->Cell(3, 0).isEmpty());
    EXPECT_EQ(r.etc, QStringLiteral("문앞에"));  // the last message wins
    const auto& d = r.descr.toArray().items;
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[1], Variant(DateSerial(2030, 4, 5)));
    EXPECT_EQ(d[3].toString(), QStringLiteral("shop"));
    EXPECT_EQ(d[6].toString(), QStringLiteral("수주완료"));
    EXPECT_EQ(r.subject, QStringLiteral("발주내역"));

    OrdersLoad nothing;  // no server: no table at all
    r = mdlOrder::BuildOrderCheck(nothing, DateSerial(2030, 4, 5), QStringLiteral("shop"), QStringLiteral("farm"));
    ASSERT_EQ(r.table->RecCount(), 2);
    EXPECT_EQ(r.table->Cell(1, 7).toCurrency(), C(0));
    EXPECT_EQ(r.descr.toArray().items[6].toString(), QStringLiteral("미수주"));
    EXPECT_TRUE(r.etc.isEmpty());
}

TEST(ItemSelection, TableFromPricesAndTheExactBody) {
    clsTable prices, display;
    prices.setNOF(3);
    display.setNOF(1);
    for (const char* k : {"사과_상자", "깐_마늘_kg", "양파"}) prices.AppendRec(Variant::array({QString::fromUtf8(k), C(1), QString()}));
    display.AppendRec(Variant::array({QStringLiteral("양파")}));
    display.AppendRec(Variant::array({QStringLiteral("없는_품목")}));
    const TableRef sel = mdlPdSelect::BuildSelectionTable(prices, display);
    ASSERT_EQ(sel->RecCount(), 3);
    EXPECT_EQ(sel->NOF(), 3);
    EXPECT_FALSE(sel->Cell(0, 0).toBool());
    EXPECT_EQ(sel->Cell(1, 1).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(sel->Cell(1, 2).toString(), QStringLiteral("kg"));
    EXPECT_TRUE(sel->Cell(2, 0).toBool());
    EXPECT_EQ(sel->Cell(2, 2).toString(), QString());
    EXPECT_TRUE(mdlPdSelect::ContainsKey(display, QStringLiteral("없는_품목")));
    EXPECT_FALSE(mdlPdSelect::ContainsKey(display, QStringLiteral("없는")));

    corvane::fncGetAndPost g;
    sel->setCell(0, 0, true);
    sel->setCell(1, 0, Variant::null());  // null and empty marks are no marks
    EXPECT_EQ(mdlPdSelect::DisplayUpdateBody(g, QStringLiteral("shop"), QStringLiteral("farm"), *sel),
              QStringLiteral("OrdererCI=shop&ReceiverCI=farm&RecCount=2&Product_0=%BB%E7%B0%FA%5F%BB%F3%C0%DA"
                             "&Product_1=%BE%E7%C6%C4"));
    sel->setCell(0, 0, false);
    sel->setCell(2, 0, Variant());
    EXPECT_EQ(mdlPdSelect::DisplayUpdateBody(g, QStringLiteral("shop"), QStringLiteral("farm"), *sel),
              QStringLiteral("OrdererCI=shop&ReceiverCI=farm&RecCount=0"));
}

// ---- against the order server ----

namespace {
std::unique_ptr<frmMain> logIn(OrderServer& srv) {
    auto m = std::make_unique<frmMain>(srv, QStringList{QStringLiteral("shop"), QStringLiteral("farm")});
    whenModal([](QWidget* w) {
        auto* login = qobject_cast<frmIDandPassword*>(w);
        if (!login) return;
        login->Text3->setText(QStringLiteral("pw1234"));
        QTest::keyClick(login->Text2, Qt::Key_Return);
    });
    if (!m->Load()) return nullptr;
    m->show();
    return m;
}

// Runs `act` on each selection window as it comes up, with its 0-based count.
class SelectionWindows {
public:
    explicit SelectionWindows(std::function<void(tavrin::frmSelectA*, int)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            auto* w = qobject_cast<tavrin::frmSelectA*>(QApplication::activeModalWidget());
            if (!w || !w->isVisible() || w->property("seen").toBool()) return;
            w->setProperty("seen", true);
            act(w, seen_++);
        });
        timer_.start(5);
    }
    int seen() const { return seen_; }

private:
    QTimer timer_;
    int seen_ = 0;
};

void answerDate(Date d) {
    whenModal([d](QWidget* w) {
        if (auto* p = qobject_cast<keplin::panInd*>(w)) {
            p->setdDate(d);
            QTest::keyClick(p->button1(), Qt::Key_Return);
        }
    });
}

void answerPeriod(Date a, Date b) {
    whenModal([a, b](QWidget* w) {
        if (auto* p = qobject_cast<keplin::panIn2ds*>(w)) {
            p->setdDate1(a);
            p->setdDate2(b);
            QTest::keyClick(p->button1(), Qt::Key_Return);
        }
    });
}

tavrin::frmOuthand* viewerTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<tavrin::frmOuthand*>(w); v && v->isVisible() && v->windowTitle() == title) return v;
    return nullptr;
}

void closeViewers() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<tavrin::frmOuthand*>(w)) v->close();
}

OrderLine orderLine(const char* key, double q, double price, const char* vat) {
    OrderLine l;
    l.product = QString::fromUtf8(key);
    l.quantity = C(q);
    l.dg = C(price);
    l.vat = QString::fromUtf8(vat);
    const VatSplit p = SplitVat(l.vat, LineAmount(l.quantity, l.dg));
    l.gg = p.supply;
    l.gv = p.tax;
    l.gt = p.total;
    return l;
}

class Reports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new TestServer;
        server_->seedBasic();
        server_->prices(QStringLiteral("name,unit,grade,price,vat\n"
                                       "사과,상자,A,1000,+\n"
                                       "대파,단,A,500,\n"
                                       "배,개,A,500,/\n"
                                       "깐_마늘,kg,A,9000,\n"
                                       "양파,,A,300,\n"));
        started_ = server_->start();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(started_) << "order server did not start"; }
    void TearDown() override { closeViewers(); }

    // Stores an order for `d` through the logged-in client, then has it accepted and delivered.
    static void deliver(OrderServer& srv, Date d, const std::vector<OrderLine>& lines, bool andDeliver = true) {
        QString reply;
        ASSERT_TRUE(srv.web().SendPost(srv.url(path::OrdersUpdate),
                                       OrdersUpdateBody(srv.web(), d, QStringLiteral("shop"), QStringLiteral("farm"),
                                                        srv.stamp(), lines),
                                       reply));
        ASSERT_TRUE(reply.contains(QStringLiteral("<success>1</success>"))) << reply.toStdString();
        const QString day = ostrel::fncDate().DtoG(d);
        ASSERT_EQ(server_->admin({QStringLiteral("orders"), QStringLiteral("accept"), QStringLiteral("farm"),
                                  QStringLiteral("shop"), day}),
                  0);
        if (andDeliver) {
            ASSERT_EQ(server_->admin({QStringLiteral("deliver"), QStringLiteral("farm"), QStringLiteral("shop"), day}), 0);
        }
    }

    static TestServer* server_;
    static bool started_;
};
TestServer* Reports::server_ = nullptr;
bool Reports::started_ = false;
}  // namespace

TEST_F(Reports, SelectionRoundTripToTheOrderSheet) {
    OrderServer srv(server_->url());
    auto m = logIn(srv);
    ASSERT_TRUE(m);
    MessageBoxes boxes;
    // Mark the name holding "_" and the product without a unit.
    {
        SelectionWindows first([](tavrin::frmSelectA* w, int) {
            EXPECT_EQ(w->windowTitle(), QStringLiteral("발주품목선택"));
            EXPECT_EQ(w->fontsize(), 12.0f);
            tessel::ab* g = w->ab1();
            EXPECT_EQ(g->value()->RecCount(), 5);
            EXPECT_EQ(g->Cell(3, 1).toString(), QStringLiteral("깐_마늘"));
            EXPECT_EQ(g->Cell(3, 2).toString(), QStringLiteral("kg"));
            for (int i = 0; i < 5; ++i) EXPECT_FALSE(g->Cell(i, 0).toBool());
            g->setCell(3, 0, true);
            g->setCell(4, 0, true);
            w->cmdOK()->click();
        });
        m->Command3->click();
        WAIT_FOR(boxes.count() == 1);
        EXPECT_EQ(boxes.texts()[0], QStringLiteral("발주 품목을 저장했습니다."));
    }
    LoadResult shown = mdlLoad::LoadDisplayItems(srv, QStringLiteral("farm"), QStringLiteral("shop"));
    ASSERT_EQ(shown.table->RecCount(), 2);
    EXPECT_EQ(shown.table->Cell(0, 0).toString(), QStringLiteral("깐_마늘_kg"));
    EXPECT_EQ(shown.table->Cell(1, 0).toString(), QStringLiteral("양파"));
    mdlOrder::SheetLoad sheet = mdlOrder::BuildOrderSheet(srv, DateSerial(2031, 1, 1), QStringLiteral("shop"),
                                                          QStringLiteral("A"), QStringLiteral("farm"));
    EXPECT_EQ(sheet.sheet.table->RecCount(), 2);

    // Opened again: the marks come from the server; a change cancelled is not sent.
    boxes.clear();
    SelectionWindows second([](tavrin::frmSelectA* w, int) {
        EXPECT_TRUE(w->ab1()->Cell(3, 0).toBool());
        EXPECT_TRUE(w->ab1()->Cell(4, 0).toBool());
        EXPECT_FALSE(w->ab1()->Cell(0, 0).toBool());
        w->ab1()->setCell(3, 0, false);
        w->cmdCancel()->click();
    });
    m->Command3->click();
    WAIT_FOR(second.seen() == 1);
    WAIT_FOR(QApplication::activeModalWidget() == nullptr);
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_EQ(mdlLoad::LoadDisplayItems(srv, QStringLiteral("farm"), QStringLiteral("shop")).table->RecCount(), 2);
}

TEST_F(Reports, UnmarkAllClearsTheDisplayList) {
    OrderServer srv(server_->url());
    auto m = logIn(srv);
    ASSERT_TRUE(m);
    QString reply;
    srv.web().SendPost(srv.url(path::DisplayUpdate), QStringLiteral("OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=%BE%E7%C6%C4"), reply);
    ASSERT_EQ(mdlLoad::LoadDisplayItems(srv, QStringLiteral("farm"), QStringLiteral("shop")).table->RecCount(), 1);
    MessageBoxes boxes;
    SelectionWindows sel([](tavrin::frmSelectA* w, int) {
        for (int i = 0; i < w->ab1()->value()->RecCount(); ++i) w->ab1()->setCell(i, 0, false);
        w->cmdOK()->click();
    });
    m->Command3->click();
    WAIT_FOR(boxes.count() == 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("발주 품목을 저장했습니다."));
    const LoadResult shown = mdlLoad::LoadDisplayItems(srv, QStringLiteral("farm"), QStringLiteral("shop"));
    EXPECT_TRUE(shown.answered);
    EXPECT_EQ(shown.table->RecCount(), 0);
    const mdlOrder::SheetLoad sheet = mdlOrder::BuildOrderSheet(srv, DateSerial(2031, 1, 2), QStringLiteral("shop"),
                                                                QStringLiteral("A"), QStringLiteral("farm"));
    EXPECT_EQ(sheet.sheet.table->RecCount(), 5);
}

TEST_F(Reports, OrderCheckWithMessageAndAcceptance) {
    OrderServer srv(server_->url());
    auto m = logIn(srv);
    ASSERT_TRUE(m);
    const Date d = DateSerial(2031, 2, 1);
    OrderLine msg;
    msg.remark = QStringLiteral("문앞에 두세요");
    QString reply;
    ASSERT_TRUE(srv.web().SendPost(srv.url(path::OrdersUpdate),
                                   OrdersUpdateBody(srv.web(), d, QStringLiteral("shop"), QStringLiteral("farm"), srv.stamp(),
                                                    {orderLine("깐_마늘_kg", 2, 9000, ""), msg}),
                                   reply));
    answerDate(d);
    m->Command2->click();
    tavrin::frmOuthand* v = nullptr;
    WAIT_FOR((v = viewerTitled(QStringLiteral("발주내역"))) != nullptr);
    ASSERT_EQ(v->value()->RecCount(), 3);
    EXPECT_EQ(v->value()->Cell(0, 0).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(v->value()->Cell(2, 7).toCurrency(), C(18000));
    EXPECT_EQ(v->Text2()->text(), QStringLiteral("문앞에 두세요"));
    EXPECT_TRUE(v->Text1()->text().contains(QStringLiteral("미수주")));
    v->close();

    // Accepted: the status follows the same reply. A date without an order: blank and zero totals.
    ASSERT_EQ(server_->admin({QStringLiteral("orders"), QStringLiteral("accept"), QStringLiteral("farm"),
                              QStringLiteral("shop"), ostrel::fncDate().DtoG(d)}),
              0);
    answerDate(d);
    m->Command2->click();
    WAIT_FOR((v = viewerTitled(QStringLiteral("발주내역"))) != nullptr);
    EXPECT_TRUE(v->Text1()->text().contains(QStringLiteral("수주완료")));
    v->close();
    answerDate(DateSerial(2031, 2, 2));
    m->Command2->click();
    WAIT_FOR((v = viewerTitled(QStringLiteral("발주내역"))) != nullptr);
    EXPECT_EQ(v->value()->RecCount(), 2);
    EXPECT_TRUE(v->Text2()->text().isEmpty());
}

TEST_F(Reports, PurchaseHistoryAndTaxTotalsFromDeliveries) {
    OrderServer srv(server_->url());
    auto m = logIn(srv);
    ASSERT_TRUE(m);
    const Date d1 = DateSerial(2031, 3, 1), d2 = DateSerial(2031, 3, 2);
    deliver(srv, d1, {orderLine("사과_상자", 1, 1000, "+"), orderLine("대파_단", 1, 500, "")});
    deliver(srv, d2, {orderLine("사과_상자", 2, 1100, "+")});

    answerPeriod(d1, d2);
    m->Command4->click();
    tavrin::frmOuthand* v = nullptr;
    WAIT_FOR((v = viewerTitled(QStringLiteral("구매내역"))) != nullptr);
    const TableRef t = v->value();
    expectSummary(*t, 3, {500, 1000, 1500}, {0, 100, 0}, {500, 1100, 1600});
    expectSummary(*t, 10, {0, 2200, 2200}, {0, 220, 0}, {0, 2420, 2420});
    expectSummary(*t, 15, {500, 3200, 3700}, {0, 320, 0}, {500, 3520, 4020});
    ASSERT_EQ(t->RecCount(), 22);
    EXPECT_EQ(t->Cell(21, 1).toString(), QStringLiteral("사과"));
    EXPECT_EQ(t->Cell(21, 2).toCurrency(), C(3));
    EXPECT_EQ(t->Cell(21, 4).toCurrency(), C(1066));  // Int(3200 / 3)
    EXPECT_TRUE(v->Text2()->text().isEmpty());
    EXPECT_EQ(v->Text1()->text(), QStringLiteral("기간:  31/03/01  ~  31/03/02"));  // dates through DtoC
    v->close();

    // Tax totals of a period whose taxable amounts sum to 1000.
    const Date d3 = DateSerial(2031, 4, 1);
    deliver(srv, d3, {orderLine("배_개", 2, 500, "/")});
    answerPeriod(d3, d3);
    m->Command5->click();
    WAIT_FOR((v = viewerTitled(QStringLiteral("세액의 날짜별 합계"))) != nullptr);
    const TableRef x = v->value();
    ASSERT_EQ(x->RecCount(), 5);
    EXPECT_EQ(x->Cell(4, 3).toCurrency(), C(1000));
    EXPECT_EQ(x->Cell(4, 4).toCurrency(), C(909));
    EXPECT_EQ(x->Cell(4, 5).toCurrency(), C(91));
}

TEST(ReportsOffline, UnreachableServerSaysSoAndSendsNothing) {
    OrderServer srv(QStringLiteral("http://127.0.0.1:%1").arg(closedPort()));
    frmMain m(srv, {});
    m.setLoginValues(QStringLiteral("shop"), QStringLiteral("A"), QStringLiteral("farm"));
    m.show();
    MessageBoxes boxes;
    SelectionWindows never([](tavrin::frmSelectA* w, int) { w->cmdOK()->click(); });
    m.Command3->click();
    WAIT_FOR(boxes.count() == 1);
    EXPECT_TRUE(boxes.texts()[0].contains(QStringLiteral("연결할 수 없습니다"))) << boxes.texts()[0].toStdString();
    EXPECT_EQ(never.seen(), 0);

    answerPeriod(DateSerial(2031, 1, 1), DateSerial(2031, 1, 31));
    m.Command4->click();
    tavrin::frmOuthand* v = nullptr;
    WAIT_FOR((v = viewerTitled(QStringLiteral("구매내역"))) != nullptr);
    EXPECT_EQ(v->value()->RecCount(), 5);
    EXPECT_TRUE(v->Text2()->text().contains(QStringLiteral("연결할 수 없습니다")));
    closeViewers();
}

TEST(ReportsOffline, RefusedSaveOffersTheMarksAgain) {
    ScriptedPeer peer;
    corvane::fncXML xml;
    clsTable prices;
    prices.setNOF(3);
    prices.AppendRec(Variant::array({QStringLiteral("사과_상자"), QStringLiteral("1000"), QStringLiteral("+")}));
    prices.AppendRec(Variant::array({QStringLiteral("양파"), QStringLiteral("300"), QString()}));
    peer.on(path::UnitPricesSelect, {200, (QStringLiteral("<success>1</success>") + xml.JarrayToTag(prices)).toStdString()});
    peer.on(path::DisplaySelect, {200, "<success>1</success>"});
    peer.on(path::DisplayUpdate, {200, QStringLiteral("<success>0</success><failmsg>저장 실패</failmsg>").toUtf8().toStdString()});
    OrderServer srv(peer.url());
    frmMain m(srv, {});
    m.setLoginValues(QStringLiteral("shop"), QStringLiteral("A"), QStringLiteral("farm"));
    MessageBoxes boxes;
    bool markKept = false;
    SelectionWindows sel([&markKept](tavrin::frmSelectA* w, int n) {
        if (n == 0) {
            w->ab1()->setCell(1, 0, true);
            w->cmdOK()->click();
        } else {
            markKept = w->ab1()->Cell(1, 0).toBool() && !w->ab1()->Cell(0, 0).toBool();
            w->cmdCancel()->click();
        }
    });
    m.Command3->click();
    WAIT_FOR(sel.seen() == 2);
    WAIT_FOR(QApplication::activeModalWidget() == nullptr);
    EXPECT_TRUE(markKept);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("저장 실패")));
    const auto sent = peer.received(path::DisplayUpdate);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "OrdererCI=shop&ReceiverCI=farm&RecCount=1&Product_0=%BE%E7%C6%C4");
}
