// A whole call against its limit and its wait hook, and the HTTP status it leaves behind.
#include "LoopbackServers.h"

#include "corvane/fncGetAndPost.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <unistd.h>

#include <algorithm>
#include <thread>
#include <vector>

using corvane::fncGetAndPost;

namespace {

// A loopback port that accepts connections (the kernel's backlog) and never answers.
struct SilentPort {
    int port = 0;
    int fd = vendra::test::loopbackSocket(port, true);
    ~SilentPort() { ::close(fd); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/hang").arg(port); }
};

}  // namespace

TEST(CallLimit, StatusOfEveryReplyWithAndWithoutAHook) {
    httplib::Server http;
    http.Get(R"(/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1]);
        res.set_content("<failmsg>x</failmsg>", "text/plain");
    });
    const int port = http.bind_to_any_port("127.0.0.1");
    std::thread t([&] { http.listen_after_bind(); });
    while (!http.is_running()) std::this_thread::yield();

    fncGetAndPost web;
    QString reply;
    for (bool hooked : {false, true}) {
        int turns = 0;
        web.setWaitHook(hooked ? fncGetAndPost::WaitHook([&turns](int) { return ++turns > 0; }) : nullptr);
        for (int status : {200, 204, 403, 404, 500, 503}) {
            const QString url = QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(status);
            EXPECT_TRUE(web.SendGet(url, QString(), reply)) << status;  // an error page is a reply
            EXPECT_EQ(web.LastStatus(), status);
            EXPECT_FALSE(web.LastCancelled());
        }
        EXPECT_EQ(reply, "<failmsg>x</failmsg>");
    }
    http.stop();
    t.join();
    // Nothing read: no status, whatever the call before read.
    EXPECT_FALSE(web.SendGet(QStringLiteral("http://127.0.0.1:%1/200").arg(port), QString(), reply));
    EXPECT_EQ(web.LastStatus(), 0);
}

TEST(CallLimit, AHungServerCostsOneCallLimitAndTheHookCanCancel) {
    SilentPort silent;
    // Every try would wait 30 s. A whole call limited to 300 ms makes one try and no second, the caller
    // having its turns while it waits; the hook's word cancels at once, with no further tries.
    struct Case {
        int limitMs, cancelOnTurn;
    };
    for (const Case c : {Case{300, 0}, Case{fncGetAndPost::kDefaultCallTimeoutMs, 3}}) {
        SCOPED_TRACE(c.limitMs);
        fncGetAndPost web;
        web.setCallTimeout(c.limitMs);
        std::vector<int> seen;
        web.setWaitHook([&](int ms) {
            seen.push_back(ms);
            return int(seen.size()) != c.cancelOnTurn;
        });
        QString reply = "old";
        EXPECT_FALSE(c.cancelOnTurn ? web.SendGet(silent.url(), QString(), reply)
                                    : web.SendPost(silent.url(), "a=1", reply));
        EXPECT_EQ(reply, "");
        EXPECT_EQ(web.LastTries(), 1);
        EXPECT_EQ(web.LastStatus(), 0);
        EXPECT_EQ(web.LastCancelled(), c.cancelOnTurn > 0);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        if (c.cancelOnTurn) EXPECT_EQ(int(seen.size()), c.cancelOnTurn);
        else EXPECT_GE(seen.size(), 2u);
    }
}
