#include "Admin.h"
#include "Demo.h"
#include "ServerRig.h"
#include "SqliteStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <sstream>

using namespace vendra::server;
using vendra::server::test::cur;
using vendra::server::test::TempStoreDir;

namespace {

class AdminTest : public ::testing::Test {
protected:
    TempStoreDir dir;
    std::string out, err;

    int run(std::vector<std::string> args, const std::string& input = {}) {
        std::ostringstream o, e;
        std::istringstream in(input);
        CommandContext ctx{o, e, in, HashStrength::Minimal};
        args.insert(args.begin(), {"--db", dir.pathStd()});
        int rc = RunCommand(args, ctx);
        out = o.str();
        err = e.str();
        return rc;
    }
    std::unique_ptr<SqliteStore> open() { return std::make_unique<SqliteStore>(dir.path()); }
};

TEST_F(AdminTest, OrdererCommandsHashPasswordsAndChangeGrades) {
    ASSERT_EQ(run({"init"}), 0) << err;
    EXPECT_NE(out.find("schema version 3"), std::string::npos);
    ASSERT_EQ(run({"orderer", "add", "farm", "shop", "A", "--password", "pw one"}), 0) << err;
    EXPECT_EQ(run({"orderer", "add", "farm", "shop", "B", "--password", "x"}), 2);  // exists
    ASSERT_EQ(run({"orderer", "add", "farm", "가게", "B"}, "입력한 비번\n"), 0) << err;
    EXPECT_EQ(run({"orderer", "add", "farm", "empty", "B"}, ""), 2);
    EXPECT_EQ(run({"orderer", "add", "farm", "star", "*", "--password", "x"}), 2);
    {
        auto s = open();
        const QString hash = s->orderer("farm", "shop")->passwordHash;
        EXPECT_TRUE(VerifyPassword(hash, "pw one") && !hash.contains("pw one"));
        EXPECT_TRUE(VerifyPassword(s->orderer("farm", QStringLiteral("가게"))->passwordHash, QStringLiteral("입력한 비번")));
        EXPECT_FALSE(s->orderer("farm", "empty"));
    }
    EXPECT_EQ(run({"orderer", "passwd", "farm", "shop", "--password=new"}), 0) << err;
    EXPECT_EQ(run({"orderer", "grade", "farm", "shop", "C"}), 0) << err;
    EXPECT_EQ(run({"orderer", "grade", "farm", "ghost", "C"}), 2);
    EXPECT_EQ(run({"orderer", "passwd", "farm", "ghost", "--password", "x"}), 2);
    auto o = open()->orderer("farm", "shop");
    EXPECT_TRUE(VerifyPassword(o->passwordHash, "new") && !VerifyPassword(o->passwordHash, "pw one"));
    EXPECT_EQ(o->grade, QStringLiteral("C"));
}

TEST_F(AdminTest, PricesNoticesAcceptAndDeliverWithTheTaxSplit) {
    const std::string csv = dir.pathStd("prices.csv");
    {
        QFile f(QString::fromStdString(csv));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("사과,박스,A,1234,+\n배,,A,1000,/\n감,kg,A,333,\n").toUtf8());
    }
    EXPECT_EQ(run({"receiver", "add", "farm", "초록농산"}), 0) << err;
    EXPECT_EQ(run({"prices", "import", "farm", csv}), 0) << err;
    EXPECT_EQ(run({"prices", "import", "nofarm", csv}), 2);
    EXPECT_EQ(run({"prices", "import", "farm", "/no/such/file.csv"}), 2);
    EXPECT_EQ(run({"notice", "set", "farm", "*", "전체 공지"}), 0) << err;
    EXPECT_EQ(run({"notice", "set", "farm", "A", "bad </notice>"}), 2);
    EXPECT_EQ(open()->priceList("farm", "A").size(), 3u);
    EXPECT_EQ(open()->notice("farm", "*"), QStringLiteral("전체 공지"));

    open()->replaceOrder({"farm", "shop", "2024-03-05"},
                         {{QStringLiteral("사과_박스"), cur(1), cur(1234), "+", {}, {}, {}, ""},
                          {QStringLiteral("배"), cur(1), cur(1000), "/", {}, {}, {}, ""},
                          {QStringLiteral("감_kg"), cur(1.5), cur(333), "", {}, {}, {}, ""},
                          {QStringLiteral("빈줄"), cur(0), cur(5), "", {}, {}, {}, ""}},
                         "msg");
    EXPECT_EQ(run({"deliver", "farm", "shop", "2024-03-05"}), 1);  // not accepted yet
    EXPECT_EQ(run({"orders", "accept", "farm", "shop", "2024-3-5"}), 0) << err;
    EXPECT_EQ(run({"orders", "accept", "farm", "shop", "2024-03-05"}), 0) << err;  // already accepted
    EXPECT_EQ(run({"orders", "accept", "farm", "shop", "2024-03-07"}), 1);
    EXPECT_EQ(run({"orders", "accept", "farm", "shop", "2024-02-30"}), 2);
    EXPECT_EQ(run({"orders", "list", "--date", "2024-03-05"}), 0) << err;
    for (const char* text : {"shop", "accepted"}) EXPECT_NE(out.find(text), std::string::npos);
    EXPECT_EQ(run({"deliver", "farm", "shop", "2024-03-05"}), 0) << err;
    EXPECT_EQ(run({"deliver", "farm", "shop", "2024-03-05"}), 1);

    // The line without quantity is not delivered.
    std::vector<std::tuple<Currency, Currency, Currency>> split;
    for (const DeliveryRow& r : open()->deliveries("farm", "shop", "2024-03-01", "2024-03-31"))
        split.emplace_back(r.supply, r.tax, r.amount);
    EXPECT_EQ(split,
              (std::vector<std::tuple<Currency, Currency, Currency>>{
                  {cur(1234), cur(123), cur(1357)}, {cur(909), cur(91), cur(1000)}, {cur(499), cur(0), cur(499)}}));
}

TEST_F(AdminTest, DemoSeedsOnceAndPrintsTheLogins) {
    // Prices of both grades, deliveries, orders and shop01's display list; the same after a second run.
    auto counts = [&] {
        auto s = open();
        return std::vector<size_t>{s->priceList(kDemoReceiver, "A").size(), s->priceList(kDemoReceiver, "B").size(),
                                   s->deliveries(kDemoReceiver, kDemoOrderer1, "2000-01-01", "2999-12-31").size() +
                                       s->deliveries(kDemoReceiver, kDemoOrderer2, "2000-01-01", "2999-12-31").size(),
                                   s->listOrders("", "").size(), s->displayList(kDemoReceiver, kDemoOrderer1).size()};
    };
    std::vector<size_t> first;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(run({"demo"}), 0) << err;
        for (const char* text : {kDemoOrderer1, kDemoPassword1, kDemoPassword2})
            EXPECT_NE(out.find(text), std::string::npos);
        if (first.empty()) first = counts();
        EXPECT_EQ(counts(), first);
    }
    EXPECT_GE(first[0], 40u);
    EXPECT_EQ(first[0], first[1]);
    EXPECT_GT(first[2], 10u);

    auto s = open();
    auto a = s->orderer(kDemoReceiver, kDemoOrderer1);
    auto b = s->orderer(kDemoReceiver, kDemoOrderer2);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->grade, b->grade);
    EXPECT_TRUE(VerifyPassword(a->passwordHash, kDemoPassword1) && VerifyPassword(b->passwordHash, kDemoPassword2));
    EXPECT_FALSE(s->notice(kDemoReceiver, "*").isEmpty() || s->notice(kDemoReceiver, a->grade).isEmpty());
    QSet<QString> flags;
    for (const auto& p : s->priceList(kDemoReceiver, "A")) flags.insert(p.vat);
    EXPECT_EQ(flags, (QSet<QString>{"+", "/", ""}));
}

TEST_F(AdminTest, HelpAndUsageErrors) {
    for (const char* cmd : {"serve", "init", "demo", "orderer", "prices", "notice", "orders", "deliver"}) {
        EXPECT_EQ(run({cmd, "--help"}), 0) << cmd;
        EXPECT_NE(out.find("usage: vendra-server"), std::string::npos) << cmd;
    }
    EXPECT_EQ(run({"--help"}), 0) << err;
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"bogus"}), 2);
    EXPECT_EQ(run({"orderer", "fly"}), 2);
    EXPECT_EQ(run({"orders", "list", "--colour", "red"}), 2);
    EXPECT_EQ(run({"serve", "--port", "70000"}), 2);
    EXPECT_EQ(run({"serve", "--listen", "nohostport"}), 2);
    EXPECT_NE(err.find("--listen"), std::string::npos);
}

}  // namespace
