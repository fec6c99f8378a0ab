// The store on both engines: every case runs on an SQLite file and on a PostgreSQL database. A
// second handle on the same store stands for another process or another server instance.
#include "OpenStore.h"
#include "Sessions.h"
#include "SqliteStore.h"
#include "StoreEngines.h"

#include <WaitFor.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QStringList>
#include <atomic>
#include <fstream>
#include <thread>

using namespace vendra::server;
using namespace vendra::server::test;

namespace {

OrderLine line(const QString& product, double q, const QString& remark = {}) {
    return OrderLine{product, cur(q), cur(1000), "+", cur(1000 * q), cur(100 * q), cur(1100 * q), remark};
}

// Product, quantity and remark of each line, then the message.
QStringList contents(const std::vector<OrderLine>& lines, const QString& message) {
    QStringList out;
    for (const OrderLine& l : lines) out << l.product + ' ' + l.quantity.toString() + ' ' + l.remark;
    return out << message;
}
QStringList contents(const StoredOrder& o) { return contents(o.lines, o.message); }

// Version `round` of writer `writer`: 1 to 5 lines, each carrying the same quantity and remark.
std::vector<OrderLine> version(int writer, int round) {
    std::vector<OrderLine> lines;
    for (int k = 0; k < 1 + (writer + round) % 5; ++k)
        lines.push_back(
            line(QStringLiteral("품목%1").arg(k), round + 1, QStringLiteral("w%1r%2").arg(writer).arg(round)));
    return lines;
}
// True when the lines are exactly one version of one writer.
bool whole(const std::vector<OrderLine>& lines) {
    if (lines.empty()) return false;
    const QStringList wr = lines[0].remark.mid(1).split('r');
    return wr.size() == 2 && contents(lines, {}) == contents(version(wr[0].toInt(), wr[1].toInt()), {});
}

class StoreTest : public ::testing::TestWithParam<Engine> {
protected:
    TempStoreDir dir;
    std::string db;
    std::unique_ptr<Store> store;
    const OrderKey key{QStringLiteral("farm"), QStringLiteral("shop"), QStringLiteral("2024-03-05")};

    void SetUp() override {
        std::string why;
        db = NewStore(GetParam(), dir, why);
        ASSERT_FALSE(db.empty()) << why;
        store = open();
        store->addReceiver(QStringLiteral("farm"), QStringLiteral("농장"));
    }
    std::unique_ptr<Store> open() { return OpenStore(QString::fromStdString(db), 4); }
    bool sqlite() const { return GetParam() == Engine::Sqlite; }
    // Statements run straight on the store, beside it.
    void sql(const std::string& sqliteText, const std::string& postgresText) {
        if (!sqlite()) {
            ASSERT_EQ(PgInstance::shared().sql(db, postgresText), 0) << postgresText;
            return;
        }
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(h, sqliteText.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
        sqlite3_close(h);
    }
    // The engine's code of the failure of `call`: SQLite's result code or PostgreSQL's SQLSTATE.
    template <class F>
    std::string failureOf(F call) {
        try {
            call();
        } catch (const StoreError& e) {
            return e.state().empty() ? std::to_string(e.code()) : e.state();
        }
        return "no failure";
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, StoreTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return info.param == Engine::Sqlite ? "Sqlite" : "Postgres"; });

TEST_P(StoreTest, KeepsItsSchemaVersionMigratesAnOlderStoreRefusesANewerOneAndKeepsEngineCodes) {
    EXPECT_EQ(store->schemaVersion(), 3);
    if (auto* s = dynamic_cast<SqliteStore*>(store.get())) {
        EXPECT_EQ(s->journalMode().toLower(), QStringLiteral("wal"));
        EXPECT_EQ(s->synchronousLevel(), 2);  // FULL
    }
    // A store of version 2 (before the history) is brought up to date and keeps its orders.
    store->replaceOrder(key, {line("a", 1)}, "m");
    store.reset();
    sql("DROP TABLE order_history_lines; DROP TABLE order_history; PRAGMA user_version = 2",
        "DROP TABLE order_history_lines, order_history; UPDATE schema_version SET version = 2");
    store = open();
    EXPECT_EQ(store->schemaVersion(), 3);
    store->replaceOrder(key, {line("b", 2)}, "");
    EXPECT_EQ(store->orderHistory(key).size(), 2u);
    // The engine's own code travels with its failures: a notice for no receiver breaks a foreign key.
    EXPECT_EQ(failureOf([&] { store->setNotice("nobody", "A", "x"); }),
              sqlite() ? std::to_string(SQLITE_CONSTRAINT_FOREIGNKEY) : "23503");

    // A newer schema is the store's own refusal; an unusable store keeps the engine's code.
    store.reset();
    sql("PRAGMA user_version = 99", "UPDATE schema_version SET version = 99");
    EXPECT_EQ(failureOf([&] { open(); }), "0");
    std::ofstream(dir.pathStd(QStringLiteral("other.db"))) << std::string(4096, 'x');
    const std::string unusable =
        sqlite() ? dir.pathStd(QStringLiteral("other.db")) : "postgresql://vendra@127.0.0.1:1/nothing";
    EXPECT_EQ(failureOf([&] { OpenStore(QString::fromStdString(unusable), 1); }),
              sqlite() ? std::to_string(SQLITE_NOTADB) : "08001");
}

// Replacing whole orders, the message record and the acceptance lock are checked over HTTP too.
TEST_P(StoreTest, OrdersDisplayListsAndDeliveriesStayApartAndOrdersAreListedWithTheirTotals) {
    OrderKey other = key, shop2 = key;
    other.date = QStringLiteral("2024-03-06");
    shop2.orderer = QStringLiteral("shop2");
    store->replaceOrder(key, {line("사과_박스", 2, "큰 \"것\" \\"), line("배_7.5kg", 1.5)}, "오전 배송");
    store->replaceOrder(other, {line("b", 2)}, QString());
    store->replaceOrder(shop2, {line("c", 3)}, QString());
    EXPECT_EQ(contents(store->order(key)), (QStringList{"사과_박스 2 큰 \"것\" \\", "배_7.5kg 1.5 ", "오전 배송"}));
    EXPECT_EQ(contents(store->order(other)), (QStringList{"b 2 ", ""}));
    EXPECT_EQ(contents(store->order(shop2)), (QStringList{"c 3 ", ""}));
    auto list = store->listOrders(QStringLiteral("farm"), QStringLiteral("2024-03-05"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].key.orderer + ' ' + QString::number(list[0].lineCount) + ' ' + list[0].total.toString(),
              QStringLiteral("shop 2 3850"));
    store->replaceOrder(key, {}, QString());
    EXPECT_FALSE(store->order(key).exists);
    EXPECT_EQ(store->listOrders(QString(), QString()).size(), 2u);

    store->replaceDisplayList("farm", "shop", {QStringLiteral("수박"), QStringLiteral("a\"b")});
    store->replaceDisplayList("farm", "shop2", {QStringLiteral("x")});
    EXPECT_EQ(store->displayList("farm", "shop"),
              (std::vector<QString>{QStringLiteral("수박"), QStringLiteral("a\"b")}));
    store->replaceDisplayList("farm", "shop", {});
    EXPECT_TRUE(store->displayList("farm", "shop").empty());

    auto d = [](const char* buyer, const char* date, const char* product) {
        return DeliveryRow{"farm", buyer, date, product, cur(1.5), cur(2), "+", cur(3), cur(0.3), cur(3.3)};
    };
    store->addDeliveries({d("shop", "2024-03-02", "late"), d("shop", "2024-03-01", "early"),
                          d("shop2", "2024-03-01", "other"), d("shop", "2024-02-29", "before")});
    QStringList got;
    for (const DeliveryRow& r : store->deliveries("farm", "shop", "2024-03-01", "2024-03-31"))
        got << r.date + ' ' + r.product + ' ' + r.quantity.toString() + ' ' + r.tax.toString();
    EXPECT_EQ(got, (QStringList{"2024-03-01 early 1.5 0.3", "2024-03-02 late 1.5 0.3"}));
}

TEST_P(StoreTest, PricesOfAnUnknownReceiverAreNotStoredIdsAreExactAndVersionsShowElsewhere) {
    auto elsewhere = open();
    const int64_t before = elsewhere->priceVersion();
    const PriceRow apple{"사과", "박스", "A", cur(100), ""};
    EXPECT_THROW(store->importPrices(QStringLiteral("nobody"), {apple}), StoreError);
    EXPECT_TRUE(store->priceList(QStringLiteral("nobody"), QStringLiteral("A")).empty());
    EXPECT_EQ(elsewhere->priceVersion(), before);
    store->importPrices(QStringLiteral("farm"),
                        {PriceRow{"배", "", "A", cur(5), "/"}, apple, PriceRow{"사과", "박스", "B", cur(110), ""}});
    store->importPrices(QStringLiteral("farm"), {PriceRow{"사과", "박스", "A", cur(120.5), "+"}});
    EXPECT_GT(elsewhere->priceVersion(), before);
    QStringList a;
    for (const PriceRow& p : elsewhere->priceList(QStringLiteral("farm"), QStringLiteral("A")))
        a << p.name + ' ' + p.unit + ' ' + p.unitPrice.toString() + ' ' + p.vat;
    EXPECT_EQ(a, (QStringList{"배  5 /", "사과 박스 120.5 +"}));  // in the order first added
    EXPECT_TRUE(store->priceList(QStringLiteral("farm"), QStringLiteral("C")).empty());

    store->addReceiver(QStringLiteral("farm"), QString());  // keeps the name
    EXPECT_TRUE(store->receiverExists("farm") && !store->receiverExists("FARM"));
    store->addOrderer(OrdererRecord{"farm", "shop", "A", "h1"});
    EXPECT_THROW(store->addOrderer(OrdererRecord{"farm", "shop", "B", "h2"}), StoreError);
    EXPECT_THROW(store->addOrderer(OrdererRecord{"nofarm", "shop", "B", "h2"}), StoreError);
    EXPECT_TRUE(store->setGrade("farm", "shop", "B") && store->setPasswordHash("farm", "shop", "h3"));
    EXPECT_FALSE(store->setGrade("farm", "ghost", "B") || store->setPasswordHash("farm", "ghost", "h"));
    const auto o = elsewhere->orderer("farm", "shop");
    EXPECT_EQ(o ? o->grade + o->passwordHash : QString(), QStringLiteral("Bh3"));
    EXPECT_FALSE(store->orderer("farm", "SHOP"));
    store->setNotice("farm", "A", QStringLiteral("A에게"));
    EXPECT_EQ(elsewhere->notice("farm", "A"), QStringLiteral("A에게"));
    store->setNotice("farm", "A", QString());
    EXPECT_TRUE(store->notice("farm", "A").isEmpty());
    EXPECT_FALSE(store->setting("demo"));
    store->setSetting("demo", "1");
    store->setSetting("demo", "2");
    EXPECT_EQ(elsewhere->setting("demo").value_or(QString()), QStringLiteral("2"));
}

TEST_P(StoreTest, HistoryKeepsEveryReplacedVersionNewestFirst) {
    OrderKey other = key;
    other.date = QStringLiteral("2024-03-06");
    store->replaceOrder(key, {line("a", 1, "r1")}, "m1");
    store->replaceOrder(key, {line("b", 2), line("c", 3)}, "");
    store->replaceOrder(other, {line("x", 1)}, "");
    store->replaceOrder(key, {}, "");  // removes the order; its last version stays in the history
    auto h = open()->orderHistory(key);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(contents(h[0].lines, h[0].message), (QStringList{"b 2 ", "c 3 ", ""}));
    EXPECT_EQ(contents(h[1].lines, h[1].message), (QStringList{"a 1 r1", "m1"}));
    for (const OrderVersion& v : h) {
        EXPECT_EQ(v.replacedBy, QStringLiteral("shop"));
        EXPECT_TRUE(!v.writtenAt.isEmpty() && v.replacedAt >= v.writtenAt);
    }
    store->replaceOrder(key, {}, "메시지만");
    h = store->orderHistory(key);
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(contents(h[0].lines, h[0].message), QStringList{"메시지만"});
    EXPECT_TRUE(h[0].replacedAt.isEmpty() && h[0].replacedBy.isEmpty());  // the current one
    EXPECT_EQ(store->orderHistory(other).size(), 1u);
    EXPECT_TRUE(store->orderHistory({"farm", "ghost", "2024-03-05"}).empty());
}

// Writers on two handles replace one order while a reader watches: every read and every kept
// version is one writer's whole version, and every replacement kept the one before it.
TEST_P(StoreTest, ConcurrentReplacementsFromTwoInstancesAreNeverTornAndAllKeptInTheHistory) {
    constexpr int kWriters = 4, kRounds = 20;
    auto second = open();
    Store* handles[] = {store.get(), second.get()};
    std::atomic<bool> writing{true};
    std::atomic<int> reads{0}, torn{0}, failures{0};
    std::thread reader([&] {
        while (writing) {
            const StoredOrder o = second->order(key);
            if (o.exists && !whole(o.lines)) ++torn;
            ++reads;
        }
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int r = 0; r < kRounds; ++r) {
                try {
                    if (handles[w % 2]->replaceOrder(key, version(w, r), {}) != ReplaceResult::Replaced) ++failures;
                } catch (const StoreError&) {
                    ++failures;
                }
            }
        });
    for (auto& t : writers) t.join();
    writing = false;
    reader.join();
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
    EXPECT_EQ(failures.load(), 0);
    EXPECT_TRUE(whole(store->order(key).lines));
    const auto history = store->orderHistory(key);
    ASSERT_EQ(history.size(), size_t{kWriters * kRounds});  // the current one and every replaced one
    for (const OrderVersion& v : history) EXPECT_TRUE(whole(v.lines)) << v.lines.size();
}

// Writers on two handles race an accept on a third: each replacement lands before the accept or
// is refused as locked, never after it; then the order is delivered exactly once.
TEST_P(StoreTest, AnUpdateRacingAnAcceptLandsBeforeItOrIsRefusedAndDeliveryHappensOnce) {
    constexpr int kWriters = 4;
    auto second = open(), admin = open();
    Store* handles[] = {store.get(), second.get()};
    store->replaceOrder(key, version(0, 0), {});
    std::atomic<bool> accepted{false};
    std::atomic<int> replaced{0}, late{0}, failures{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            try {
                for (int r = 1;; ++r) {
                    const bool after = accepted;
                    if (handles[w % 2]->replaceOrder(key, version(w, r), {}) == ReplaceResult::Locked) break;
                    ++replaced;
                    late += after;
                }
            } catch (const StoreError&) {
                ++failures;
            }
        });
    WAIT_FOR(replaced >= 20);
    EXPECT_EQ(admin->acceptOrder(key), AcceptResult::Accepted);
    const StoredOrder atAccept = admin->order(key);
    accepted = true;
    for (auto& t : writers) t.join();
    EXPECT_EQ(late.load() + failures.load(), 0);
    const StoredOrder now = store->order(key);
    EXPECT_TRUE(now.accepted && !now.acceptedAt.isEmpty());
    EXPECT_EQ(contents(now), contents(atAccept));
    EXPECT_EQ(store->orderHistory(key).size(), size_t(replaced + 1));  // refusals kept nothing
    EXPECT_EQ(second->acceptOrder(key), AcceptResult::AlreadyAccepted);
    EXPECT_EQ(second->acceptOrder({"farm", "ghost", "2024-03-05"}), AcceptResult::NotFound);

    OrderKey pending = key;
    pending.date = QStringLiteral("2024-03-07");
    store->replaceOrder(pending, {line("a", 1)}, {});
    const std::vector<DeliveryRow> rows(
        3, DeliveryRow{"farm", "shop", key.date, "p", cur(1), cur(1), "", cur(1), cur(0), cur(1)});
    EXPECT_EQ(store->recordDelivery(pending, rows), DeliverResult::NotAccepted);
    EXPECT_EQ(store->recordDelivery({"farm", "ghost", "2024-03-05"}, rows), DeliverResult::NotFound);
    std::atomic<int> delivered{0};
    std::thread twice([&] { delivered += second->recordDelivery(key, rows) == DeliverResult::Delivered; });
    delivered += store->recordDelivery(key, rows) == DeliverResult::Delivered;
    twice.join();
    EXPECT_EQ(delivered.load(), 1);
    EXPECT_EQ(store->recordDelivery(key, rows), DeliverResult::AlreadyDelivered);
    EXPECT_EQ(store->deliveries("farm", "shop", key.date, key.date).size(), rows.size());
    EXPECT_FALSE(store->order(key).deliveredAt.isEmpty());
}

// Tables on two handles stand for two servers, or one before and after a restart.
TEST_P(StoreTest, SessionsAreSharedExpireWhenIdleAndKeepTheNewestPerOrderer) {
    using std::chrono::seconds;
    auto second = open();
    const auto now = WallClock::now();
    SessionTable one(*store, seconds(600), 2, seconds(60));
    const QString a = one.open("farm", "shop", now);
    const QString b = one.open("farm", "shop", now + seconds(1));
    EXPECT_TRUE(a != b && a.size() == 64);
    SessionTable two(*second, seconds(600), 2, seconds(60));
    EXPECT_TRUE(one.find(a, now + seconds(100)));  // the use is written back: older than a minute
    EXPECT_EQ(two.find(a, now + seconds(100)).value_or(Session{}).orderer, QStringLiteral("shop"));
    // Used on two only: one, which last saw it long ago, finds the later use in the store.
    EXPECT_TRUE(two.find(a, now + seconds(400)));
    EXPECT_TRUE(one.find(a, now + seconds(650)));
    EXPECT_FALSE(two.find(b, now + seconds(650)));  // idle since its opening
    EXPECT_FALSE(two.find(QStringLiteral("nope")));
    // A third session of the orderer ends the least recently used one, for every server at its
    // next write-back; other orderers keep theirs.
    const QString c = two.open("farm", "shop2", now + seconds(651));
    two.open("farm", "shop", now + seconds(652));
    two.open("farm", "shop", now + seconds(653));
    EXPECT_TRUE(one.find(a, now + seconds(654)));  // not written back yet
    EXPECT_FALSE(one.find(a, now + seconds(720)));
    SessionTable three(*store, seconds(600), 2, seconds(60));
    EXPECT_FALSE(three.find(a, now + seconds(654)));
    EXPECT_TRUE(three.find(c, now + seconds(654)));
}

TEST_P(StoreTest, ThrottleDoublesTheWaitAfterTheFreeFailuresSharesItAndForgetsOnSuccess) {
    using std::chrono::milliseconds;
    LoginThrottle t(*store, 2, milliseconds(100), milliseconds(350));
    const auto now = WallClock::now();
    // A failure at `at` (or none), then the wait at that moment; the last is capped.
    using Step = std::tuple<bool, int, int>;
    for (auto [fails, at, wait] :
         {Step{true, 0, 0}, Step{true, 0, 100}, Step{true, 100, 200}, Step{true, 300, 350}, Step{false, 650, 0}}) {
        if (fails) t.failed("x", now + milliseconds(at));
        EXPECT_EQ(t.waitFor("x", now + milliseconds(at)).count(), wait) << at;
    }
    EXPECT_EQ(LoginThrottle(*open(), 2, milliseconds(100)).waitFor("x", now + milliseconds(400)).count(), 250);
    EXPECT_EQ(t.waitFor("y", now + milliseconds(300)).count(), 0);
    LoginThrottle unlimited(*store, 1 << 30);  // no slow-down at all: a failure counts without overflow
    unlimited.failed("z", now);
    EXPECT_EQ(unlimited.waitFor("z", now).count(), 0);
    t.succeeded("x");
    t.failed("x", now);
    EXPECT_EQ(t.waitFor("x", now).count(), 0);
}

}  // namespace
