#include "OrderServer.h"

#include "Password.h"
#include "Replies.h"
#include "Wire.h"

#include <ostrel/RuntimeError.h>
#include <vendra/order/Protocol.h>

#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <semaphore>
#include <span>

namespace vendra::server {

namespace {

const QString kMsgLoginNeeded = QStringLiteral("로그인이 필요합니다. 프로그램을 다시 시작하여 로그인하십시오.");
const QString kMsgNotYours = QStringLiteral("로그인한 발주처의 자료만 조회하거나 수정할 수 있습니다.");
const QString kMsgLoginFailed = QStringLiteral("발주처ID, 수주처ID 또는 패스워드가 틀립니다.");
const QString kMsgThrottled = QStringLiteral("로그인 실패가 반복되었습니다. 잠시 후 다시 시도하십시오.");
const QString kMsgEncoding = QStringLiteral("요청의 글자 인코딩이 올바르지 않습니다.");
const QString kMsgTooLarge = QStringLiteral("요청이 너무 큽니다.");
const QString kMsgUnknownPath = QStringLiteral("알 수 없는 요청입니다.");
const QString kMsgBadMethod = QStringLiteral("허용되지 않는 요청 방식입니다.");
const QString kMsgBadRequest = QStringLiteral("잘못된 요청입니다.");
const QString kMsgServerError = QStringLiteral("서버 오류가 발생했습니다. 잠시 후 다시 시도하십시오.");
const QString kMsgCount = QStringLiteral("RecCount가 보낸 항목의 수와 맞지 않습니다.");
const QString kMsgDuplicate = QStringLiteral("같은 항목이 두 번 들어 있습니다: ");

QString missingField(const QString& name) { return QStringLiteral("필수 항목이 없습니다: ") + name; }
QString badNumber(const QString& name) { return QStringLiteral("숫자가 아닌 값이 있습니다: ") + name; }
QString badDate(const QString& name) { return QStringLiteral("날짜가 올바르지 않습니다: ") + name; }
QString badText(const QString& name) {
    return QStringLiteral("사용할 수 없는 문자열(</)이 들어 있습니다: ") + name;
}

// Password checks are deliberately expensive in memory; a few at a time is plenty.
std::counting_semaphore<64> hashSlots(4);

// Field lookup by exact name; the last of a repeated name wins, and the repetition is noted.
class FieldMap {
public:
    explicit FieldMap(const corvane::FormFields& fields) {
        for (const auto& [n, v] : fields) {
            if (map_.contains(n)) duplicate_ = n;
            map_.insert(n, v);
        }
    }
    const QString* get(const QString& name) const {
        auto it = map_.constFind(name);
        return it == map_.constEnd() ? nullptr : &it.value();
    }
    QString duplicate() const { return duplicate_; }
    const QHash<QString, QString>& all() const { return map_; }

private:
    QHash<QString, QString> map_;
    QString duplicate_;
};

HttpResponse utf8Response(int status, const QByteArray& utf8) {
    return {status, "text/plain; charset=UTF-8", utf8.toStdString(), {}};
}

// Any "<subject>_<n>" field with n >= count, for the indexed groups of an update.
bool hasGroupBeyond(const FieldMap& m, std::span<const char* const> subjects, int count) {
    for (auto it = m.all().constBegin(); it != m.all().constEnd(); ++it) {
        const QString& name = it.key();
        qsizetype us = name.lastIndexOf(QLatin1Char('_'));
        if (us <= 0) continue;
        QStringView head = QStringView(name).first(us);
        bool isGroup = false;
        for (const char* s : subjects) isGroup = isGroup || head == QLatin1String(s);
        if (!isGroup) continue;
        auto index = ParseCount(QStringView(name).sliced(us + 1), 1 << 30);
        if (index && *index >= count) return true;
    }
    return false;
}

QString indexed(const char* subject, int n) { return QLatin1String(subject) + QLatin1Char('_') + QString::number(n); }

QString timeText() { return QDateTime::currentDateTime().toString(Qt::ISODateWithMs); }

// Log fields stay on one line whatever an ID holds.
QString oneLine(QString s) {
    for (QChar& c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('?');
    return s;
}

enum class Method { Get, Post };

// The fields of a request that must name the session's orderer and receiver; none for the
// requests that need no session.
struct Owner {
    const char* orderer = nullptr;
    const char* receiver = nullptr;
};

}  // namespace

struct OrderServer::Reply {
    int status = 200;
    QString body;
    QByteArray utf8;  // the body already encoded, when it comes from a cache
    std::string cookie;  // the reply's Set-Cookie, when not empty

    static Reply ok(const QString& body) { return {200, body, {}, {}}; }
    static Reply refuse(int status, const QString& message, const QString& before = {}) {
        return {status, RefusalReply(message, before), {}, {}};
    }
};

// What a handler gets once the shared checks have passed.
struct OrderServer::Call {
    const corvane::FormFields& form;  // in request order
    FieldMap fields;
    std::optional<Session> session;
    std::string cookie;  // the reply's Set-Cookie, when not empty
    QString orderer;     // for the log line: the session's, else the one the request names

    // A field the route requires, so present.
    const QString& operator[](const char* name) const { return *fields.get(QLatin1String(name)); }
};

struct OrderServer::Route {
    const char* path;
    Method method;
    Owner owner;
    bool refusesRepeats;  // the updates: a field sent twice is refused
    std::vector<const char*> required;  // checked in this order; the first missing one is named
    Reply (OrderServer::*handle)(Call&);
};

const std::vector<OrderServer::Route>& OrderServer::routes() {
    using namespace field;
    static const std::vector<Route> table = {
        {path::Login, Method::Get, {}, false, {}, &OrderServer::login},
        {path::Notice, Method::Post, {}, false, {ReceiverCI, OrdererDgr}, &OrderServer::noticeSelect},
        {path::OrdersSelect,
         Method::Get,
         {OrdererCI, ReceiverCI},
         false,
         {DeliverDate, OrdererCI, ReceiverCI},
         &OrderServer::ordersSelect},
        {path::DisplaySelect,
         Method::Get,
         {OrdererCI, ReceiverCI},
         false,
         {ReceiverCI, OrdererCI},
         &OrderServer::displaySelect},
        // The grade, not the orderer, is in this request; the handler checks it against the session's.
        {path::UnitPricesSelect,
         Method::Get,
         {nullptr, ReceiverCI},
         false,
         {ReceiverCI, Dgr},
         &OrderServer::unitPricesSelect},
        {path::DeliverSelect,
         Method::Get,
         {BuyerCI, SellerCI},
         false,
         {Date1, Date2, SellerCI, BuyerCI},
         &OrderServer::deliverSelect},
        {path::OrdersUpdate,
         Method::Post,
         {OrdererCI, ReceiverCI},
         true,
         {DeliverDate, OrdererCI, ReceiverCI, RecCount},
         &OrderServer::ordersUpdate},
        {path::DisplayUpdate,
         Method::Post,
         {OrdererCI, ReceiverCI},
         true,
         {OrdererCI, ReceiverCI, RecCount},
         &OrderServer::displayUpdate},
    };
    return table;
}

OrderServer::OrderServer(Store& store, ServerOptions options)
    : store_(store),
      options_(std::move(options)),
      sessions_(store_, options_.sessionIdleLimit, options_.sessionsPerOrderer),
      throttle_(store_, options_.freeLoginFailures, options_.loginDelayBase, options_.loginDelayMax),
      http_(options_.http, [this](const HttpRequest& req) { return handle(req); }) {}

OrderServer::~OrderServer() = default;

int OrderServer::bind(const QString& host, int port) { return http_.bind(host.toStdString(), port); }

bool OrderServer::run() { return http_.run(); }

void OrderServer::stop() { http_.stop(); }

bool OrderServer::isRunning() const { return http_.isRunning(); }

std::optional<Session> OrderServer::sessionOf(const HttpRequest& req) {
    const std::string prefix = std::string(kSessionCookie) + "=";
    for (const std::string& header : req.values("Cookie")) {
        size_t pos = 0;
        while (pos < header.size()) {
            size_t end = header.find(';', pos);
            if (end == std::string::npos) end = header.size();
            std::string piece = header.substr(pos, end - pos);
            size_t a = piece.find_first_not_of(' ');
            if (a != std::string::npos && piece.compare(a, prefix.size(), prefix) == 0) {
                std::string token = piece.substr(a + prefix.size());
                while (!token.empty() && token.back() == ' ') token.pop_back();
                if (auto s = sessions_.find(QString::fromLatin1(token))) return s;
            }
            pos = end + 1;
        }
    }
    return std::nullopt;
}

void OrderServer::logRequest(const HttpRequest& req, int status, const QString& orderer, Clock::time_point start) {
    if (!options_.log) return;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    QByteArray line = (timeText() + QLatin1Char(' ') + oneLine(QString::fromStdString(req.method)) + QLatin1Char(' ') +
                       oneLine(QString::fromStdString(req.path())) + QStringLiteral(" orderer=") +
                       (orderer.isEmpty() ? QStringLiteral("-") : oneLine(orderer)) + QStringLiteral(" status=") +
                       QString::number(status) + QLatin1Char(' ') + QString::number(ms, 'f', 2) +
                       QStringLiteral("ms\n"))
                          .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), options_.log);
    std::fflush(options_.log);
}

// The route of the path answers; a request the connection layer could not read, an unknown path
// or the wrong method is refused in tag text like any other.
HttpResponse OrderServer::handle(const HttpRequest& req) {
    const Clock::time_point start = Clock::now();
    QString orderer;
    const std::string path = req.path();
    const auto& table = routes();
    auto route = std::find_if(table.begin(), table.end(), [&](const Route& r) { return path == r.path; });
    const bool isGet = req.method == "GET", isPost = req.method == "POST";
    Reply reply;
    std::vector<std::pair<std::string, std::string>> headers;
    if (req.fault) {
        reply = Reply::refuse(req.fault, req.fault == 400 ? kMsgBadRequest : kMsgTooLarge);
    } else if (route == table.end()) {
        reply = Reply::refuse(404, kMsgUnknownPath);
    } else if (!(route->method == Method::Get ? isGet : isPost)) {
        headers.emplace_back("Allow", route->method == Method::Post ? "POST" : "GET");
        reply = Reply::refuse(405, kMsgBadMethod);
    } else {
        const size_t q = req.target.find('?');
        QByteArrayView form;
        if (isPost)
            form = QByteArrayView(req.body.data(), static_cast<qsizetype>(req.body.size()));
        else if (q != std::string::npos)
            form = QByteArrayView(req.target.data() + q + 1, static_cast<qsizetype>(req.target.size() - q - 1));
        reply = serve(*route, req, form, orderer);
        if (!reply.cookie.empty()) headers.emplace_back("Set-Cookie", reply.cookie);
    }
    logRequest(req, reply.status, orderer, start);
    HttpResponse res = utf8Response(reply.status, reply.utf8.isEmpty() ? reply.body.toUtf8() : reply.utf8);
    res.headers = std::move(headers);
    return res;
}

OrderServer::Reply OrderServer::serve(const Route& route, const HttpRequest& req, QByteArrayView form,
                                      QString& orderer) {
    try {
        auto fields = DecodeForm(form);
        if (!fields) return Reply::refuse(400, kMsgEncoding);
        Call call{*fields, FieldMap(*fields), std::nullopt, {}, {}};
        std::optional<Reply> refusal = admit(route, req, call);
        orderer = call.orderer;
        if (refusal) return *refusal;
        Reply reply = (this->*route.handle)(call);
        reply.cookie = call.cookie;
        return reply;
    } catch (const StoreError& e) {
        if (options_.log)
            std::fprintf(options_.log, "%s store error %s: %s\n", qPrintable(timeText()),
                         e.state().empty() ? std::to_string(e.code()).c_str() : e.state().c_str(), e.what());
    } catch (const ostrel::RuntimeError& e) {
        if (options_.log) std::fprintf(options_.log, "%s error %d: %s\n", qPrintable(timeText()), e.number(), e.what());
    } catch (const std::exception& e) {
        if (options_.log) std::fprintf(options_.log, "%s error: %s\n", qPrintable(timeText()), e.what());
    }
    return Reply::refuse(500, kMsgServerError);
}

// The checks every route shares, in this order: the session when the route touches an orderer's
// data, fields sent twice, the required fields, and that the request names the session's own
// orderer and receiver. A refusal, or none when the handler may go ahead.
std::optional<OrderServer::Reply> OrderServer::admit(const Route& route, const HttpRequest& req, Call& c) {
    c.orderer = corvane::FormValue(c.form, QString::fromLatin1(field::OrdererCI));
    if (c.orderer.isEmpty()) c.orderer = corvane::FormValue(c.form, QString::fromLatin1(field::BuyerCI));
    if (route.owner.receiver) {
        c.session = sessionOf(req);
        if (!c.session) return Reply::refuse(403, kMsgLoginNeeded);
        c.orderer = c.session->orderer;
    }
    if (route.refusesRepeats && !c.fields.duplicate().isEmpty())
        return Reply::refuse(400, kMsgDuplicate + c.fields.duplicate());
    for (const char* name : route.required)
        if (!c.fields.get(QLatin1String(name))) return Reply::refuse(400, missingField(QLatin1String(name)));
    if (route.owner.receiver && (c[route.owner.receiver] != c.session->receiver ||
                                 (route.owner.orderer && c[route.owner.orderer] != c.session->orderer)))
        return Reply::refuse(403, kMsgNotYours);
    return std::nullopt;
}

OrderServer::Reply OrderServer::login(Call& c) {
    const QString orderer = corvane::FormValue(c.form, QString::fromLatin1(field::OrdererCI));
    const QString receiver = corvane::FormValue(c.form, QString::fromLatin1(field::ReceiverCI));
    const QString password = corvane::FormValue(c.form, QString::fromLatin1(field::PassWord));
    const QString head = LoginHead(options_.versionText, options_.loginNotice);
    if (orderer.isEmpty() || receiver.isEmpty()) return Reply::refuse(401, kMsgLoginFailed, head);

    const QString id = receiver + QLatin1Char('\n') + orderer;
    if (throttle_.waitFor(id).count() > 0) return Reply::refuse(429, kMsgThrottled, head);

    std::optional<OrdererRecord> rec = store_.orderer(receiver, orderer);
    bool ok = false;
    {
        hashSlots.acquire();
        struct Release {
            ~Release() { hashSlots.release(); }
        } release;
        ok = rec && VerifyPassword(rec->passwordHash, password);
    }
    if (!ok) {
        throttle_.failed(id);
        return Reply::refuse(401, kMsgLoginFailed, head);
    }
    throttle_.succeeded(id);
    QString token = sessions_.open(receiver, orderer);
    c.cookie = std::string(kSessionCookie) + "=" + token.toStdString() + "; Path=/; HttpOnly; SameSite=Strict";
    return Reply::ok(head + LoginSuccess(rec->grade));
}

OrderServer::Reply OrderServer::noticeSelect(Call& c) {
    return Reply::ok(NoticeReply(store_.notice(c[field::ReceiverCI], c[field::OrdererDgr])));
}

OrderServer::Reply OrderServer::ordersSelect(Call& c) {
    auto date = NormaliseDate(c[field::DeliverDate]);
    if (!date) return Reply::refuse(400, badDate(QLatin1String(field::DeliverDate)));
    return Reply::ok(StoredOrderReply(store_.order(OrderKey{c[field::ReceiverCI], c[field::OrdererCI], *date})));
}

OrderServer::Reply OrderServer::displaySelect(Call& c) {
    return Reply::ok(DisplayListReply(store_.displayList(c[field::ReceiverCI], c[field::OrdererCI])));
}

OrderServer::Reply OrderServer::unitPricesSelect(Call& c) {
    const QString& receiver = c[field::ReceiverCI];
    const QString& grade = c[field::Dgr];
    // Only the prices of the orderer's own grade, as it stands now.
    std::optional<OrdererRecord> rec = store_.orderer(c.session->receiver, c.session->orderer);
    if (!rec || rec->grade != grade) return Reply::refuse(403, kMsgNotYours);
    // The version is read before the list: a price import in between makes the entry stale, never wrong.
    const int64_t version = store_.priceVersion();
    const QString cacheKey = receiver + QLatin1Char('\n') + grade;
    {
        std::lock_guard lock(priceCacheMutex_);
        auto it = priceCache_.constFind(cacheKey);
        if (it != priceCache_.constEnd() && it->version == version) return {200, {}, it->utf8, {}};
    }
    Reply reply = Reply::ok(PriceListReply(store_.priceList(receiver, grade)));
    reply.utf8 = reply.body.toUtf8();
    std::lock_guard lock(priceCacheMutex_);
    if (priceCache_.size() > 1000) priceCache_.clear();
    priceCache_.insert(cacheKey, CachedReply{version, reply.utf8});
    return reply;
}

OrderServer::Reply OrderServer::deliverSelect(Call& c) {
    auto from = NormaliseDate(c[field::Date1]);
    if (!from) return Reply::refuse(400, badDate(QLatin1String(field::Date1)));
    auto to = NormaliseDate(c[field::Date2]);
    if (!to) return Reply::refuse(400, badDate(QLatin1String(field::Date2)));
    return Reply::ok(DeliveriesReply(store_.deliveries(c[field::SellerCI], c[field::BuyerCI], *from, *to)));
}

OrderServer::Reply OrderServer::ordersUpdate(Call& c) {
    auto date = NormaliseDate(c[field::DeliverDate]);
    if (!date) return Reply::refuse(400, badDate(QLatin1String(field::DeliverDate)));
    // One more than the line limit leaves room for the message group.
    auto count = ParseCount(c[field::RecCount].trimmed(), options_.maxLinesPerOrder + 1);
    if (!count) return Reply::refuse(400, badNumber(QLatin1String(field::RecCount)));
    const auto& group = field::OrderGroup;
    if (hasGroupBeyond(c.fields, group, *count)) return Reply::refuse(400, kMsgCount);

    std::vector<OrderLine> lines;
    lines.reserve(static_cast<size_t>(*count));
    QString message;
    for (int n = 0; n < *count; ++n) {
        std::array<const QString*, field::OrderGroup.size()> v{};
        for (size_t k = 0; k < group.size(); ++k) {
            v[k] = c.fields.get(indexed(group[k], n));
            if (!v[k]) return Reply::refuse(400, kMsgCount + QLatin1Char(' ') + missingField(indexed(group[k], n)));
        }
        OrderLine l;
        l.product = *v[0];
        l.vat = *v[3];
        l.remark = *v[7];
        Currency* numbers[] = {&l.quantity, &l.unitPrice, &l.supply, &l.tax, &l.amount};
        const size_t numberFields[] = {1, 2, 4, 5, 6};
        for (int i = 0; i < 5; ++i) {
            auto a = ParseAmount(*v[numberFields[i]]);
            if (!a) return Reply::refuse(400, badNumber(indexed(group[numberFields[i]], n)));
            *numbers[i] = *a;
        }
        for (size_t i : {0, 3, 7})
            if (!StorableText(*v[i])) return Reply::refuse(400, badText(indexed(group[i], n)));
        if (l.product.isEmpty()) {
            message = l.remark;  // the message group; the last one wins, as the client reads it
            continue;
        }
        lines.push_back(std::move(l));
    }
    if (static_cast<int>(lines.size()) > options_.maxLinesPerOrder) return Reply::refuse(400, kMsgCount);
    const OrderKey key{c[field::ReceiverCI], c[field::OrdererCI], *date};
    if (store_.replaceOrder(key, lines, message) == ReplaceResult::Locked)
        return Reply::refuse(409, LockedOrderMessage());
    return Reply::ok(SuccessReply());
}

OrderServer::Reply OrderServer::displayUpdate(Call& c) {
    auto count = ParseCount(c[field::RecCount].trimmed(), 100000);
    if (!count) return Reply::refuse(400, badNumber(QLatin1String(field::RecCount)));
    if (hasGroupBeyond(c.fields, field::DisplayGroup, *count)) return Reply::refuse(400, kMsgCount);
    std::vector<QString> keys;
    QSet<QString> seen;
    for (int n = 0; n < *count; ++n) {
        const QString name = indexed(field::Product, n);
        const QString* k = c.fields.get(name);
        if (!k) return Reply::refuse(400, kMsgCount + QLatin1Char(' ') + missingField(name));
        if (k->isEmpty()) return Reply::refuse(400, missingField(name));
        if (!StorableText(*k)) return Reply::refuse(400, badText(name));
        if (seen.contains(*k)) continue;
        seen.insert(*k);
        keys.push_back(*k);
    }
    store_.replaceDisplayList(c[field::ReceiverCI], c[field::OrdererCI], keys);
    return Reply::ok(SuccessReply());
}

}  // namespace vendra::server
