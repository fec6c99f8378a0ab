#pragma once
// A peer answering fixed replies per path from its own thread on a free loopback port, keeping
// every request body (POST) or query (GET); a path with no reply set answers 404.
#include <QString>
#include <httplib.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vendra::test {

class ScriptedPeer {
public:
    struct Answer {
        int status = 200;
        std::string body;
    };

    ScriptedPeer() {
        server_.Get(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { serve(q, r, false); });
        server_.Post(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { serve(q, r, true); });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the thread listens would be lost and leave it listening for ever.
        while (!server_.is_running()) std::this_thread::yield();
    }
    ~ScriptedPeer() {
        server_.stop();
        thread_.join();
    }
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    void on(const std::string& path, Answer a) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[path] = std::move(a);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    // Raw bodies (POST) or queries (GET) received for `path`, in order.
    std::vector<std::string> received(const std::string& path) const {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = received_.find(path);
        return it == received_.end() ? std::vector<std::string>{} : it->second;
    }

    // The address of a peer that has gone: nothing listens there.
    static QString goneUrl() { return ScriptedPeer().url(); }

private:
    void serve(const httplib::Request& req, httplib::Response& res, bool post) {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t q = req.target.find('?');
        received_[req.path].push_back(post ? req.body : q == std::string::npos ? "" : req.target.substr(q + 1));
        const auto it = answers_.find(req.path);
        res.status = it == answers_.end() ? 404 : it->second.status;
        res.set_content(it == answers_.end() ? "not here" : it->second.body, "text/plain; charset=utf-8");
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Answer> answers_;
    std::map<std::string, std::vector<std::string>> received_;
};

}  // namespace vendra::test
