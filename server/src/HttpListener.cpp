#include "HttpListener.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <atomic>
#include <map>
#include <optional>
#include <strings.h>
#include <sys/resource.h>
#include <unordered_set>

namespace vendra::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using SteadyClock = std::chrono::steady_clock;

namespace {

// A body kept up to its cap; the rest is read and dropped, so that the client still hears why (413)
// instead of seeing its connection drop. The parser's own body limit ends what is too large to drain.
struct CappedBody {
    struct value_type {
        std::string data;
        size_t cap = 0;
        bool overflow = false;
    };
    class reader {
    public:
        template <bool isRequest, class Fields>
        reader(http::header<isRequest, Fields>&, value_type& body) : body_(body) {}
        void init(const boost::optional<std::uint64_t>& length, beast::error_code& ec) {
            if (length && *length <= body_.cap) body_.data.reserve(static_cast<size_t>(*length));
            ec = {};
        }
        template <class Buffers>
        size_t put(const Buffers& buffers, beast::error_code& ec) {
            const size_t n = asio::buffer_size(buffers);
            if (!body_.overflow && body_.data.size() + n > body_.cap) {
                body_.overflow = true;
                std::string().swap(body_.data);
            }
            if (!body_.overflow)
                for (auto b : beast::buffers_range_ref(buffers))
                    body_.data.append(static_cast<const char*>(b.data()), b.size());
            ec = {};
            return n;
        }
        void finish(beast::error_code& ec) { ec = {}; }

    private:
        value_type& body_;
    };
};

constexpr size_t kDrainFactor = 16;

bool isParseError(const beast::error_code& ec) {
    return &ec.category() == &http::make_error_code(http::error::bad_target).category() &&
           ec != http::error::end_of_stream && ec != http::error::partial_message;
}

}  // namespace

std::vector<std::string> HttpRequest::values(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : headers)
        if (strcasecmp(n.c_str(), name.c_str()) == 0) out.push_back(v);
    return out;
}

class HttpListener::Impl {
public:
    Impl(HttpLimits l, HttpHandler h)
        : limits(l), handler(std::move(h)), pool(static_cast<size_t>(std::max(1, l.workers))) {}

    void accept();
    void accepted(const beast::error_code& ec, tcp::socket socket);
    void beginStop();
    void release(Connection* c, const asio::ip::address& address);
    HttpResponse call(const HttpRequest& request) {
        try {
            return handler(request);
        } catch (...) {
            return HttpResponse{500, "text/plain; charset=UTF-8", {}, {}};
        }
    }

    const HttpLimits limits;
    const HttpHandler handler;
    // Touched on the I/O thread only; declared before the context, whose end may still end connections.
    std::unordered_set<Connection*> connections;
    std::map<asio::ip::address, size_t> perAddress;
    bool stopping = false;
    std::atomic<bool> running{false};
    asio::io_context ioc{1};
    tcp::acceptor acceptor{ioc};
    asio::steady_timer acceptRetry{ioc};
    asio::steady_timer stopDeadline{ioc};
    asio::thread_pool pool;
};

class HttpListener::Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(Impl& owner, tcp::socket socket, asio::ip::address address)
        : owner_(owner), stream_(std::move(socket)), address_(address), acceptedAt_(SteadyClock::now()) {
        owner_.connections.insert(this);
        ++owner_.perAddress[address_];
    }
    ~Connection() { owner_.release(this, address_); }

    void start() {
        beast::error_code ignored;
        stream_.socket().set_option(tcp::no_delay(true), ignored);
        awaitRequest(true);
    }

    // On stop: a connection with no request under way, or only part of a header, goes now.
    void stopIfNotStarted() {
        if (state_ == State::Idle || state_ == State::Header) close();
    }

    void close() {
        state_ = State::Closed;
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.socket().close(ignored);
    }

private:
    enum class State { Idle, Header, Body, Handling, Writing, Closed };

    // Waits for the first byte of the next request: a new connection as long as a header may take,
    // a kept-alive one as long as it may idle.
    void awaitRequest(bool first) {
        if (owner_.stopping || state_ == State::Closed) return close();
        if (buffer_.size() > 0) return readHeader(SteadyClock::now());  // the next request is here already
        state_ = State::Idle;
        stream_.expires_after(first ? owner_.limits.headerTimeout : owner_.limits.idleTimeout);
        stream_.async_read_some(buffer_.prepare(512), [self = shared_from_this(), first](beast::error_code ec,
                                                                                          size_t n) {
            if (ec || self->state_ == State::Closed) return self->close();
            self->buffer_.commit(n);
            self->readHeader(first ? self->acceptedAt_ : SteadyClock::now());
        });
    }

    void readHeader(SteadyClock::time_point start) {
        state_ = State::Header;
        start_ = start;
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(owner_.limits.maxHeaderBytes));
        parser_->body_limit(owner_.limits.maxBodyBytes * kDrainFactor);
        parser_->get().body().cap = owner_.limits.maxBodyBytes;
        stream_.expires_at(start_ + owner_.limits.headerTimeout);
        http::async_read_header(stream_, buffer_, *parser_, [self = shared_from_this()](beast::error_code ec, size_t) {
            if (ec) return self->failed(ec);
            self->state_ = State::Body;
            self->stream_.expires_at(self->start_ + self->owner_.limits.requestTimeout);
            http::async_read(self->stream_, self->buffer_, *self->parser_,
                             [self](beast::error_code ec, size_t) { ec ? self->failed(ec) : self->dispatch(0); });
        });
    }

    // A request the parser refuses is answered, and the connection closed after; anything else
    // (deadline, the peer gone, our own closing) ends it at once.
    void failed(const beast::error_code& ec) {
        if (state_ == State::Closed || !isParseError(ec)) return close();
        closeAfterReply_ = true;
        dispatch(ec == http::error::header_limit ? 431 : ec == http::error::body_limit ? 413 : 400);
    }

    void dispatch(int fault) {
        HttpRequest request;
        if (parser_->is_header_done()) {
            auto& m = parser_->get();
            request.method = std::string(m.method_string());
            request.target = std::string(m.target());
            for (const auto& f : m) request.headers.emplace_back(std::string(f.name_string()), std::string(f.value()));
            keepAlive_ = m.keep_alive();
            version_ = m.version();
            if (m.body().overflow && fault == 0) fault = 413;
            request.body = std::move(m.body().data);
        }
        request.fault = fault;
        parser_.reset();
        state_ = State::Handling;
        asio::post(owner_.pool, [self = shared_from_this(), request = std::move(request),
                                 work = asio::make_work_guard(owner_.ioc)]() mutable {
            HttpResponse response = self->owner_.call(request);
            Impl& owner = self->owner_;
            asio::post(owner.ioc, [self = std::move(self), response = std::move(response)]() mutable {
                self->reply(std::move(response));
            });
        });
    }

    void reply(HttpResponse r) {
        if (state_ == State::Closed) return;  // closed at the stop deadline
        state_ = State::Writing;
        response_.emplace();
        auto& m = *response_;
        m.version(version_);
        m.result(static_cast<unsigned>(r.status));
        if (!r.contentType.empty()) m.set(http::field::content_type, r.contentType);
        for (const auto& [name, value] : r.headers) m.insert(beast::string_view(name), beast::string_view(value));
        m.body() = std::move(r.body);
        m.keep_alive(keepAlive_ && !closeAfterReply_ && !owner_.stopping);
        m.prepare_payload();
        stream_.expires_after(owner_.limits.requestTimeout);
        http::async_write(stream_, m, [self = shared_from_this()](beast::error_code ec, size_t) {
            const bool again = !ec && self->response_->keep_alive();
            self->response_.reset();
            if (!again) return self->close();
            // A large request grew the buffer; an idle connection keeps only a little.
            if (self->buffer_.capacity() > 16 * 1024 && self->buffer_.size() == 0) self->buffer_.shrink_to_fit();
            self->awaitRequest(false);
        });
    }

    Impl& owner_;
    beast::tcp_stream stream_;
    const asio::ip::address address_;
    const SteadyClock::time_point acceptedAt_;
    SteadyClock::time_point start_;
    State state_ = State::Idle;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<CappedBody>> parser_;
    std::optional<http::response<http::string_body>> response_;
    bool keepAlive_ = false;
    bool closeAfterReply_ = false;
    unsigned version_ = 11;
};

void HttpListener::Impl::accept() {
    acceptor.async_accept([this](const beast::error_code& ec, tcp::socket socket) { accepted(ec, std::move(socket)); });
}

void HttpListener::Impl::accepted(const beast::error_code& ec, tcp::socket socket) {
    if (stopping || !acceptor.is_open()) return;
    if (ec) {
        // Out of descriptors or memory: try again shortly instead of spinning.
        acceptRetry.expires_after(std::chrono::milliseconds(50));
        acceptRetry.async_wait([this](const beast::error_code& e) {
            if (!e) accept();
        });
        return;
    }
    beast::error_code e;
    const asio::ip::address address = socket.remote_endpoint(e).address();
    auto same = perAddress.find(address);
    const bool refused = e || connections.size() >= limits.maxConnections ||
                         (limits.maxPerAddress > 0 && same != perAddress.end() && same->second >= limits.maxPerAddress);
    if (refused)
        socket.close(e);
    else
        std::make_shared<Connection>(*this, std::move(socket), address)->start();
    accept();
}

void HttpListener::Impl::beginStop() {
    if (stopping) return;
    stopping = true;
    beast::error_code ignored;
    acceptor.close(ignored);
    acceptRetry.cancel();
    for (Connection* c : std::vector<Connection*>(connections.begin(), connections.end())) c->stopIfNotStarted();
    if (connections.empty()) return;
    stopDeadline.expires_after(limits.stopTimeout);
    stopDeadline.async_wait([this](const beast::error_code& e) {
        if (e) return;
        for (Connection* c : std::vector<Connection*>(connections.begin(), connections.end())) c->close();
    });
}

void HttpListener::Impl::release(Connection* c, const asio::ip::address& address) {
    connections.erase(c);
    auto it = perAddress.find(address);
    if (it != perAddress.end() && --it->second == 0) perAddress.erase(it);
    if (stopping && connections.empty()) stopDeadline.cancel();
}

HttpListener::HttpListener(HttpLimits limits, HttpHandler handler)
    : impl_(std::make_shared<Impl>(limits, std::move(handler))) {}

HttpListener::~HttpListener() { impl_->pool.join(); }

int HttpListener::bind(const std::string& host, int port) {
    beast::error_code ec;
    tcp::resolver resolver(impl_->ioc);
    auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::passive, ec);
    if (ec || found.empty()) return -1;
    tcp::acceptor& a = impl_->acceptor;
    const tcp::endpoint endpoint = found.begin()->endpoint();
    a.open(endpoint.protocol(), ec);
    if (!ec) a.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec) a.bind(endpoint, ec);
    if (!ec) a.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        a.close(ec);
        return -1;
    }
    return a.local_endpoint().port();
}

bool HttpListener::run() {
    if (!impl_->acceptor.is_open()) return false;
    impl_->running = true;
    impl_->accept();
    impl_->ioc.run();
    impl_->running = false;
    return true;
}

void HttpListener::stop() {
    asio::post(impl_->ioc, [impl = impl_.get()] { impl->beginStop(); });
}

bool HttpListener::isRunning() const { return impl_->running; }

size_t RaiseOpenFileLimit() {
    rlimit l{};
    if (getrlimit(RLIMIT_NOFILE, &l) != 0) return 0;
    if (l.rlim_cur < l.rlim_max) {
        l.rlim_cur = l.rlim_max;
        setrlimit(RLIMIT_NOFILE, &l);
        getrlimit(RLIMIT_NOFILE, &l);
    }
    return static_cast<size_t>(l.rlim_cur);
}

}  // namespace vendra::server
