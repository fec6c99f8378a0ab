// Load on the order server over loopback, all in one run: a trivial handler on the same HTTP
// framework (the ceiling), the price list (200 products), a stored order (30 lines), a 30-line
// order update (durable), and the same update committed straight to the store without HTTP, on
// SQLite and on PostgreSQL, beside pgbench running that transaction on the same PostgreSQL server.
// Each case reports requests per second and the 99th percentile latency.
#include "HttpListener.h"
#include "PgStore.h"
#include "Replies.h"
#include "ServerRig.h"
#include "SqliteStore.h"
#include "StoreEngines.h"
#include "Wire.h"

#include <corvane/fncXML.h>
#include <ostrel/clsTable.h>
#include <vendra/order/Protocol.h>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace vendra;
using namespace vendra::server;
using namespace vendra::server::test;
using ostrel::Currency;

namespace {

constexpr int kClients = 8;
constexpr int kLines = 30;
constexpr int kProducts = 200;

QString productKey(int i) { return QStringLiteral("상품%1_박스").arg(i, 3, 10, QLatin1Char('0')); }

std::vector<OrderLine> orderLines(int version) {
    std::vector<OrderLine> lines;
    for (int k = 0; k < kLines; ++k)
        lines.push_back({productKey(k), Currency::fromInt(1 + version % 9), Currency::fromInt(1200), "+",
                         Currency::fromInt(1200), Currency::fromInt(120), Currency::fromInt(1320),
                         QStringLiteral("비고 %1").arg(k)});
    return lines;
}

// The update body as the order client builds it.
std::string updateBody(const QString& date, int version) {
    std::vector<Line> lines;
    for (const OrderLine& l : orderLines(version))
        lines.push_back({l.product, l.quantity.toString(), l.unitPrice.toString(), l.vat, l.supply.toString(),
                         l.tax.toString(), l.amount.toString(), l.remark});
    return OrderUpdateBody(date, lines, {}, QStringLiteral("shop"), QStringLiteral("2024030509000000")).toStdString();
}

struct Rig {
    TempStoreDir dir;
    SqliteStore store{dir.path(QStringLiteral("bench.db"))};
    SqliteStore rawStore{dir.path(QStringLiteral("raw.db"))};
    std::unique_ptr<RunningServer> server;
    std::unique_ptr<HttpListener> ceiling;
    std::thread ceilingThread;
    int ceilingPort = 0;
    std::string cookie;

    Rig() {
        AddOrderer(store, "farm", "shop", "A", "pw");
        std::vector<PriceRow> prices;
        for (int i = 0; i < kProducts; ++i)
            prices.push_back({QStringLiteral("상품%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("박스"), "A",
                              Currency::fromInt(1000 + i),
                              i % 3 == 0   ? "+"
                              : i % 3 == 1 ? "/"
                                           : ""});
        store.importPrices("farm", prices);
        store.replaceOrder({"farm", "shop", "2024-03-05"}, orderLines(1), QStringLiteral("메시지"));

        ServerOptions o;
        o.log = nullptr;
        server = std::make_unique<RunningServer>(store, o);
        cookie = LoginCookie(server->port(), "shop", "pw");

        // Same connection layer and limits: only the handler differs.
        ceiling = std::make_unique<HttpListener>(o.http, [](const HttpRequest&) {
            return HttpResponse{200, "text/plain; charset=UTF-8", "<success>1</success>", {}};
        });
        ceilingPort = ceiling->bind("127.0.0.1", 0);
        ceilingThread = std::thread([this] { ceiling->run(); });
        while (!ceiling->isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Rig() {
        ceiling->stop();
        ceilingThread.join();
    }
    int port() const { return server->port(); }
};

Rig& rig() {
    static Rig r;
    return r;
}

struct LoadResult {
    double seconds = 0;
    std::vector<double> latenciesUs;
    int errors = 0;
};

// kClients threads on keep-alive connections, `perClient` requests each.
LoadResult load(int port, int perClient, const std::function<httplib::Result(httplib::Client&, int, int)>& request) {
    LoadResult out;
    std::vector<std::vector<double>> lat(kClients);
    std::atomic<int> errors{0};
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < kClients; ++t) {
        threads.emplace_back([&, t] {
            httplib::Client c("127.0.0.1", port);
            c.set_keep_alive(true);
            c.set_tcp_nodelay(true);
            lat[t].reserve(static_cast<size_t>(perClient));
            for (int i = 0; i < perClient; ++i) {
                auto t0 = std::chrono::steady_clock::now();
                httplib::Result r = request(c, t, i);
                lat[t].push_back(
                    std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
                if (!r || r->status != 200 || r->body.rfind("<success>1</success>", 0) != 0) ++errors;
            }
        });
    }
    for (auto& th : threads) th.join();
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (auto& v : lat) out.latenciesUs.insert(out.latenciesUs.end(), v.begin(), v.end());
    out.errors = errors;
    return out;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

void report(benchmark::State& state, const LoadResult& r) {
    state.counters["req_per_s"] = static_cast<double>(r.latenciesUs.size()) / r.seconds;
    state.counters["p50_us"] = percentile(r.latenciesUs, 0.50);
    state.counters["p99_us"] = percentile(r.latenciesUs, 0.99);
    state.counters["errors"] = r.errors;
    if (r.errors) state.SkipWithError("requests failed");
}

void BM_Ceiling_TrivialHandler(benchmark::State& state) {
    Rig& g = rig();
    for (auto _ : state) {
        LoadResult r = load(g.ceilingPort, 2000, [](httplib::Client& c, int, int) { return c.Get("/ping"); });
        report(state, r);
    }
}

void BM_UnitPricesSelect_200Products(benchmark::State& state) {
    Rig& g = rig();
    httplib::Headers h{{"Cookie", g.cookie}};
    {
        // The reply is what the client reads: 200 rows of 3 columns.
        httplib::Client c("127.0.0.1", g.port());
        auto r = c.Get(std::string(path::UnitPricesSelect) + "?ReceiverCI=farm&dgr=A", h);
        auto t = corvane::fncXML().TagToJarray(QString::fromStdString(r ? r->body : std::string()));
        if (t->RecCount() != kProducts || t->NOF() != 3) state.SkipWithError("wrong price list");
    }
    for (auto _ : state) {
        LoadResult r = load(g.port(), 500, [&](httplib::Client& c, int, int) {
            return c.Get(std::string(path::UnitPricesSelect) + "?ReceiverCI=farm&dgr=A&RequestTime=2024030509000000",
                         h);
        });
        report(state, r);
    }
}

void BM_OrdersSelect_30Lines(benchmark::State& state) {
    Rig& g = rig();
    httplib::Headers h{{"Cookie", g.cookie}};
    const std::string target =
        std::string(path::OrdersSelect) +
        "?DeliverDate=2024%2D03%2D05&OrdererCI=shop&ReceiverCI=farm&RequestTime=2024030509000000";
    {
        httplib::Client c("127.0.0.1", g.port());
        auto r = c.Get(target, h);
        auto t = corvane::fncXML().TagToJarray(QString::fromStdString(r ? r->body : std::string()));
        if (t->RecCount() != kLines + 1 || t->NOF() != 8) state.SkipWithError("wrong stored order");
    }
    for (auto _ : state) {
        LoadResult r = load(g.port(), 1000, [&](httplib::Client& c, int, int) { return c.Get(target, h); });
        report(state, r);
    }
}

void BM_OrdersUpdate_30Lines_Durable(benchmark::State& state) {
    Rig& g = rig();
    httplib::Headers h{{"Cookie", g.cookie}};
    // Bodies built before the clock starts; each client writes its own dates.
    std::vector<std::vector<std::string>> bodies(kClients);
    for (int t = 0; t < kClients; ++t)
        for (int v = 0; v < 8; ++v)
            bodies[t].push_back(
                updateBody(QStringLiteral("2025-01-%1").arg(t * 3 + v % 3 + 1, 2, 10, QLatin1Char('0')), v));
    for (auto _ : state) {
        LoadResult r = load(g.port(), 200, [&](httplib::Client& c, int t, int i) {
            return c.Post(path::OrdersUpdate, h, bodies[t][i % 8], "application/x-www-form-urlencoded");
        });
        report(state, r);
    }
}

void BM_RawStore_30LineReplace_Durable(benchmark::State& state) {
    Rig& g = rig();
    std::vector<std::vector<OrderLine>> versions;
    for (int v = 0; v < 8; ++v) versions.push_back(orderLines(v));
    for (auto _ : state) {
        LoadResult r;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 1500; ++i) {
            auto t0 = std::chrono::steady_clock::now();
            OrderKey key{"farm", "shop", QStringLiteral("2025-02-%1").arg(i % 20 + 1, 2, 10, QLatin1Char('0'))};
            g.rawStore.replaceOrder(key, versions[i % 8], QString());
            r.latenciesUs.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        }
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        report(state, r);
    }
}

// A durable PostgreSQL server of the benchmark's own (fsync and synchronous commit on), with the
// orders of 2025-03-01 to 2025-03-20 stored once: their ids are 1 to 20.
struct PgRig {
    PgInstance pg{true};
    std::string url;
    std::unique_ptr<PgStore> store;

    static OrderKey key(int day) {
        return {"farm", "shop", QStringLiteral("2025-03-%1").arg(day, 2, 10, QLatin1Char('0'))};
    }
    PgRig() {
        if (!pg.running() || (url = pg.createDatabase()).empty()) return;
        store = std::make_unique<PgStore>(QString::fromStdString(url), kClients);
        store->addReceiver("farm", {});
        for (int day = 1; day <= 20; ++day) store->replaceOrder(key(day), orderLines(0), {});
    }
};

PgRig& pgRig() {
    static PgRig r;
    return r;
}

// Client t replaces orders t + 1 and t + 1 + kClients in turn, so clients do not wait on each
// other's row locks; pgbench's script below does the same.
void BM_RawStore_30LineReplace_Durable_Postgres(benchmark::State& state) {
    PgRig& g = pgRig();
    if (!g.store) return state.SkipWithError(("PostgreSQL did not start: " + g.pg.error()).c_str());
    const int clients = static_cast<int>(state.range(0)), perClient = 2400 / clients;
    std::vector<std::vector<OrderLine>> versions;
    for (int v = 0; v < 8; ++v) versions.push_back(orderLines(v));
    for (auto _ : state) {
        LoadResult r;
        std::vector<std::vector<double>> lat(static_cast<size_t>(clients));
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> threads;
        for (int t = 0; t < clients; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < perClient; ++i) {
                    const auto t0 = std::chrono::steady_clock::now();
                    g.store->replaceOrder(PgRig::key(t + 1 + kClients * (i % 2)), versions[i % 8], QString());
                    lat[t].push_back(
                        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
                }
            });
        for (auto& th : threads) th.join();
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        for (auto& v : lat) r.latenciesUs.insert(r.latenciesUs.end(), v.begin(), v.end());
        report(state, r);
    }
}

// The store's replacement as one pgbench transaction: the row lock, the copy of the replaced
// version into the history, the lines deleted, the order row updated, 30 lines inserted. Without
// `history`, only the last three.
std::string pgbenchScript(bool history) {
    std::string s = "\\set d 1 + :client_id % " + std::to_string(kClients) + " + " + std::to_string(kClients) +
                    " * random(0, 1)\nBEGIN;\n";
    if (history)
        s += "SELECT id, accepted FROM orders WHERE id = :d FOR UPDATE;\n"
             "WITH h AS (INSERT INTO order_history(receiver, orderer, deliver_date, message, written_at, replaced_at, "
             "replaced_by) SELECT receiver, orderer, deliver_date, message, updated_at, '2025-01-01T00:00:00', "
             "'shop' FROM orders WHERE id = :d RETURNING id) INSERT INTO order_history_lines SELECT h.id, "
             "l.position, l.product, l.quantity, l.unit_price, l.vat, l.supply, l.tax, l.amount, l.remark FROM h, "
             "order_lines l WHERE l.order_id = :d;\n";
    s += "DELETE FROM order_lines WHERE order_id = :d;\n"
         "UPDATE orders SET message = '', updated_at = '2025-01-01T00:00:00' WHERE id = :d;\n"
         "INSERT INTO order_lines(order_id, position, product, quantity, unit_price, vat, supply, tax, amount, "
         "remark) VALUES ";
    const std::vector<OrderLine> lines = orderLines(3);
    for (size_t k = 0; k < lines.size(); ++k) {
        const OrderLine& l = lines[k];
        s += (k ? ", (:d, " : "(:d, ") + std::to_string(k) + ", '" + l.product.toStdString() + "', " +
             std::to_string(l.quantity.raw()) + ", " + std::to_string(l.unitPrice.raw()) + ", '" + l.vat.toStdString() +
             "', " + std::to_string(l.supply.raw()) + ", " + std::to_string(l.tax.raw()) + ", " +
             std::to_string(l.amount.raw()) + ", '" + l.remark.toStdString() + "')";
    }
    return s + ";\nCOMMIT;\n";
}

// pgbench with prepared statements, PG_SECONDS (default 10) long: transactions per second and the
// average latency it reports.
void BM_Pgbench_30LineReplace_Durable(benchmark::State& state) {
    PgRig& g = pgRig();
    if (!g.store) return state.SkipWithError(("PostgreSQL did not start: " + g.pg.error()).c_str());
    const int clients = static_cast<int>(state.range(0));
    TempStoreDir dir;
    const std::string script = dir.pathStd(QStringLiteral("replace.sql"));
    std::ofstream(script) << pgbenchScript(state.range(1) != 0);
    const char* seconds = std::getenv("PG_SECONDS");
    const std::string command = std::string(VENDRA_PG_BINDIR) + "/pgbench -n -M prepared -f " + script + " -c " +
                                std::to_string(clients) + " -j " + std::to_string(std::min(clients, 2)) + " -T " +
                                (seconds ? seconds : "10") + " -h 127.0.0.1 -p " + std::to_string(g.pg.port()) +
                                " -U vendra " + g.url.substr(g.url.rfind('/') + 1) + " 2>&1";
    for (auto _ : state) {
        std::string output;
        if (FILE* p = popen(command.c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, p)) output += buffer;
            if (pclose(p) != 0) return state.SkipWithError(("pgbench failed: " + output).c_str());
        }
        auto number = [&](const std::string& label) {
            const size_t at = output.find(label);
            return at == std::string::npos ? 0.0 : std::atof(output.c_str() + at + label.size());
        };
        state.counters["req_per_s"] = number("tps = ");
        state.counters["avg_us"] = number("latency average = ") * 1000;
        if (state.counters["req_per_s"] == 0) state.SkipWithError(("no tps in: " + output).c_str());
    }
}

}  // namespace

BENCHMARK(BM_Ceiling_TrivialHandler)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnitPricesSelect_200Products)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OrdersSelect_30Lines)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OrdersUpdate_30Lines_Durable)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawStore_30LineReplace_Durable)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawStore_30LineReplace_Durable_Postgres)
    ->Arg(1)
    ->Arg(kClients)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Clients, and whether the transaction copies the replaced version into the history as the store does.
BENCHMARK(BM_Pgbench_30LineReplace_Durable)
    ->Args({1, 1})
    ->Args({kClients, 1})
    ->Args({kClients, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

namespace {
// Where a price list reply spends its time: the store read and the reply text.
void BM_Part_PriceListRead(benchmark::State& state) {
    Rig& g = rig();
    for (auto _ : state) benchmark::DoNotOptimize(g.store.priceList("farm", "A"));
}
void BM_Part_PriceListReplyText(benchmark::State& state) {
    Rig& g = rig();
    auto rows = g.store.priceList("farm", "A");
    for (auto _ : state) benchmark::DoNotOptimize(PriceListReply(rows).toUtf8());
}
}  // namespace
BENCHMARK(BM_Part_PriceListRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Part_PriceListReplyText)->Unit(benchmark::kMicrosecond);

namespace {
void BM_Part_OrderRead(benchmark::State& state) {
    Rig& g = rig();
    for (auto _ : state) benchmark::DoNotOptimize(g.store.order({"farm", "shop", "2024-03-05"}));
}
void BM_Part_OrderReplyText(benchmark::State& state) {
    Rig& g = rig();
    StoredOrder o = g.store.order({"farm", "shop", "2024-03-05"});
    for (auto _ : state) benchmark::DoNotOptimize(StoredOrderReply(o).toUtf8());
}
}  // namespace
BENCHMARK(BM_Part_OrderRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Part_OrderReplyText)->Unit(benchmark::kMicrosecond);

namespace {
void BM_Part_DecodeUpdateBody(benchmark::State& state) {
    std::string body = updateBody(QStringLiteral("2025-01-01"), 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeForm(QByteArrayView(body.data(), static_cast<qsizetype>(body.size()))));
}
}  // namespace
BENCHMARK(BM_Part_DecodeUpdateBody)->Unit(benchmark::kMicrosecond);
