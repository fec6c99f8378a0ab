#pragma once
// The server's connection layer: HTTP/1.1 by Boost.Beast on one Asio I/O thread. Connections hold no
// thread while they wait; a complete request goes to a small worker pool and its reply comes back to
// the I/O thread. Slow senders are cut off at a deadline, idle keep-alive connections after a while,
// and connections are bounded in all and per client address.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vendra::server {

struct HttpLimits {
    // From a request's first byte (a new connection's accept) until its header is complete.
    std::chrono::milliseconds headerTimeout = std::chrono::seconds(10);
    // From a request's first byte until its body is complete; also the deadline to write a reply.
    std::chrono::milliseconds requestTimeout = std::chrono::seconds(30);
    // A keep-alive connection waiting for its next request.
    std::chrono::milliseconds idleTimeout = std::chrono::seconds(60);
    // After stop(): requests in flight get this long before every connection is closed.
    std::chrono::milliseconds stopTimeout = std::chrono::seconds(5);
    size_t maxConnections = 10000;
    size_t maxPerAddress = 64;  // 0: no limit
    size_t maxBodyBytes = 1024 * 1024;
    size_t maxHeaderBytes = 64 * 1024;
    int workers = 32;  // waiting durable updates share one commit; reads go on meanwhile
};

struct HttpRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // Not 0 when the request cannot be served and only its refusal is to be worded: 400 malformed,
    // 413 body past the limit, 431 header past the limit.
    int fault = 0;

    std::string path() const { return target.substr(0, target.find('?')); }
    std::vector<std::string> values(const std::string& name) const;  // header values, name in any case
};

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

class HttpListener {
public:
    HttpListener(HttpLimits limits, HttpHandler handler);
    ~HttpListener();
    HttpListener(const HttpListener&) = delete;
    HttpListener& operator=(const HttpListener&) = delete;

    // Binds host:port (port 0 picks a free one); the bound port, or -1.
    int bind(const std::string& host, int port);
    // Serves on the calling thread until stop() has drained; false when there was nothing bound.
    bool run();
    // From any thread: stops accepting, closes idle connections, lets requests in flight finish and
    // answers them with "Connection: close"; what is still open after the stop timeout is closed.
    void stop();
    bool isRunning() const;

private:
    class Impl;
    class Connection;
    std::shared_ptr<Impl> impl_;
};

// Raises the soft limit of open files to the hard one; the limit now in force.
size_t RaiseOpenFileLimit();

}  // namespace vendra::server
