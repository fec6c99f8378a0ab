// From the date confirmed in the panel to an order window ready for typing: the three loads, the
// merge, the grid's value and the totals, for 2,000 offered products and a 500-line stored order,
// against the order server on a loopback port. Also the merge alone, without the network.
#include "vendra/ServerLink.h"
#include "vendra/OrderSheet.h"
#include "vendra/Requests.h"
#include "vendra/frmMain.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlLoad.h"

#include "ostrel/DateTime.h"
#include "tessel/ab.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <cstdio>
#include <memory>

using namespace vendra;

namespace {
constexpr int kProducts = 2000, kStored = 500;

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_client";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication a(argc, argv);
    return a;
}

struct Store {
    QTemporaryDir dir;
    QProcess server;
    QString url;
    std::unique_ptr<ServerLink> link;
    ostrel::Date date = ostrel::DateSerial(2031, 5, 20);

    int admin(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(VENDRA_SERVER_BIN), QStringList{QStringLiteral("--db"), dir.filePath("s.db")} + args);
        p.waitForFinished(120000);
        return p.exitCode();
    }

    bool setUp() {
        admin({"orderer", "add", "farm", "shop", "A", "--password", "pw1234"});
        QString csv;
        const char* flags[] = {"+", "/", ""};
        for (int i = 0; i < kProducts; ++i)
            csv += QStringLiteral("상품%1,상자,A,%2,%3\n").arg(i).arg(500 + i).arg(QString::fromLatin1(flags[i % 3]));
        QFile f(dir.filePath("p.csv"));
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(csv.toUtf8());
        f.close();
        if (admin({"prices", "import", "farm", dir.filePath("p.csv")}) != 0) return fail("prices", {});
        server.start(QStringLiteral(VENDRA_SERVER_BIN), {"--db", dir.filePath("s.db"), "serve", "--host", "127.0.0.1",
                                                          "--port", "0", "--quiet"});
        QByteArray line;
        while (!line.contains('\n') && server.waitForReadyRead(20000)) line += server.readAllStandardOutput();
        auto m = QRegularExpression("(http://[0-9.]+:[0-9]+)").match(QString::fromUtf8(line));
        if (!m.hasMatch()) return fail("serve", QString::fromUtf8(line));
        url = m.captured(1);
        link = std::make_unique<ServerLink>(url);
        Reply r = link->get(path::Login, LoginQuery(link->web(), "shop", "farm", "pw1234", link->stamp()));
        if (!r.text.contains("<success>1</success>")) return fail("login", r.text);
        // A stored order of every fourth product (500 lines) and a message.
        std::vector<OrderLine> lines;
        for (int i = 0; i < kStored; ++i) {
            OrderLine l;
            l.product = QStringLiteral("상품%1_상자").arg(i * 4);
            l.quantity = ostrel::Currency::fromInt(1 + i % 7);
            lines.push_back(l);
        }
        OrderLine msg;
        msg.remark = QStringLiteral("벤치마크");
        lines.push_back(msg);
        // The order server's HTTP layer refuses form-encoded bodies above 8 KiB, so the stored order
        // is seeded by a client of its own with a plain content type.
        const QString body = OrdersUpdateBody(link->web(), date, "shop", "farm", link->stamp(), lines);
        const int port = url.section(':', -1).toInt();
        httplib::Client c("127.0.0.1", port);
        auto login = c.Get("/order_ctos_xml/login.php?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1234&RequestTime=1");
        if (!login || !login->has_header("Set-Cookie")) return fail("seed login", {});
        const std::string setCookie = login->get_header_value("Set-Cookie");
        const std::string cookie = setCookie.substr(0, setCookie.find(';'));
        auto res = c.Post("/order_ctos_xml/orders_update.php", {{"Cookie", cookie}}, body.toStdString(), "text/plain");
        if (!res || res->body.find("<success>1</success>") == std::string::npos)
            return fail("order", res ? QString::fromStdString(res->body) : QString());
        return true;
    }
    static bool fail(const char* step, const QString& reply) {
        std::fprintf(stderr, "bench_client: %s failed: %s\n", step, qPrintable(reply.left(300)));
        return false;
    }
    ~Store() {
        server.terminate();
        server.waitForFinished(10000);
    }
};

Store& store() {
    static Store s;
    static bool ok = s.setUp();
    if (!ok) std::abort();
    return s;
}
}  // namespace

static void BM_DateConfirmedToOrderWindowReady(benchmark::State& state) {
    app();
    Store& s = store();
    frmMain main(*s.link, {});
    main.setLoginValues("shop", "A", "farm");
    frmOrder* w = main.ensureOrderWindow();
    for (auto _ : state) {
        w->setDeliverDate(s.date);
        w->setOrdererCI("shop");
        w->setOrdererDgr("A");
        w->setReceiverCI("farm");
        w->Form_Activate();
        if (w->ab1->RecCount() != kProducts) state.SkipWithError("sheet not built");
    }
    state.counters["rows"] = w->ab1->RecCount();
}
BENCHMARK(BM_DateConfirmedToOrderWindowReady)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_MergeAndGridValueOnly(benchmark::State& state) {
    app();
    Store& s = store();
    const LoadResult prices = mdlLoad::LoadUnitPrices(*s.link, "farm", "A");
    const LoadResult display = mdlLoad::LoadDisplayItems(*s.link, "farm", "shop");
    const OrdersLoad stored = mdlLoad::LoadOrders(*s.link, s.date, "shop", "farm");
    tessel::ab grid;
    grid.setNOF(sheet::NOF);
    grid.setMaxrow(20);
    grid.setStru(OrderSheetStru());
    for (auto _ : state) {
        MergedSheet m = MergeOrderSheet(*LoadOrderableItems(*prices.table, *display.table), *stored.table);
        grid.setValue(m.table);
        benchmark::DoNotOptimize(grid.RecCount());
    }
}
BENCHMARK(BM_MergeAndGridValueOnly)->Unit(benchmark::kMillisecond);
