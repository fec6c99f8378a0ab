#pragma once
// HTTP peers on free loopback ports for the tests of anything that sends requests: a server that
// records what arrives (and can hold a handler until it goes away), a raw socket, and a server that
// accepts connections and drops them without a reply.
#include <httplib.h>

#include <QString>

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vendra::test {

struct Seen {
    std::string method, target, body;
    std::multimap<std::string, std::string> headers;  // without the server's REMOTE_/LOCAL_ entries
    std::set<std::string> names() const {
        std::set<std::string> n;
        for (const auto& h : headers) n.insert(h.first);
        return n;
    }
};

// An HTTP server on a free loopback port; `record` keeps a request, `hold` blocks a handler
// until the server goes away.
struct TestServer {
    httplib::Server http;
    int port = 0;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    std::vector<Seen> seen;

    explicit TestServer(const std::function<void(TestServer&)>& routes) {
        routes(*this);
        port = http.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { http.listen_after_bind(); });
    }
    ~TestServer() {
        { std::lock_guard lock(mutex); open = true; }
        released.notify_all();
        http.stop();
        thread.join();
    }
    QString url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path); }
    void record(const httplib::Request& req) {
        Seen s{req.method, req.target, req.body, {}};
        for (const auto& [k, v] : req.headers)
            if (k.rfind("REMOTE_", 0) != 0 && k.rfind("LOCAL_", 0) != 0) s.headers.emplace(k, v);
        std::lock_guard lock(mutex);
        seen.push_back(std::move(s));
    }
    void hold() {
        std::unique_lock lock(mutex);
        released.wait_for(lock, std::chrono::seconds(10), [this] { return open; });
    }
};

// A loopback socket on a free port; listening or not.
inline int loopbackSocket(int& port, bool listening) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    if (listening) ::listen(fd, 16);
    return fd;
}

// Accepts connections, reads the request head and closes without a reply.
struct DroppingServer {
    int port = 0;
    int fd = loopbackSocket(port, true);
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::thread thread{[this] {
        while (!stop) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            int c = ::accept(fd, nullptr, nullptr);
            ++accepted;
            char buf[4096];
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 1000) > 0) [[maybe_unused]] auto n = ::read(c, buf, sizeof buf);
            ::close(c);
        }
    }};
    ~DroppingServer() {
        stop = true;
        thread.join();
        ::close(fd);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/drop").arg(port); }
};

}  // namespace vendra::test
