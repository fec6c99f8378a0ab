#include "ServerRig.h"
#include "SqliteStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <QStringList>

using namespace vendra::server;
using vendra::server::test::cur;
using vendra::server::test::TempStoreDir;

namespace {

OrderLine line(const QString& product, double q, const QString& remark = {}) {
    return OrderLine{product, cur(q), cur(1000), "+", cur(1000 * q), cur(100 * q), cur(1100 * q), remark};
}

// Product, quantity and remark of each stored line, then the message.
QStringList contents(const StoredOrder& o) {
    QStringList out;
    for (const OrderLine& l : o.lines) out << l.product + ' ' + l.quantity.toString() + ' ' + l.remark;
    return out << o.message;
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
    EXPECT_TRUE(store->schemaVersion() == SqliteStore::kSchemaVersion && store->receiverExists(QStringLiteral("farm")));
    store.reset();

    // A newer schema is the store's own refusal; a file that is no database keeps SQLite's code.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.path().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    std::ofstream(dir.pathStd(QStringLiteral("other.db"))) << std::string(4096, 'x');
    for (auto [file, code] :
         {std::pair{dir.path(), 0}, std::pair{dir.path(QStringLiteral("other.db")), SQLITE_NOTADB}}) {
        try {
            SqliteStore s(file);
            ADD_FAILURE() << "opened " << file.toStdString();
        } catch (const StoreError& e) {
            EXPECT_EQ(e.code(), code) << e.what();
        }
    }
}

// Replacing whole orders, the message record and the acceptance lock are checked over HTTP.
TEST_F(StoreTest, OrdersStayApartByDateAndOrdererAndAreListedWithTheirTotals) {
    OrderKey other = key, shop2 = key;
    other.date = QStringLiteral("2024-03-06");
    shop2.orderer = QStringLiteral("shop2");
    store->replaceOrder(key, {line("사과_박스", 2, "큰 것"), line("배_7.5kg", 1.5)}, "오전 배송");
    store->replaceOrder(other, {line("b", 2)}, QString());
    store->replaceOrder(shop2, {line("c", 3)}, QString());
    EXPECT_EQ(contents(store->order(key)), (QStringList{"사과_박스 2 큰 것", "배_7.5kg 1.5 ", "오전 배송"}));
    EXPECT_EQ(contents(store->order(other)), (QStringList{"b 2 ", ""}));
    EXPECT_EQ(contents(store->order(shop2)), (QStringList{"c 3 ", ""}));
    auto list = store->listOrders(QStringLiteral("farm"), QStringLiteral("2024-03-05"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].total, cur(3850));
    store->replaceOrder(key, {}, QString());
    EXPECT_EQ(store->listOrders(QString(), QString()).size(), 2u);
}

TEST_F(StoreTest, PricesOfAnUnknownReceiverAreNotStoredAndIdsAreExact) {
    const PriceRow apple{"사과", "박스", "A", cur(100), ""};
    EXPECT_THROW(store->importPrices(QStringLiteral("nobody"), {apple}), StoreError);
    EXPECT_TRUE(store->priceList(QStringLiteral("nobody"), QStringLiteral("A")).empty());
    store->importPrices(QStringLiteral("farm"), {apple, PriceRow{"사과", "박스", "B", cur(110), ""}});
    EXPECT_EQ(store->priceList(QStringLiteral("farm"), QStringLiteral("B")).size(), 1u);
    EXPECT_TRUE(store->priceList(QStringLiteral("farm"), QStringLiteral("C")).empty());

    store->addOrderer(OrdererRecord{"farm", "shop", "A", "h1"});
    EXPECT_THROW(store->addOrderer(OrdererRecord{"farm", "shop", "B", "h2"}), StoreError);
    EXPECT_THROW(store->addOrderer(OrdererRecord{"nofarm", "shop", "B", "h2"}), StoreError);
    EXPECT_FALSE(store->setGrade("farm", "ghost", "B"));
    EXPECT_FALSE(store->orderer("farm", "SHOP"));
    store->setNotice("farm", "A", QStringLiteral("A에게"));
    store->setNotice("farm", "A", QString());
    EXPECT_TRUE(store->notice("farm", "A").isEmpty());
}

}  // namespace
