// The request texts as they go on the wire: field order and encoding.
#include "vendra/Requests.h"

#include "corvane/fncGetAndPost.h"
#include "ostrel/DateTime.h"

#include <gtest/gtest.h>

using namespace vendra;

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
