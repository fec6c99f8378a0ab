// The order sheet on its own: offered items, the stored order merged in, lines sent, request texts.
#include "TestSupport.h"

#include "vendra/OrderSheet.h"
#include "vendra/Requests.h"

#include "corvane/fncGetAndPost.h"

using namespace vendra;
using namespace vendra::test;
using ostrel::Variant;

TEST(OrderSheetMerge, OfferedItemsThenTheStoredOrderMergedIn) {
    auto prices = table(3, {{"배추_포기", C(3000), "+"}, {"무_개", C(1000), "/"}, {"양파", C(500), ""}});
    auto display = table(1, {{"양파"}, {"배추_포기"}, {"없는것_개"}});
    auto items = LoadOrderableItems(*prices, *display);
    ASSERT_EQ(items->NOF(), 3);
    ASSERT_EQ(items->RecCount(), 2);
    EXPECT_EQ(QStringList({items->Cell(0, 0).toString(), items->Cell(1, 0).toString()}),
              QStringList({"배추_포기", "양파"}));  // price-list order
    // A display list naming nothing offered, or none at all, offers every product.
    EXPECT_EQ(LoadOrderableItems(*prices, *table(1, {{"없는것_개"}}))->RecCount(), 3);
    EXPECT_EQ(LoadOrderableItems(*prices, ostrel::clsTable())->RecCount(), 3);
    EXPECT_EQ(LoadOrderableItems(ostrel::clsTable(), *display)->RecCount(), 0);

    // The stored order adds its quantities, appends what is no longer offered, and brings the message.
    items = table(3, {{"배추_포기", C(3000), "+"}, {"사과_상자", C(333), ""}});
    auto stored = table(8, {{"사과_상자", C(1), C(333), "", C(333), C(0), C(333), "첫 비고"},
                            {"", C(0), C(0), "", C(0), C(0), C(0), "옛 메시지"},
                            {"사과_상자", C(0.5), C(333), "", C(0), C(0), C(0), "둘째 비고"},
                            {"감자_kg", C(2), C(900), "+", C(0), C(0), C(0), ""},
                            {"감자_kg", C(3), C(900), "+", C(0), C(0), C(0), "x"},
                            {"파_단", C(3), C(0), "", C(0), C(0), C(0), ""},
                            {"", C(0), C(0), "", C(0), C(0), C(0), "새 메시지"}});
    const MergedSheet m = MergeOrderSheet(*items, *stored);
    ASSERT_EQ(m.table->NOF(), sheet::NOF);
    ASSERT_EQ(m.table->RecCount(), 4);
    EXPECT_TRUE(m.table->Recno() == 0 && m.hasMessage);
    EXPECT_EQ(m.message, QStringLiteral("새 메시지"));
    // Name, unit, quantity, price, flag, amount, remark. Stored records add up with the last remark; a
    // product no longer offered gets a row without price, flag or amount, which the next record finds.
    EXPECT_EQ(rowOf(*m.table, 0), (Row{"배추", "포기", Variant(), C(3000), "+", Variant(), Variant()}));
    EXPECT_EQ(rowOf(*m.table, 1), (Row{"사과", "상자", C(1.5), C(333), "", C(499), "둘째 비고"}));
    EXPECT_EQ(rowOf(*m.table, 2), (Row{"감자", "kg", C(5), Variant(), Variant(), C(0), "x"}));
    for (const auto& [r, f] : std::vector<std::pair<int, int>>{
             {0, sheet::Quantity}, {2, sheet::Price}, {3, sheet::Price}, {3, sheet::Vat}, {3, sheet::Amount}})
        EXPECT_TRUE(m.table->Cell(r, f).isEmpty()) << r << " " << f;  // empty, not 0
    EXPECT_EQ(FindProductRow(*m.table, QStringLiteral("감자"), QStringLiteral("kg")), 2);
    EXPECT_EQ(FindProductRow(*m.table, QStringLiteral("감자"), QString()), -1);

    const MergedSheet none = MergeOrderSheet(ostrel::clsTable(), ostrel::clsTable());  // an unanswered load
    EXPECT_EQ(none.table->RecCount(), 0);
    EXPECT_FALSE(none.hasMessage);
}

TEST(Requests, OrderLinesSkipZeroQuantitiesAndCutTextsAndQueriesKeepFieldOrder) {
    auto t = table(sheet::NOF, {{"배추", "포기", C(2), C(617), "+", Variant(), "급함"},
                                {"무", "개", Variant(), C(1000), "/", Variant(), ""},
                                {"사과", "상자", C(1), C(1000), "/", Variant(), ""},
                                {"양파", "", C(0), C(500), "", Variant(), ""},
                                {"감자", "kg", C(0.5), Variant(), "", Variant(), ""},
                                {"대파", "단", C(2.5), C(200), "", Variant(), ""}});
    const std::vector<OrderLine> lines = CollectOrderLines(*t, QString(200, QChar(u'가')));  // 400 bytes
    ASSERT_EQ(lines.size(), 5u);
    // Product, quantity, unit price, flag, supply, tax, amount, remark; no price counts 0.
    auto row = [](const OrderLine& l) {
        return Row{l.product, l.quantity, l.unitPrice, l.vat, l.supply, l.tax, l.amount, l.remark};
    };
    EXPECT_EQ(row(lines[0]), (Row{"배추_포기", C(2), C(617), "+", C(1234), C(123), C(1357), "급함"}));
    EXPECT_EQ(row(lines[1]), (Row{"사과_상자", C(1), C(1000), "/", C(909), C(91), C(1000), ""}));
    EXPECT_EQ(row(lines[2]), (Row{"감자_kg", C(0.5), C(0), "", C(0), C(0), C(0), ""}));
    EXPECT_EQ(row(lines[3]), (Row{"대파_단", C(2.5), C(200), "", C(500), C(0), C(500), ""}));
    EXPECT_EQ(row(lines[4]), (Row{"", C(0), C(0), "", C(0), C(0), C(0), QString(127, QChar(u'가'))}));  // 255 bytes

    // Request texts: fields in order, values encoded.
    corvane::fncGetAndPost g;
    const QString ts = "2024030509153012";
    const ostrel::Date d1 = ostrel::DateSerial(2024, 3, 1), d5 = ostrel::DateSerial(2024, 3, 5);
    for (const auto& [got, want] : std::vector<std::pair<QString, QString>>{
             {LoginQuery(g, "ord 1", "rcv", "p&w=가", ts), "OrdererCI=ord%201&ReceiverCI=rcv&PassWord=p%26w%3D%B0%A1"},
             {NoticeBody(g, "rcv", "*", ts), "ReceiverCI=rcv&OrdererDgr=%2A"},
             {OrdersSelectQuery(g, d5, "o", "r", ts), "DeliverDate=2024%2D03%2D05&OrdererCI=o&ReceiverCI=r"},
             {DisplaySelectQuery(g, "r", "o", ts), "ReceiverCI=r&OrdererCI=o"},
             {UnitPricesQuery(g, "r", "A", ts), "ReceiverCI=r&dgr=A"},
             {DeliverSelectQuery(g, d1, d5, "r", "o", ts),
              "Date1=2024%2D03%2D01&Date2=2024%2D03%2D05&SellerCI=r&BuyerCI=o"}})
        EXPECT_EQ(got, want + "&RequestTime=" + ts);
}
