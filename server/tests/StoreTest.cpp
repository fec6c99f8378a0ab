#include "ServerRig.h"
#include "SqliteStore.h"

#include <vendra/order/ProductKey.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>

using namespace vendra::server;
using vendra::JoinProductKey;
using vendra::server::test::cur;
using vendra::server::test::TempStoreDir;

namespace {

OrderLine line(const QString& product, double q, const QString& remark = {}) {
    return OrderLine{product, cur(q), cur(1000), QStringLiteral("+"), cur(1000 * q), cur(100 * q), cur(1100 * q), remark};
}

class StoreTest : public ::testing::Test {
protected:
    TempStoreDir dir;
    std::unique_ptr<SqliteStore> store = std::make_unique<SqliteStore>(dir.path());
    const OrderKey key{QStringLiteral("farm"), QStringLiteral("shop"), QStringLiteral("2024-03-05")};

    void SetUp() override { store->addReceiver(QStringLiteral("farm"), QStringLiteral("농장")); }
    void reopen() {
        store.reset();
        store = std::make_unique<SqliteStore>(dir.path());
    }
};

TEST_F(StoreTest, OpensWithWalAndFullSyncAndRefusesFilesItCannotUse) {
    EXPECT_EQ(store->schemaVersion(), SqliteStore::kSchemaVersion);
    EXPECT_EQ(store->journalMode().toLower(), QStringLiteral("wal"));
    EXPECT_EQ(store->synchronousLevel(), 2);  // FULL
    reopen();
    EXPECT_EQ(store->schemaVersion(), SqliteStore::kSchemaVersion);
    EXPECT_TRUE(store->receiverExists(QStringLiteral("farm")));
    store.reset();

    // A newer schema is the store's own refusal; a file that is no database keeps SQLite's code.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.path().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    QFile other(dir.path(QStringLiteral("other.db")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(4096, 'x'));
    other.close();
    for (auto [file, code] : {std::pair{dir.path(), 0}, std::pair{other.fileName(), SQLITE_NOTADB}}) {
        try {
            SqliteStore s(file);
            ADD_FAILURE() << "opened " << file.toStdString();
        } catch (const StoreError& e) {
            EXPECT_EQ(e.code(), code) << e.what();
        }
    }
}

TEST_F(StoreTest, ReplaceOrderSwapsTheWholeOrderAndKeepsLineOrder) {
    const QString apple = QStringLiteral("사과_박스"), pear = QStringLiteral("배_7.5kg"), melon = QStringLiteral("수박");
    ASSERT_EQ(store->replaceOrder(key, {line(apple, 2, QStringLiteral("큰 것")), line(pear, 1.5), line(melon, 1)},
                                  QStringLiteral("오전 배송")),
              ReplaceResult::Replaced);
    StoredOrder o = store->order(key);
    ASSERT_TRUE(o.exists);
    ASSERT_EQ(o.lines.size(), 3u);
    EXPECT_EQ(o.lines[0].product, apple);
    EXPECT_EQ(o.lines[0].remark, QStringLiteral("큰 것"));
    EXPECT_EQ(o.lines[1].quantity, cur(1.5));
    EXPECT_EQ(o.lines[1].amount, cur(1650));
    EXPECT_EQ(o.lines[2].product, melon);
    EXPECT_EQ(o.message, QStringLiteral("오전 배송"));

    // A line left out disappears; the message goes when not sent again.
    store->replaceOrder(key, {line(melon, 4), line(apple, 1)}, QString());
    o = store->order(key);
    ASSERT_EQ(o.lines.size(), 2u);
    EXPECT_EQ(o.lines[0].product, melon);
    EXPECT_EQ(o.lines[0].quantity, cur(4));
    EXPECT_EQ(o.lines[1].product, apple);
    EXPECT_TRUE(o.message.isEmpty());

    // A message alone is an order; nothing at all removes it.
    store->replaceOrder(key, {}, QStringLiteral("취소합니다"));
    o = store->order(key);
    EXPECT_TRUE(o.exists);
    EXPECT_TRUE(o.lines.empty());
    store->replaceOrder(key, {}, QString());
    EXPECT_FALSE(store->order(key).exists);
    EXPECT_TRUE(store->listOrders(QString(), QString()).empty());
}

TEST_F(StoreTest, OrdersOfOtherDatesAndOrderersStayApart) {
    OrderKey other = key;
    other.date = QStringLiteral("2024-03-06");
    OrderKey shop2 = key;
    shop2.orderer = QStringLiteral("shop2");
    store->replaceOrder(key, {line(QStringLiteral("a"), 1)}, QString());
    store->replaceOrder(other, {line(QStringLiteral("b"), 2)}, QString());
    store->replaceOrder(shop2, {line(QStringLiteral("c"), 3)}, QString());
    store->replaceOrder(key, {line(QStringLiteral("d"), 4)}, QString());
    EXPECT_EQ(store->order(other).lines.at(0).product, QStringLiteral("b"));
    EXPECT_EQ(store->order(shop2).lines.at(0).product, QStringLiteral("c"));
    EXPECT_EQ(store->order(key).lines.at(0).product, QStringLiteral("d"));
    auto list = store->listOrders(QStringLiteral("farm"), QStringLiteral("2024-03-05"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].total, cur(4400));
}

TEST_F(StoreTest, AcceptedOrderIsLockedAndDeliveredOnce) {
    EXPECT_EQ(store->acceptOrder(key), AcceptResult::NotFound);
    EXPECT_EQ(store->recordDelivery(key, {}), DeliverResult::NotFound);
    store->replaceOrder(key, {line(QStringLiteral("a"), 1)}, QStringLiteral("m"));
    EXPECT_EQ(store->recordDelivery(key, {}), DeliverResult::NotAccepted);
    EXPECT_EQ(store->acceptOrder(key), AcceptResult::Accepted);
    EXPECT_EQ(store->acceptOrder(key), AcceptResult::AlreadyAccepted);

    EXPECT_EQ(store->replaceOrder(key, {line(QStringLiteral("b"), 9)}, QString()), ReplaceResult::Locked);
    EXPECT_EQ(store->replaceOrder(key, {}, QString()), ReplaceResult::Locked);
    StoredOrder o = store->order(key);
    ASSERT_EQ(o.lines.size(), 1u);
    EXPECT_EQ(o.lines[0].product, QStringLiteral("a"));
    EXPECT_EQ(o.message, QStringLiteral("m"));
    EXPECT_TRUE(o.accepted);
    EXPECT_FALSE(o.acceptedAt.isEmpty());

    DeliveryRow d{key.receiver, key.orderer, key.date, QStringLiteral("a"), cur(1), cur(1000), QStringLiteral("+"),
                  cur(1000), cur(100), cur(1100)};
    EXPECT_EQ(store->recordDelivery(key, {d}), DeliverResult::Delivered);
    EXPECT_EQ(store->recordDelivery(key, {d}), DeliverResult::AlreadyDelivered);
    EXPECT_EQ(store->deliveries(key.receiver, key.orderer, key.date, key.date).size(), 1u);
}

TEST_F(StoreTest, DeliveriesComeByDateWithinTheRangeOfThePair) {
    auto row = [](const char* buyer, const char* date, const char* product) {
        return DeliveryRow{QStringLiteral("farm"), QString::fromUtf8(buyer), QString::fromUtf8(date), QString::fromUtf8(product),
                           cur(1), cur(10), QString(), cur(10), cur(0), cur(10)};
    };
    store->addDeliveries({row("shop", "2024-03-07", "c"), row("shop", "2024-03-01", "a"), row("shop", "2024-03-07", "d"),
                          row("shop", "2024-02-29", "x"), row("other", "2024-03-03", "y"), row("shop", "2024-03-03", "b")});
    auto rows = store->deliveries(QStringLiteral("farm"), QStringLiteral("shop"), QStringLiteral("2024-03-01"),
                                  QStringLiteral("2024-03-07"));
    QStringList products;
    for (const auto& r : rows) products << r.product;
    EXPECT_EQ(products, (QStringList{"a", "b", "c", "d"}));
    EXPECT_TRUE(store->deliveries(QStringLiteral("farm"), QStringLiteral("shop"), QStringLiteral("2024-03-08"),
                                  QStringLiteral("2024-03-01")).empty());
}

TEST_F(StoreTest, PricesPerGradeKeepFirstImportOrderAndUpdateInPlace) {
    auto p = [](const char* name, const char* unit, const char* grade, int price, const char* vat) {
        return PriceRow{QString::fromUtf8(name), QString::fromUtf8(unit), QString::fromUtf8(grade),
                        ostrel::Currency::fromInt(price), QString::fromUtf8(vat)};
    };
    store->importPrices(QStringLiteral("farm"), {p("사과", "박스", "A", 100, ""), p("배", "", "A", 200, "+"),
                                                 p("사과", "박스", "B", 110, "")});
    store->importPrices(QStringLiteral("farm"), {p("감", "kg", "A", 300, "/"), p("사과", "박스", "A", 150, "")});
    auto a = store->priceList(QStringLiteral("farm"), QStringLiteral("A"));
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(JoinProductKey(a[0].name, a[0].unit), QStringLiteral("사과_박스"));
    EXPECT_EQ(a[0].unitPrice, ostrel::Currency::fromInt(150));
    EXPECT_EQ(JoinProductKey(a[1].name, a[1].unit), QStringLiteral("배"));
    EXPECT_EQ(a[1].vat, QStringLiteral("+"));
    EXPECT_EQ(a[2].vat, QStringLiteral("/"));
    EXPECT_EQ(store->priceList(QStringLiteral("farm"), QStringLiteral("B")).size(), 1u);
    EXPECT_TRUE(store->priceList(QStringLiteral("farm"), QStringLiteral("C")).empty());
    // An import for an unknown receiver stores nothing.
    EXPECT_THROW(store->importPrices(QStringLiteral("nobody"), {p("x", "", "A", 1, "")}), StoreError);
    EXPECT_TRUE(store->priceList(QStringLiteral("nobody"), QStringLiteral("A")).empty());
}

TEST_F(StoreTest, OrderersNoticesDisplayListsAndSettings) {
    store->addOrderer(OrdererRecord{"farm", "shop", "A", "h1"});
    EXPECT_THROW(store->addOrderer(OrdererRecord{"farm", "shop", "B", "h2"}), StoreError);
    EXPECT_THROW(store->addOrderer(OrdererRecord{"nofarm", "shop", "B", "h2"}), StoreError);
    EXPECT_TRUE(store->setGrade("farm", "shop", "B"));
    EXPECT_TRUE(store->setPasswordHash("farm", "shop", "h3"));
    EXPECT_FALSE(store->setGrade("farm", "ghost", "B"));
    auto o = store->orderer("farm", "shop");
    ASSERT_TRUE(o);
    EXPECT_EQ(o->grade, QStringLiteral("B"));
    EXPECT_EQ(o->passwordHash, QStringLiteral("h3"));
    EXPECT_FALSE(store->orderer("farm", "SHOP"));  // IDs are exact

    store->setNotice("farm", "*", QStringLiteral("모두에게"));
    store->setNotice("farm", "A", QStringLiteral("A에게"));
    store->setNotice("farm", "A", QStringLiteral("A에게 2"));
    EXPECT_EQ(store->notice("farm", "*"), QStringLiteral("모두에게"));
    EXPECT_EQ(store->notice("farm", "A"), QStringLiteral("A에게 2"));
    store->setNotice("farm", "A", QString());
    EXPECT_TRUE(store->notice("farm", "A").isEmpty());

    store->replaceDisplayList("farm", "shop", {"b", "a", "c"});
    store->replaceDisplayList("farm", "shop", {"c", "a"});
    EXPECT_EQ(store->displayList("farm", "shop"), (std::vector<QString>{"c", "a"}));
    store->replaceDisplayList("farm", "shop", {});
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    EXPECT_FALSE(store->setting("x"));
    store->setSetting("x", "1");
    store->setSetting("x", "2");
    reopen();
    EXPECT_EQ(store->setting("x").value_or(QString()), QStringLiteral("2"));
}

}  // namespace
