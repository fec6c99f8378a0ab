#include "vendra/OrderSheet.h"
#include "vendra/Requests.h"

#include "corvane/fncGetAndPost.h"
#include "ostrel/DateTime.h"

#include <gtest/gtest.h>

using namespace vendra;
using ostrel::Currency;
using ostrel::Variant;

namespace {
Currency C(double v) { return Currency::fromDouble(v); }

ostrel::TableRef table(int nof, std::vector<std::vector<Variant>> rows) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(nof);
    for (auto& r : rows) t->AppendRec(Variant::array(r));
    t->MoveFirst();
    return t;
}
}  // namespace

TEST(Requests, QueriesInFieldOrderWithEncodedValues) {
    corvane::fncGetAndPost g;
    const QString stamp = QStringLiteral("2024030509153012");
    EXPECT_EQ(LoginQuery(g, QStringLiteral("ord 1"), QStringLiteral("rcv"), QStringLiteral("p&w=가"), stamp),
              QStringLiteral("OrdererCI=ord%201&ReceiverCI=rcv&PassWord=p%26w%3D%B0%A1&RequestTime=2024030509153012"));
    EXPECT_EQ(NoticeBody(g, QStringLiteral("rcv"), QStringLiteral("*"), stamp),
              QStringLiteral("ReceiverCI=rcv&OrdererDgr=%2A&RequestTime=2024030509153012"));
    EXPECT_EQ(OrdersSelectQuery(g, ostrel::DateSerial(2024, 3, 5), QStringLiteral("o"), QStringLiteral("r"), stamp),
              QStringLiteral("DeliverDate=2024%2D03%2D05&OrdererCI=o&ReceiverCI=r&RequestTime=2024030509153012"));
    EXPECT_EQ(DisplaySelectQuery(g, QStringLiteral("r"), QStringLiteral("o"), stamp),
              QStringLiteral("ReceiverCI=r&OrdererCI=o&RequestTime=2024030509153012"));
    EXPECT_EQ(UnitPricesQuery(g, QStringLiteral("r"), QStringLiteral("A"), stamp),
              QStringLiteral("ReceiverCI=r&dgr=A&RequestTime=2024030509153012"));
    EXPECT_EQ(DeliverSelectQuery(g, ostrel::DateSerial(2024, 3, 1), ostrel::DateSerial(2024, 3, 31),
                                 QStringLiteral("r"), QStringLiteral("o"), stamp),
              QStringLiteral("Date1=2024%2D03%2D01&Date2=2024%2D03%2D31&SellerCI=r&BuyerCI=o&RequestTime=2024030509153012"));
}

TEST(OrderSheetMerge, NarrowsToDisplayListOrFallsBackToAllPrices) {
    auto prices = table(3, {{"배추_포기", C(3000), "+"}, {"무_개", C(1000), "/"}, {"양파", C(500), ""}});
    auto display = table(1, {{"양파"}, {"배추_포기"}, {"없는것_개"}});
    auto items = LoadOrderableItems(*prices, *display);
    ASSERT_EQ(items->NOF(), 3);
    ASSERT_EQ(items->RecCount(), 2);
    EXPECT_EQ(items->Cell(0, 0).toString(), QStringLiteral("배추_포기"));  // price-list order
    EXPECT_EQ(items->Cell(1, 0).toString(), QStringLiteral("양파"));

    auto none = table(1, {{"없는것_개"}});
    EXPECT_EQ(LoadOrderableItems(*prices, *none)->RecCount(), 3);
    ostrel::clsTable emptyDisplay;
    EXPECT_EQ(LoadOrderableItems(*prices, emptyDisplay)->RecCount(), 3);
    ostrel::clsTable emptyPrices;
    EXPECT_EQ(LoadOrderableItems(emptyPrices, *display)->RecCount(), 0);
}

TEST(OrderSheetMerge, StoredOrderAddsQuantitiesAppendsUnknownAndTakesTheMessage) {
    auto items = table(3, {{"배추_포기", C(3000), "+"}, {"사과_상자", C(333), ""}});
    auto stored = table(8, {{"사과_상자", C(1), C(333), "", C(333), C(0), C(333), "첫 비고"},
                            {"", C(0), C(0), "", C(0), C(0), C(0), "옛 메시지"},
                            {"사과_상자", C(0.5), C(333), "", C(0), C(0), C(0), "둘째 비고"},
                            {"감자_kg", C(2), C(900), "+", C(0), C(0), C(0), ""},
                            {"감자_kg", C(3), C(900), "+", C(0), C(0), C(0), "x"},
                            {"", C(0), C(0), "", C(0), C(0), C(0), "새 메시지"}});
    MergedSheet m = MergeOrderSheet(*items, *stored);
    ASSERT_EQ(m.table->NOF(), sheet::NOF);
    ASSERT_EQ(m.table->RecCount(), 3);
    EXPECT_EQ(m.table->Recno(), 0);
    EXPECT_TRUE(m.hasMessage);
    EXPECT_EQ(m.message, QStringLiteral("새 메시지"));
    // Offered row untouched by the stored order.
    EXPECT_EQ(m.table->Cell(0, sheet::Name).toString(), QStringLiteral("배추"));
    EXPECT_EQ(m.table->Cell(0, sheet::Unit).toString(), QStringLiteral("포기"));
    EXPECT_TRUE(m.table->Cell(0, sheet::Quantity).isEmpty());
    EXPECT_EQ(m.table->Cell(0, sheet::Price).toCurrency(), C(3000));
    EXPECT_EQ(m.table->Cell(0, sheet::Vat).toString(), QStringLiteral("+"));
    // Two stored records add into one row; amount = Int(1.5 x 333); the last remark stays.
    EXPECT_EQ(m.table->Cell(1, sheet::Quantity).toCurrency(), C(1.5));
    EXPECT_EQ(m.table->Cell(1, sheet::Amount).toCurrency(), C(499));
    EXPECT_EQ(m.table->Cell(1, sheet::Remark).toString(), QStringLiteral("둘째 비고"));
    // A product no longer offered: its own row, no price, flag or amount, quantities still added.
    EXPECT_EQ(m.table->Cell(2, sheet::Name).toString(), QStringLiteral("감자"));
    EXPECT_EQ(m.table->Cell(2, sheet::Unit).toString(), QStringLiteral("kg"));
    EXPECT_EQ(m.table->Cell(2, sheet::Quantity).toCurrency(), C(5));
    EXPECT_TRUE(m.table->Cell(2, sheet::Price).isEmpty());
    // The second record found the appended row: amount Int(5 x no price) = 0.
    EXPECT_EQ(m.table->Cell(2, sheet::Amount).toCurrency(), Currency());
    EXPECT_EQ(m.table->Cell(2, sheet::Remark).toString(), QStringLiteral("x"));
    EXPECT_EQ(FindProductRow(*m.table, QStringLiteral("감자"), QStringLiteral("kg")), 2);
    EXPECT_EQ(FindProductRow(*m.table, QStringLiteral("감자"), QString()), -1);

    // A stored order of only the message, and an unanswered load (NOF 0).
    MergedSheet onlyMsg = MergeOrderSheet(*items, *table(8, {{"", C(0), C(0), "", C(0), C(0), C(0), "안녕"}}));
    EXPECT_EQ(onlyMsg.table->RecCount(), 2);
    EXPECT_EQ(onlyMsg.message, QStringLiteral("안녕"));
    // One record of a product no longer offered: a row without price, flag or amount.
    MergedSheet gone = MergeOrderSheet(*items, *table(8, {{"파_단", C(3), C(0), "", C(0), C(0), C(0), ""}}));
    ASSERT_EQ(gone.table->RecCount(), 3);
    EXPECT_EQ(gone.table->Cell(2, sheet::Quantity).toCurrency(), C(3));
    EXPECT_TRUE(gone.table->Cell(2, sheet::Price).isEmpty());
    EXPECT_TRUE(gone.table->Cell(2, sheet::Vat).isEmpty());
    EXPECT_TRUE(gone.table->Cell(2, sheet::Amount).isEmpty());
    ostrel::clsTable nothing;
    MergedSheet empty = MergeOrderSheet(nothing, nothing);
    EXPECT_EQ(empty.table->RecCount(), 0);
    EXPECT_FALSE(empty.hasMessage);
}

TEST(OrderUpdate, LinesSkipZeroQuantitiesAndTheBodyIsExact) {
    auto t = table(sheet::NOF, {{"배추", "포기", C(2), C(617), "+", Variant(), "급함"},
                                {"무", "개", Variant(), C(1000), "/", Variant(), ""},
                                {"사과", "상자", C(1), C(1000), "/", Variant(), ""},
                                {"양파", "", C(0), C(500), "", Variant(), ""},
                                {"감자", "kg", C(0.5), Variant(), "", Variant(), ""},
                                {"대파", "단", C(2.5), C(200), "", Variant(), ""}});
    const QString longMsg = QString(200, QChar(u'가'));  // 400 bytes
    std::vector<OrderLine> lines = CollectOrderLines(*t, longMsg);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].product, QStringLiteral("배추_포기"));
    EXPECT_EQ(lines[0].gg, C(1234));
    EXPECT_EQ(lines[0].gv, C(123));
    EXPECT_EQ(lines[0].gt, C(1357));
    EXPECT_EQ(lines[1].product, QStringLiteral("사과_상자"));
    EXPECT_EQ(lines[1].gg, C(909));
    EXPECT_EQ(lines[1].gv, C(91));
    EXPECT_EQ(lines[2].product, QStringLiteral("감자_kg"));  // no price: Dg 0 and amount 0
    EXPECT_EQ(lines[2].dg, Currency());
    EXPECT_EQ(lines[2].gt, Currency());
    EXPECT_EQ(lines[4].product, QString());
    EXPECT_EQ(lines[4].remark, QString(127, QChar(u'가')));  // 255 bytes cut at a character

    corvane::fncGetAndPost g;
    std::vector<OrderLine> two(lines.begin(), lines.begin() + 2);
    OrderLine msg;
    msg.remark = QStringLiteral("a b");
    two.push_back(msg);
    EXPECT_EQ(OrdersUpdateBody(g, ostrel::DateSerial(2024, 3, 5), QStringLiteral("o"), QStringLiteral("r"),
                               QStringLiteral("2024030509153012"), two),
              QStringLiteral("DeliverDate=2024%2D03%2D05&OrdererCI=o&ReceiverCI=r&RecCount=3&RequestTime=2024030509153012"
                             "&Product_0=%B9%E8%C3%DF%5F%C6%F7%B1%E2&Quantity_0=2&Dg_0=617&Vat_0=%2B&Gg_0=1234&Gv_0=123"
                             "&Gt_0=1357&Remark_0=%B1%DE%C7%D4"
                             "&Product_1=%BB%E7%B0%FA%5F%BB%F3%C0%DA&Quantity_1=1&Dg_1=1000&Vat_1=%2F&Gg_1=909"
                             "&Gv_1=91&Gt_1=1000&Remark_1="
                             "&Product_2=&Quantity_2=0&Dg_2=0&Vat_2=&Gg_2=0&Gv_2=0&Gt_2=0&Remark_2=a%20b"));
    OrderLine half;
    half.product = QStringLiteral("x");
    half.quantity = C(1.5);
    half.dg = C(333);
    EXPECT_EQ(OrdersUpdateBody(g, ostrel::DateSerial(2024, 3, 5), QString(), QString(), QString(), {half}),
              QStringLiteral("DeliverDate=2024%2D03%2D05&OrdererCI=&ReceiverCI=&RecCount=1&RequestTime="
                             "&Product_0=x&Quantity_0=1%2E5&Dg_0=333&Vat_0=&Gg_0=0&Gv_0=0&Gt_0=0&Remark_0="));
}
