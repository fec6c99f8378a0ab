#include "vendra/OrderSheet.h"
#include "vendra/ProductKey.h"
#include "vendra/Requests.h"
#include "vendra/VatMath.h"

#include "corvane/fncGetAndPost.h"
#include "ostrel/DateTime.h"

#include <gtest/gtest.h>

using namespace vendra;
using ostrel::Currency;
using ostrel::Variant;

namespace {
Currency C(double v) { return Currency::fromDouble(v); }
}  // namespace

TEST(Vat, SupplyFromGrossMatchesIntegerTenElevenths) {
    // 10a/11 = q + r/11: a remainder of 0 or 1 (the fraction 1/11) is dropped, any other raises q.
    for (int a = 0; a <= 20000; ++a) {
        const int64_t q = (int64_t(a) * 10) / 11, r = (int64_t(a) * 10) % 11;
        const int64_t expected = r <= 1 ? q : q + 1;
        ASSERT_EQ(SupplyFromGross(Currency::fromInt(a)), Currency::fromInt(expected)) << a;
        const VatParts p = SplitVat(QStringLiteral("/"), Currency::fromInt(a));
        ASSERT_EQ(p.Gt, Currency::fromInt(a));
        ASSERT_EQ(p.Gg + p.Gv, p.Gt);
        ASSERT_EQ(p.Gv, Currency::fromInt(a - expected)) << a;
    }
    EXPECT_EQ(SupplyFromGross(C(1002)), C(911));
    EXPECT_EQ(SupplyFromGross(C(1100)), C(1000));
}

TEST(Vat, SplitByFlag) {
    for (int a = 0; a <= 20000; ++a) {
        const VatParts p = SplitVat(QStringLiteral("+"), Currency::fromInt(a));
        ASSERT_EQ(p.Gg, Currency::fromInt(a));
        ASSERT_EQ(p.Gv, Currency::fromInt(a / 10)) << a;
        ASSERT_EQ(p.Gt, Currency::fromInt(a + a / 10));
    }
    VatParts plus = SplitVat(QStringLiteral("+"), C(1234));
    EXPECT_EQ(plus.Gv, C(123));
    EXPECT_EQ(plus.Gt, C(1357));
    VatParts neg = SplitVat(QStringLiteral("+"), C(-1234));
    EXPECT_EQ(neg.Gv, C(-124));  // Int is the floor
    VatParts incl = SplitVat(QStringLiteral("/"), C(1000));
    EXPECT_EQ(incl.Gg, C(909));
    EXPECT_EQ(incl.Gv, C(91));
    for (const QString& flag : {QString(), QStringLiteral("x"), QStringLiteral("++")}) {
        VatParts free = SplitVat(flag, C(500));
        EXPECT_EQ(free.Gg, C(500));
        EXPECT_EQ(free.Gv, Currency());
        EXPECT_EQ(free.Gt, C(500));
    }
    EXPECT_EQ(LineAmount(C(1.5), C(333)), C(499));
    EXPECT_EQ(LineAmount(C(-1.5), C(333)), C(-500));
}

TEST(ProductKeys, SplitAtTheLastUnderscoreAndJoinBack) {
    ProductName p = SplitProductKey(QStringLiteral("깐_마늘_kg"));
    EXPECT_EQ(p.name, QStringLiteral("깐_마늘"));
    EXPECT_EQ(p.unit, QStringLiteral("kg"));
    p = SplitProductKey(QStringLiteral("배추"));
    EXPECT_EQ(p.name, QStringLiteral("배추"));
    EXPECT_TRUE(p.unit.isEmpty());
    p = SplitProductKey(QStringLiteral("무_"));
    EXPECT_EQ(p.name, QStringLiteral("무"));
    EXPECT_TRUE(p.unit.isEmpty());
    EXPECT_EQ(JoinProductKey(QStringLiteral("배추"), QString()), QStringLiteral("배추"));
    EXPECT_EQ(JoinProductKey(QStringLiteral("깐_마늘"), QStringLiteral("kg")), QStringLiteral("깐_마늘_kg"));
}

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
