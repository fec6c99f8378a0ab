// Shops against the real server binary, as the client behaves: one keep-alive connection per shop,
// a login, then rounds of the order road (unit prices, display list, stored order, update, stored
// order) with 1 to 4 s of thought between rounds. Shops come from 200 loopback addresses, so the
// default per-address limit holds. Optionally extra connections trickle a header one byte a second.
// Each case: requests per second, p50/p99/max latency, errors, and the server's resident memory.
#include "HttpListener.h"
#include "ServerRig.h"
#include "SqliteStore.h"

#include <vendra/order/Protocol.h>

#include <benchmark/benchmark.h>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <fstream>
#include <random>

using namespace vendra;
using namespace vendra::server;
using namespace vendra::server::test;

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using SteadyClock = std::chrono::steady_clock;

constexpr int kMaxShops = 2000;
constexpr int kProducts = 200;

QString shopName(int i) { return QStringLiteral("shop%1").arg(i, 4, 10, QLatin1Char('0')); }

struct ShopStore {
    TempStoreDir dir;
    ShopStore() {
        SqliteStore store(dir.path());
        std::vector<PriceRow> prices;
        for (int i = 0; i < kProducts; ++i)
            prices.push_back({QStringLiteral("상품%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("박스"), "A",
                              ostrel::Currency::fromInt(1000 + i), i % 2 ? "+" : ""});
        store.addReceiver("farm", QString());
        store.importPrices("farm", prices);
        for (int i = 0; i < kMaxShops; ++i)
            store.addOrderer({"farm", shopName(i), "A", HashPassword(QStringLiteral("pw"), HashStrength::Minimal)});
    }
};

ShopStore& shopStore() {
    static ShopStore s;
    return s;
}

struct Totals {
    std::vector<double> latenciesMs;
    int errors = 0;
    int cutOff = 0;  // trickling connections the server closed
};

// A shop's own random sequence. Seeded through seed_seq: minstd_rand seeded with small numbers directly
// starts every shop within the first 90 ms of a 4 s spread, a login rush no morning has.
std::minstd_rand seeded(int index) {
    std::seed_seq seed{index};
    return std::minstd_rand(seed);
}

class Shop : public std::enable_shared_from_this<Shop> {
public:
    Shop(asio::io_context& ioc, Totals& totals, int index, int port, SteadyClock::time_point end)
        : stream_(ioc), timer_(ioc), totals_(totals), index_(index), port_(port), end_(end), random_(seeded(index)) {
        const std::string me = shopName(index).toStdString();
        login_ = get(std::string(path::Login) + "?OrdererCI=" + me + "&ReceiverCI=farm&PassWord=pw");
        const std::string date = "2025-03-" + std::to_string(10 + index % 18);
        const std::string order =
            std::string(path::OrdersSelect) + "?DeliverDate=" + date + "&OrdererCI=" + me + "&ReceiverCI=farm";
        road_ = {get(std::string(path::UnitPricesSelect) + "?ReceiverCI=farm&dgr=A"),
                 get(std::string(path::DisplaySelect) + "?ReceiverCI=farm&OrdererCI=" + me), get(order),
                 post(path::OrdersUpdate, updateBody(me, date)), get(order)};
    }

    void start() { think(std::uniform_int_distribution<int>(0, 4000)(random_)); }

private:
    using Request = http::request<http::string_body>;
    static Request get(const std::string& target) {
        Request r{http::verb::get, target, 11};
        r.set(http::field::host, "127.0.0.1");
        return r;
    }
    static Request post(const std::string& target, const std::string& body) {
        Request r{http::verb::post, target, 11};
        r.set(http::field::host, "127.0.0.1");
        r.set(http::field::content_type, "application/x-www-form-urlencoded");
        r.body() = body;
        r.prepare_payload();
        return r;
    }
    static std::string updateBody(const std::string& orderer, const std::string& date) {
        std::vector<Line> lines;
        for (int k = 0; k < 10; ++k)
            lines.push_back({QStringLiteral("상품%1_박스").arg(k, 3, 10, QLatin1Char('0')), "2", "1000", "+", "2000",
                             "200", "2200", {}});
        return OrderUpdateBody(QString::fromStdString(date), lines, {}, QString::fromStdString(orderer))
            .toStdString();
    }

    void think(int ms) {
        timer_.expires_after(std::chrono::milliseconds(ms));
        timer_.async_wait([self = shared_from_this()](beast::error_code) { self->round(); });
    }

    void round() {
        if (SteadyClock::now() >= end_) return close();
        if (!stream_.socket().is_open()) return connect();
        step_ = 0;
        send(road_[0]);
    }

    void connect() {
        const std::string from = "127.0.0." + std::to_string(2 + index_ % 200);
        beast::error_code ec;
        stream_.socket().open(tcp::v4(), ec);
        if (!ec) stream_.socket().bind({asio::ip::make_address(from), 0}, ec);
        if (ec) return fail();
        stream_.expires_after(std::chrono::seconds(10));
        stream_.async_connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port_)},
                              [self = shared_from_this()](beast::error_code ec) {
                                  if (ec) return self->fail();
                                  self->loggingIn_ = true;
                                  self->send(self->login_);
                              });
    }

    void send(Request& request) {
        if (!cookie_.empty()) request.set(http::field::cookie, cookie_);
        sentAt_ = SteadyClock::now();
        stream_.expires_after(std::chrono::seconds(30));
        http::async_write(stream_, request, [self = shared_from_this()](beast::error_code ec, size_t) {
            if (ec) return self->fail();
            self->response_ = {};
            http::async_read(self->stream_, self->buffer_, self->response_,
                             [self](beast::error_code ec, size_t) { self->received(ec); });
        });
    }

    void received(const beast::error_code& ec) {
        if (ec) return fail();
        totals_.latenciesMs.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - sentAt_).count());
        if (response_.result_int() != 200 || response_.body().find("<success>1</success>") == std::string::npos)
            return fail();
        if (loggingIn_) {
            loggingIn_ = false;
            const std::string c(response_[http::field::set_cookie]);
            cookie_ = c.substr(0, c.find(';'));
            return round();
        }
        if (++step_ < road_.size()) return send(road_[step_]);
        think(std::uniform_int_distribution<int>(1000, 4000)(random_));
    }

    void fail() {
        ++totals_.errors;
        close();
        if (SteadyClock::now() < end_) think(1000);
    }

    void close() {
        beast::error_code ignored;
        stream_.socket().close(ignored);
    }

    beast::tcp_stream stream_;
    asio::steady_timer timer_;
    Totals& totals_;
    const int index_;
    const int port_;
    const SteadyClock::time_point end_;
    std::minstd_rand random_;
    Request login_;
    std::vector<Request> road_;
    size_t step_ = 0;
    bool loggingIn_ = false;
    std::string cookie_;
    SteadyClock::time_point sentAt_;
    beast::flat_buffer buffer_;
    http::response<http::string_body> response_;
};

// Sends a request header one byte a second and connects again whenever the server cuts it off.
class Trickler : public std::enable_shared_from_this<Trickler> {
public:
    Trickler(asio::io_context& ioc, Totals& totals, int index, int port, SteadyClock::time_point end)
        : socket_(ioc), timer_(ioc), totals_(totals), index_(index), port_(port), end_(end) {}

    void start() { connect(); }

private:
    void connect() {
        beast::error_code ec;
        socket_.close(ec);
        socket_.open(tcp::v4(), ec);
        socket_.bind({asio::ip::make_address("127.0.1." + std::to_string(1 + index_ % 50)), 0}, ec);
        socket_.async_connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port_)},
                              [self = shared_from_this()](beast::error_code ec) {
                                  self->sent_ = 0;
                                  ec ? self->wait() : self->trickle();
                              });
    }
    void trickle() {
        if (SteadyClock::now() >= end_) return (void)socket_.close();
        static const std::string header = std::string("GET ") + path::Login + "?OrdererCI=slow&ReceiverCI=farm";
        asio::async_write(socket_, asio::buffer(header.data() + sent_++ % header.size(), 1),
                          [self = shared_from_this()](beast::error_code ec, size_t) {
                              if (ec) {
                                  ++self->totals_.cutOff;
                                  return self->connect();
                              }
                              self->wait();
                          });
    }
    void wait() {
        timer_.expires_after(std::chrono::seconds(1));
        timer_.async_wait([self = shared_from_this()](beast::error_code) { self->trickle(); });
    }

    tcp::socket socket_;
    asio::steady_timer timer_;
    Totals& totals_;
    const int index_;
    const int port_;
    const SteadyClock::time_point end_;
    size_t sent_ = 0;
};

double residentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_Shops(benchmark::State& state) {
    RaiseOpenFileLimit();
    const int shops = static_cast<int>(state.range(0)), tricklers = static_cast<int>(state.range(1));
    const char* env = std::getenv("SHOP_SECONDS");
    const int seconds = env ? std::max(5, std::atoi(env)) : 20;
    ShopStore& store = shopStore();
    for (auto _ : state) {
        ServerProcess server(store.dir.pathStd());
        if (server.port() <= 0) return state.SkipWithError("the server did not start");
        asio::io_context ioc;
        Totals totals;
        const auto start = SteadyClock::now();
        const auto end = start + std::chrono::seconds(seconds);
        for (int i = 0; i < shops; ++i) std::make_shared<Shop>(ioc, totals, i, server.port(), end)->start();
        for (int i = 0; i < tricklers; ++i) std::make_shared<Trickler>(ioc, totals, i, server.port(), end)->start();
        // Memory is read near the end, with every shop connected.
        double rss = 0;
        asio::steady_timer memory(ioc, end - std::chrono::seconds(1));
        memory.async_wait([&](beast::error_code) { rss = residentMb(server.pid()); });
        ioc.run();
        const double took = std::chrono::duration<double>(SteadyClock::now() - start).count();
        auto& l = totals.latenciesMs;
        std::sort(l.begin(), l.end());
        auto at = [&](double p) {
            return l.empty() ? 0 : l[std::min(l.size() - 1, static_cast<size_t>(p * l.size()))];
        };
        state.counters["req_per_s"] = static_cast<double>(l.size()) / took;
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = l.empty() ? 0 : l.back();
        state.counters["errors"] = totals.errors;
        state.counters["cut_off"] = totals.cutOff;
        state.counters["server_rss_mb"] = rss;
    }
}

}  // namespace

BENCHMARK(BM_Shops)
    ->ArgNames({"shops", "trickling"})
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Args({2000, 0})
    ->Args({1000, 200})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
