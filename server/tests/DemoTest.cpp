// The demo store as the order client meets it: its orderer logs in and gets a sheet to order from.
#include "Demo.h"
#include "ServerFixture.h"

#include <QSet>
#include <sstream>

using namespace vendra;
using namespace vendra::server;
using namespace vendra::server::test;

namespace {

using DemoTest = ServerFixture;

TEST_F(DemoTest, ItsOrdererLogsInAndOrdersFromTheDisplayedPartOfThePriceListForToday) {
    std::ostringstream out;
    SeedDemo(*store, HashStrength::Minimal, out);
    const QString farm = form(field::ReceiverCI, QString::fromLatin1(kDemoReceiver)),
                  shop = form(field::OrdererCI, QString::fromLatin1(kDemoOrderer1));
    const QString reply = login(QString::fromLatin1(kDemoOrderer1), QString::fromLatin1(kDemoPassword1),
                                QString::fromLatin1(kDemoReceiver));
    ASSERT_TRUE(success(reply)) << tag(reply, "failmsg").toStdString();
    const auto prices = xml.TagToJarray(get(path::UnitPricesSelect, {farm, form(field::Dgr, tag(reply, "dgr"))}));
    const auto display = xml.TagToJarray(get(path::DisplaySelect, {farm, shop}));
    ASSERT_TRUE(prices->NOF() == 3 && display->NOF() == 1);
    // The display list names a part of the offered products, each offered: the client narrows to it.
    QSet<QString> offered;
    for (int i = 0; i < prices->RecCount(); ++i) offered.insert(prices->Cell(i, 0).toString());
    EXPECT_TRUE(display->RecCount() > 0 && display->RecCount() < prices->RecCount()) << display->RecCount();
    for (int i = 0; i < display->RecCount(); ++i) EXPECT_TRUE(offered.contains(display->Cell(i, 0).toString())) << i;

    // The accepted order is yesterday's: the morning's order for today is open.
    auto received = [&](int daysFromToday) {
        const QString date = QDate::currentDate().addDays(daysFromToday).toString(Qt::ISODate);
        const QString reply = get(path::OrdersSelect, {form(field::DeliverDate, date), shop, farm});
        return xml.GetTag(reply, u"received", 11).toBool();
    };
    EXPECT_TRUE(received(-1));
    EXPECT_FALSE(received(0));
}

}  // namespace
