// Many shops updating their orders through the cluster's https URL, as the client does (its web
// layer, its three tries), each shop a process of its own as each client is (the web layer keeps
// one cookie jar per process): the load of the fault runs. Writes, per shop, the last version the
// server acknowledged and the last one sent, and prints the figures.
//   deploy_shops_over_https URL CA_FILE SHOPS SECONDS OUT_FILE
#include "ServerRig.h"

#include <corvane/fncGetAndPost.h>
#include <corvane/fncXML.h>
#include <vendra/order/Protocol.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using vendra::server::test::Line;
using vendra::server::test::OrderUpdateBody;
using Clock = std::chrono::steady_clock;

namespace {

const QString kDate = QStringLiteral("2024-05-01");

// Version v of a shop's order: 1 + v % 7 lines, each carrying v, so that a torn or mixed order shows.
QString updateBody(const QString& shop, int version) {
    std::vector<Line> lines;
    for (int n = 0; n < 1 + version % 7; ++n)
        lines.push_back({QStringLiteral("품목%1").arg(n), QString::number(version), "10", "+", "10", "1", "11",
                         QStringLiteral("v%1").arg(version)});
    return OrderUpdateBody(kDate, lines, {}, shop);
}

bool success(const QString& reply) { return corvane::fncXML().GetTag(reply, u"success", 11).toBool(); }

struct Shop {
    int acknowledged = -1;
    int sent = -1;
    int failures = 0;
    int longestFailureRun = 0;
    std::vector<double> latenciesMs;
    std::map<std::string, int> causes;
};

void countCause(const corvane::fncGetAndPost& web, Shop& s) {
    ++s.causes[web.LastStatus() ? "HTTP " + std::to_string(web.LastStatus()) : web.LastError().left(60).toStdString()];
}

// One shop's figures as lines of text, from the shop's process to the parent.
void writeShop(const Shop& s, const std::string& path) {
    std::ofstream out(path);
    out << s.acknowledged << ' ' << s.sent << ' ' << s.failures << ' ' << s.longestFailureRun << '\n';
    for (double ms : s.latenciesMs) out << ms << ' ';
    out << '\n';
    for (const auto& [cause, n] : s.causes) out << n << ' ' << cause << '\n';
}

Shop readShop(const std::string& path) {
    Shop s;
    std::ifstream in(path);
    std::string latencies;
    in >> s.acknowledged >> s.sent >> s.failures >> s.longestFailureRun;
    std::getline(in, latencies);
    std::getline(in, latencies);
    std::istringstream l(latencies);
    for (double ms; l >> ms;) s.latenciesMs.push_back(ms);
    for (int n; in >> n;) {
        std::string cause;
        std::getline(in, cause);
        s.causes[cause.substr(1)] += n;
    }
    return s;
}

void runShop(const QString& base, const QString& caFile, const QString& shop, Clock::time_point end, Shop& s) {
    corvane::fncGetAndPost web;
    web.setCaFile(caFile);
    web.setConnectTimeout(2000);
    web.setTotalTimeout(10000);
    const QString login = QStringLiteral("OrdererCI=%1&ReceiverCI=farm&PassWord=pw").arg(shop);
    QString reply;
    int run = 0;
    bool loggedIn = false;
    for (int v = 0; Clock::now() < end;) {
        if (!loggedIn) {
            loggedIn = web.SendGet(base + vendra::path::Login, login, reply) && success(reply);
            if (!loggedIn) {
                ++s.failures;
                s.longestFailureRun = std::max(s.longestFailureRun, ++run);
                countCause(web, s);
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
            continue;
        }
        s.sent = v;
        const auto start = Clock::now();
        const bool answered = web.SendPost(base + vendra::path::OrdersUpdate, updateBody(shop, v), reply);
        if (answered && web.LastStatus() == 200 && success(reply)) {
            s.acknowledged = v;
            s.latenciesMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            run = 0;
            ++v;
            continue;
        }
        ++s.failures;
        s.longestFailureRun = std::max(s.longestFailureRun, ++run);
        countCause(web, s);
        if (answered && web.LastStatus() == 403) loggedIn = false;
        ++v;  // the next update supersedes the one that failed, whether or not it landed
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: deploy_shops_over_https URL CA_FILE SHOPS SECONDS OUT_FILE\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    const QString caFile = QString::fromLocal8Bit(argv[2]);
    const int shops = std::atoi(argv[3]);
    const int seconds = std::atoi(argv[4]);
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    const std::string out = argv[5];
    auto shopName = [](int i) { return QStringLiteral("shop%1").arg(i, 3, 10, QLatin1Char('0')); };
    std::vector<pid_t> children;
    for (int i = 0; i < shops; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            Shop s;
            runShop(base, caFile, shopName(i), end, s);
            writeShop(s, out + "." + std::to_string(i));
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) waitpid(pid, nullptr, 0);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<Shop> state;
    for (int i = 0; i < shops; ++i) {
        const std::string part = out + "." + std::to_string(i);
        state.push_back(readShop(part));
        std::remove(part.c_str());
    }

    std::ofstream summary(out);
    std::vector<double> all;
    std::map<std::string, int> causes;
    int failures = 0, longest = 0, shopsWithFailures = 0;
    for (int i = 0; i < shops; ++i) {
        const Shop& s = state[static_cast<size_t>(i)];
        summary << shopName(i).toStdString() << ' ' << s.acknowledged << ' ' << s.sent << '\n';
        for (const auto& [cause, n] : s.causes) causes[cause] += n;
        all.insert(all.end(), s.latenciesMs.begin(), s.latenciesMs.end());
        failures += s.failures;
        longest = std::max(longest, s.longestFailureRun);
        shopsWithFailures += s.failures > 0;
    }
    std::sort(all.begin(), all.end());
    auto pct = [&](double p) { return all.empty() ? 0.0 : all[static_cast<size_t>(p * double(all.size() - 1))]; };
    std::printf("shops %d, %.1f s: %zu updates acknowledged (%.1f/s), p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", shops,
                elapsed, all.size(), double(all.size()) / elapsed, pct(0.5), pct(0.99), all.empty() ? 0.0 : all.back());
    std::printf("failed requests %d in %d shops; longest run of failures in one shop %d\n", failures,
                shopsWithFailures, longest);
    for (const auto& [cause, n] : causes) std::printf("  %5d  %s\n", n, cause.c_str());
    return 0;
}
