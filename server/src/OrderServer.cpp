#include "OrderServer.h"

#include "Password.h"
#include "Wire.h"

#include <corvane/fncXML.h>
#include <ostrel/DateTime.h>
#include <ostrel/RuntimeError.h>
#include <ostrel/clsTable.h>

#include <httplib.h>

#include <QDateTime>
#include <QHash>
#include <semaphore>

namespace vendra::server {

using ostrel::Currency;
using ostrel::Variant;

namespace {

const corvane::fncXML kXml;

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

QString missingField(const QString& name) { return QStringLiteral("필수 항목이 없습니다: ") + name; }
QString badNumber(const QString& name) { return QStringLiteral("숫자가 아닌 값이 있습니다: ") + name; }
QString badDate(const QString& name) { return QStringLiteral("날짜가 올바르지 않습니다: ") + name; }
QString badText(const QString& name) {
    return QStringLiteral("사용할 수 없는 문자열(</)이 들어 있습니다: ") + name;
}
const QString kMsgCount = QStringLiteral("RecCount가 보낸 항목의 수와 맞지 않습니다.");
const QString kMsgDuplicate = QStringLiteral("같은 항목이 두 번 들어 있습니다: ");

// Per-request facts for the log line, kept on the worker thread that serves the request.
struct RequestTrace {
    Clock::time_point start{};
    bool started = false;
    QString orderer;
};
thread_local RequestTrace trace;

// Password checks are deliberately expensive in memory; a few at a time is plenty.
std::counting_semaphore<64> hashSlots(4);

Variant money(Currency c) { return Variant(c); }
Variant text(const QString& s) { return Variant(s); }

Variant dateValue(const QString& iso) {
    auto d = ostrel::ParseDateText(iso);
    return d ? Variant(*d) : Variant();
}

// Field lookup by exact name, refusing names that occur twice.
class FieldMap {
public:
    explicit FieldMap(const std::vector<std::pair<QString, QString>>& fields) {
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

}  // namespace

struct OrderServer::Reply {
    int status = 200;
    QString body;
    QByteArray utf8;  // the body already encoded, when it comes from a cache

    static Reply ok(const QString& tags = {}) {
        return {200, kXml.SimpleTag(QStringLiteral("success"), Variant(int16_t(1))) + tags, {}};
    }
    static Reply refuse(int status, const QString& message, const QString& before = {}) {
        return {status, before + kXml.SimpleTag(QStringLiteral("success"), Variant(int16_t(0))) +
                            kXml.SimpleTag(QStringLiteral("failmsg"), Variant(message)),
                {}};
    }
};

namespace {

void writeUtf8(httplib::Response& res, int status, const QByteArray& utf8) {
    res.status = status;
    res.set_content(utf8.constData(), static_cast<size_t>(utf8.size()), "text/plain; charset=UTF-8");
}

void writeReply(httplib::Response& res, int status, const QString& body) { writeUtf8(res, status, body.toUtf8()); }

// Checks that every named field is present; the first missing one is reported.
bool require(const FieldMap& m, std::initializer_list<const char*> names, QString& missing) {
    for (const char* n : names) {
        if (!m.get(QString::fromLatin1(n))) {
            missing = QString::fromLatin1(n);
            return false;
        }
    }
    return true;
}

// Any "<subject>_<n>" field with n >= count, for the indexed groups of an update.
bool hasGroupBeyond(const FieldMap& m, std::initializer_list<const char*> subjects, int count) {
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

QString timeText() { return QDateTime::currentDateTime().toString(Qt::ISODateWithMs); }

// Log fields stay on one line whatever an ID holds.
QString oneLine(QString s) {
    for (QChar& c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('?');
    return s;
}

}  // namespace

OrderServer::OrderServer(Store& store, ServerOptions options)
    : store_(store),
      options_(std::move(options)),
      sessions_(options_.sessionIdleLimit),
      throttle_(options_.freeLoginFailures, options_.loginDelayBase, options_.loginDelayMax),
      http_(std::make_unique<httplib::Server>()) {
    install();
}

OrderServer::~OrderServer() { stop(); }

int OrderServer::bind(const QString& host, int port) {
    std::string h = host.toStdString();
    if (port == 0) return http_->bind_to_any_port(h);
    return http_->bind_to_port(h, port) ? port : -1;
}

bool OrderServer::run() { return http_->listen_after_bind(); }

void OrderServer::stop() {
    if (http_) http_->stop();
}

bool OrderServer::isRunning() const { return http_->is_running(); }

std::optional<Session> OrderServer::sessionOf(const httplib::Request& req) {
    const std::string prefix = std::string(kSessionCookie) + "=";
    size_t n = req.get_header_value_count("Cookie");
    for (size_t i = 0; i < n; ++i) {
        std::string header = req.get_header_value("Cookie", i);
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

void OrderServer::logRequest(const httplib::Request& req, const httplib::Response& res) {
    if (!options_.log) return;
    QString duration = QStringLiteral("-");
    if (trace.started) {
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - trace.start).count();
        duration = QString::number(ms, 'f', 2) + QStringLiteral("ms");
    }
    QString orderer = trace.orderer.isEmpty() ? QStringLiteral("-") : oneLine(trace.orderer);
    QByteArray line = (timeText() + QLatin1Char(' ') + oneLine(QString::fromStdString(req.method)) + QLatin1Char(' ') +
                       oneLine(QString::fromStdString(req.path)) + QStringLiteral(" orderer=") + orderer +
                       QStringLiteral(" status=") + QString::number(res.status) + QLatin1Char(' ') + duration +
                       QLatin1Char('\n'))
                          .toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), options_.log);
    std::fflush(options_.log);
    trace = RequestTrace{};
}

void OrderServer::install() {
    httplib::Server& s = *http_;
    const int threads = std::max(1, options_.threads);
    s.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    s.set_payload_max_length(options_.maxBodyBytes * 16);
    s.set_read_timeout(10, 0);
    s.set_write_timeout(10, 0);
    s.set_keep_alive_max_count(100);
    // Headers and body go out in separate writes; without this Nagle holds the body for an ACK.
    s.set_tcp_nodelay(true);

    s.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        trace = RequestTrace{Clock::now(), true, {}};
        return httplib::Server::HandlerResponse::Unhandled;
    });
    s.set_logger([this](const httplib::Request& req, const httplib::Response& res) { logRequest(req, res); });
    // Statuses the framework sets by itself (unknown path, body too large, malformed request)
    // still answer in tag text; replies of our handlers already carry theirs.
    s.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            const QString& msg =
                res.status == 404 ? kMsgUnknownPath : res.status == 413 ? kMsgTooLarge : kMsgBadRequest;
            writeReply(res, res.status, Reply::refuse(res.status, msg).body);
            return httplib::Server::HandlerResponse::Handled;
        }));
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        writeReply(res, 500, Reply::refuse(500, kMsgServerError).body);
    });

    enum class Method { Get, Post };
    enum class Needs { Nothing, Session };
    using Handler = std::function<Reply(OrderServer&, const Fields&, const std::optional<Session>&, std::string&)>;

    auto route = [this, &s](const char* path, Method method, Needs needs, Handler handler) {
        auto serve = [this, method, needs, handler](bool isPost, const httplib::Request& req, const std::string& body,
                                                    httplib::Response& res) {
            if (isPost != (method == Method::Post)) {
                res.set_header("Allow", method == Method::Post ? "POST" : "GET");
                writeReply(res, 405, Reply::refuse(405, kMsgBadMethod).body);
                return;
            }
            Reply reply;
            std::string cookie;
            try {
                QByteArrayView raw;
                if (isPost) {
                    raw = QByteArrayView(body.data(), static_cast<qsizetype>(body.size()));
                } else {
                    size_t q = req.target.find('?');
                    if (q != std::string::npos)
                        raw = QByteArrayView(req.target.data() + q + 1, static_cast<qsizetype>(req.target.size() - q - 1));
                }
                auto fields = DecodeForm(raw);
                if (!fields) {
                    reply = Reply::refuse(400, kMsgEncoding);
                } else {
                    trace.orderer = corvane::FormValue(*fields, u"OrdererCI");
                    if (trace.orderer.isEmpty()) trace.orderer = corvane::FormValue(*fields, u"BuyerCI");
                    std::optional<Session> session;
                    if (needs == Needs::Session) session = sessionOf(req);
                    if (session) trace.orderer = session->orderer;
                    if (needs == Needs::Session && !session)
                        reply = Reply::refuse(403, kMsgLoginNeeded);
                    else
                        reply = handler(*this, *fields, session, cookie);
                }
            } catch (const StoreError& e) {
                if (options_.log) std::fprintf(options_.log, "%s store error: %s\n", qPrintable(timeText()), e.what());
                reply = Reply::refuse(500, kMsgServerError);
            } catch (const ostrel::RuntimeError& e) {
                if (options_.log)
                    std::fprintf(options_.log, "%s error %d: %s\n", qPrintable(timeText()), e.number(), e.what());
                reply = Reply::refuse(500, kMsgServerError);
            } catch (const std::exception& e) {
                if (options_.log) std::fprintf(options_.log, "%s error: %s\n", qPrintable(timeText()), e.what());
                reply = Reply::refuse(500, kMsgServerError);
            }
            if (!cookie.empty()) res.set_header("Set-Cookie", cookie);
            if (!reply.utf8.isEmpty())
                writeUtf8(res, reply.status, reply.utf8);
            else
                writeReply(res, reply.status, reply.body);
        };
        s.Get(path, [serve](const httplib::Request& req, httplib::Response& res) { serve(false, req, req.body, res); });
        // Bodies are read through a content reader: the framework's own reading of form bodies stops
        // at 8 KiB, which is about 60 order lines.
        s.Post(path, [this, serve](const httplib::Request& req, httplib::Response& res,
                                   const httplib::ContentReader& reader) {
            // Reading stops keeping bytes at our limit but drains the rest, so the client is
            // told why (413) instead of seeing the connection drop; the framework's payload limit
            // (a multiple of ours) ends a body too large even to drain.
            std::string body;
            bool tooLarge = false;
            reader([&](const char* data, size_t length) {
                if (tooLarge || body.size() + length > options_.maxBodyBytes) {
                    tooLarge = true;
                    body.clear();
                    return true;
                }
                body.append(data, length);
                return true;
            });
            if (tooLarge) {
                writeReply(res, 413, Reply::refuse(413, kMsgTooLarge).body);
                return;
            }
            serve(true, req, body, res);
        });
    };

    route("/order_ctos_xml/login.php", Method::Get, Needs::Nothing,
          [](OrderServer& o, const Fields& f, const std::optional<Session>&, std::string& cookie) {
              return o.login(f, cookie);
          });
    route("/receiver_ctos/notice_select.php", Method::Post, Needs::Nothing,
          [](OrderServer& o, const Fields& f, const std::optional<Session>&, std::string&) {
              return o.noticeSelect(f);
          });
    route("/order_ctos_xml/orders_select.php", Method::Get, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.ordersSelect(f, s);
          });
    route("/order_ctos_xml/display_select.php", Method::Get, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.displaySelect(f, s);
          });
    route("/order_ctos_xml/unitprices_select.php", Method::Get, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.unitPricesSelect(f, s);
          });
    route("/invoices_xml/deliver_select.php", Method::Get, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.deliverSelect(f, s);
          });
    route("/order_ctos_xml/orders_update.php", Method::Post, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.ordersUpdate(f, s);
          });
    route("/order_ctos_xml/display_update.php", Method::Post, Needs::Session,
          [](OrderServer& o, const Fields& f, const std::optional<Session>& s, std::string&) {
              return o.displayUpdate(f, s);
          });
}

OrderServer::Reply OrderServer::login(const Fields& f, std::string& cookie) {
    const QString orderer = corvane::FormValue(f, u"OrdererCI");
    const QString receiver = corvane::FormValue(f, u"ReceiverCI");
    const QString password = corvane::FormValue(f, u"PassWord");
    const QString head = kXml.SimpleTag(QStringLiteral("version"), Variant(options_.versionText)) +
                         kXml.SimpleTag(QStringLiteral("notice"), Variant(options_.loginNotice));
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
    cookie = std::string(kSessionCookie) + "=" + token.toStdString() + "; Path=/; HttpOnly; SameSite=Strict";
    return {200, head + kXml.SimpleTag(QStringLiteral("success"), Variant(int16_t(1))) +
                     kXml.SimpleTag(QStringLiteral("dgr"), Variant(rec->grade)) +
                     kXml.SimpleTag(QStringLiteral("failmsg"), Variant(QString())),
            {}};
}

OrderServer::Reply OrderServer::noticeSelect(const Fields& f) {
    FieldMap m(f);
    QString missing;
    if (!require(m, {"ReceiverCI", "OrdererDgr"}, missing)) return Reply::refuse(400, missingField(missing));
    QString text = store_.notice(*m.get(QStringLiteral("ReceiverCI")), *m.get(QStringLiteral("OrdererDgr")));
    return Reply::ok(kXml.SimpleTag(QStringLiteral("notice"), Variant(text)));
}

OrderServer::Reply OrderServer::ordersSelect(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    QString missing;
    if (!require(m, {"DeliverDate", "OrdererCI", "ReceiverCI"}, missing)) return Reply::refuse(400, missingField(missing));
    const QString& orderer = *m.get(QStringLiteral("OrdererCI"));
    const QString& receiver = *m.get(QStringLiteral("ReceiverCI"));
    if (s->orderer != orderer || s->receiver != receiver) return Reply::refuse(403, kMsgNotYours);
    auto date = NormaliseDate(*m.get(QStringLiteral("DeliverDate")));
    if (!date) return Reply::refuse(400, badDate(QStringLiteral("DeliverDate")));

    StoredOrder o = store_.order(OrderKey{receiver, orderer, *date});
    ostrel::clsTable t;
    t.setNOF(8);
    auto row = [&t](const QString& product, Currency q, Currency p, const QString& vat, Currency g, Currency v,
                    Currency total, const QString& remark) {
        t.AppendBlank();
        t.setFields(0, text(product));
        t.setFields(1, money(q));
        t.setFields(2, money(p));
        t.setFields(3, text(vat));
        t.setFields(4, money(g));
        t.setFields(5, money(v));
        t.setFields(6, money(total));
        t.setFields(7, text(remark));
    };
    for (const OrderLine& l : o.lines) row(l.product, l.quantity, l.unitPrice, l.vat, l.supply, l.tax, l.amount, l.remark);
    if (!o.message.isEmpty()) row(QString(), {}, {}, QString(), {}, {}, {}, o.message);
    return Reply::ok(kXml.SimpleTag(QStringLiteral("received"), Variant(o.accepted)) + kXml.JarrayToTag(t));
}

OrderServer::Reply OrderServer::displaySelect(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    QString missing;
    if (!require(m, {"ReceiverCI", "OrdererCI"}, missing)) return Reply::refuse(400, missingField(missing));
    const QString& orderer = *m.get(QStringLiteral("OrdererCI"));
    const QString& receiver = *m.get(QStringLiteral("ReceiverCI"));
    if (s->orderer != orderer || s->receiver != receiver) return Reply::refuse(403, kMsgNotYours);
    ostrel::clsTable t;
    t.setNOF(1);
    for (const QString& k : store_.displayList(receiver, orderer)) {
        t.AppendBlank();
        t.setFields(0, text(k));
    }
    return Reply::ok(kXml.JarrayToTag(t));
}

OrderServer::Reply OrderServer::unitPricesSelect(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    QString missing;
    if (!require(m, {"ReceiverCI", "dgr"}, missing)) return Reply::refuse(400, missingField(missing));
    const QString& receiver = *m.get(QStringLiteral("ReceiverCI"));
    const QString& grade = *m.get(QStringLiteral("dgr"));
    if (s->receiver != receiver) return Reply::refuse(403, kMsgNotYours);
    // Only the prices of the orderer's own grade, as it stands now.
    std::optional<OrdererRecord> rec = store_.orderer(s->receiver, s->orderer);
    if (!rec || rec->grade != grade) return Reply::refuse(403, kMsgNotYours);
    // The version is read before the list: a price import in between makes the entry stale, never wrong.
    const int64_t version = store_.priceVersion();
    const QString cacheKey = receiver + QLatin1Char('\n') + grade;
    {
        std::lock_guard lock(priceCacheMutex_);
        auto it = priceCache_.constFind(cacheKey);
        if (it != priceCache_.constEnd() && it->version == version) return {200, {}, it->utf8};
    }
    ostrel::clsTable t;
    t.setNOF(3);
    for (const PriceRow& p : store_.priceList(receiver, grade)) {
        t.AppendBlank();
        t.setFields(0, text(JoinProductKey(p.name, p.unit)));
        t.setFields(1, money(p.unitPrice));
        t.setFields(2, text(p.vat));
    }
    Reply reply = Reply::ok(kXml.JarrayToTag(t));
    reply.utf8 = reply.body.toUtf8();
    std::lock_guard lock(priceCacheMutex_);
    if (priceCache_.size() > 1000) priceCache_.clear();
    priceCache_.insert(cacheKey, CachedReply{version, reply.utf8});
    return reply;
}

OrderServer::Reply OrderServer::deliverSelect(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    QString missing;
    if (!require(m, {"Date1", "Date2", "SellerCI", "BuyerCI"}, missing)) return Reply::refuse(400, missingField(missing));
    const QString& seller = *m.get(QStringLiteral("SellerCI"));
    const QString& buyer = *m.get(QStringLiteral("BuyerCI"));
    if (s->orderer != buyer || s->receiver != seller) return Reply::refuse(403, kMsgNotYours);
    auto from = NormaliseDate(*m.get(QStringLiteral("Date1")));
    if (!from) return Reply::refuse(400, badDate(QStringLiteral("Date1")));
    auto to = NormaliseDate(*m.get(QStringLiteral("Date2")));
    if (!to) return Reply::refuse(400, badDate(QStringLiteral("Date2")));
    ostrel::clsTable t;
    t.setNOF(8);
    for (const DeliveryRow& d : store_.deliveries(seller, buyer, *from, *to)) {
        t.AppendBlank();
        t.setFields(0, dateValue(d.date));
        t.setFields(1, text(d.product));
        t.setFields(2, money(d.quantity));
        t.setFields(3, money(d.unitPrice));
        t.setFields(4, text(d.vat));
        t.setFields(5, money(d.supply));
        t.setFields(6, money(d.tax));
        t.setFields(7, money(d.amount));
    }
    return Reply::ok(kXml.JarrayToTag(t));
}

OrderServer::Reply OrderServer::ordersUpdate(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    if (!m.duplicate().isEmpty()) return Reply::refuse(400, kMsgDuplicate + m.duplicate());
    QString missing;
    if (!require(m, {"DeliverDate", "OrdererCI", "ReceiverCI", "RecCount"}, missing))
        return Reply::refuse(400, missingField(missing));
    const QString& orderer = *m.get(QStringLiteral("OrdererCI"));
    const QString& receiver = *m.get(QStringLiteral("ReceiverCI"));
    if (s->orderer != orderer || s->receiver != receiver) return Reply::refuse(403, kMsgNotYours);
    auto date = NormaliseDate(*m.get(QStringLiteral("DeliverDate")));
    if (!date) return Reply::refuse(400, badDate(QStringLiteral("DeliverDate")));
    // One more than the line limit leaves room for the message group.
    auto count = ParseCount(m.get(QStringLiteral("RecCount"))->trimmed(), options_.maxLinesPerOrder + 1);
    if (!count) return Reply::refuse(400, badNumber(QStringLiteral("RecCount")));
    static const std::initializer_list<const char*> kGroup = {"Product", "Quantity", "Dg", "Vat",
                                                              "Gg",      "Gv",       "Gt", "Remark"};
    if (hasGroupBeyond(m, kGroup, *count)) return Reply::refuse(400, kMsgCount);

    std::vector<OrderLine> lines;
    lines.reserve(static_cast<size_t>(*count));
    QString message;
    for (int n = 0; n < *count; ++n) {
        const QString suffix = QLatin1Char('_') + QString::number(n);
        const QString* v[8];
        int k = 0;
        for (const char* subject : kGroup) {
            QString name = QLatin1String(subject) + suffix;
            v[k] = m.get(name);
            if (!v[k]) return Reply::refuse(400, kMsgCount + QLatin1Char(' ') + missingField(name));
            ++k;
        }
        OrderLine l;
        l.product = *v[0];
        l.vat = *v[3];
        l.remark = *v[7];
        Currency* numbers[] = {&l.quantity, &l.unitPrice, &l.supply, &l.tax, &l.amount};
        const int numberFields[] = {1, 2, 4, 5, 6};
        for (int i = 0; i < 5; ++i) {
            auto a = ParseAmount(*v[numberFields[i]]);
            if (!a) return Reply::refuse(400, badNumber(QLatin1String(*(kGroup.begin() + numberFields[i])) + suffix));
            *numbers[i] = *a;
        }
        for (int i : {0, 3, 7})
            if (!StorableText(*v[i])) return Reply::refuse(400, badText(QLatin1String(*(kGroup.begin() + i)) + suffix));
        if (l.product.isEmpty()) {
            message = l.remark;  // the message group; the last one wins, as the client reads it
            continue;
        }
        lines.push_back(std::move(l));
    }
    if (static_cast<int>(lines.size()) > options_.maxLinesPerOrder) return Reply::refuse(400, kMsgCount);
    if (store_.replaceOrder(OrderKey{receiver, orderer, *date}, lines, message) == ReplaceResult::Locked)
        return Reply::refuse(409, kLockedMessage);
    return Reply::ok();
}

OrderServer::Reply OrderServer::displayUpdate(const Fields& f, const std::optional<Session>& s) {
    FieldMap m(f);
    if (!m.duplicate().isEmpty()) return Reply::refuse(400, kMsgDuplicate + m.duplicate());
    QString missing;
    if (!require(m, {"OrdererCI", "ReceiverCI", "RecCount"}, missing)) return Reply::refuse(400, missingField(missing));
    const QString& orderer = *m.get(QStringLiteral("OrdererCI"));
    const QString& receiver = *m.get(QStringLiteral("ReceiverCI"));
    if (s->orderer != orderer || s->receiver != receiver) return Reply::refuse(403, kMsgNotYours);
    auto count = ParseCount(m.get(QStringLiteral("RecCount"))->trimmed(), 100000);
    if (!count) return Reply::refuse(400, badNumber(QStringLiteral("RecCount")));
    if (hasGroupBeyond(m, {"Product"}, *count)) return Reply::refuse(400, kMsgCount);
    std::vector<QString> keys;
    QSet<QString> seen;
    for (int n = 0; n < *count; ++n) {
        QString name = QStringLiteral("Product_") + QString::number(n);
        const QString* k = m.get(name);
        if (!k) return Reply::refuse(400, kMsgCount + QLatin1Char(' ') + missingField(name));
        if (k->isEmpty()) return Reply::refuse(400, missingField(name));
        if (!StorableText(*k)) return Reply::refuse(400, badText(name));
        if (seen.contains(*k)) continue;
        seen.insert(*k);
        keys.push_back(*k);
    }
    store_.replaceDisplayList(receiver, orderer, keys);
    return Reply::ok();
}

}  // namespace vendra::server
