#include "PgStore.h"

#include <vendra/order/ProductKey.h>

#include <pqxx/pqxx>

#include <QDateTime>
#include <algorithm>
#include <string>

namespace vendra::server {

namespace {

// Schema steps; step i brings version i to i + 1, numbered as the SQLite store's. Never edit a
// step once released: add one. Texts compare as bytes (COLLATE "C"), as they do in SQLite.
const char* const kMigrations[] = {
    R"sql(
CREATE TABLE meta(name TEXT COLLATE "C" PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE receivers(id TEXT COLLATE "C" PRIMARY KEY, name TEXT NOT NULL DEFAULT '');
CREATE TABLE orderers(
  receiver TEXT COLLATE "C" NOT NULL REFERENCES receivers(id),
  id TEXT COLLATE "C" NOT NULL,
  grade TEXT NOT NULL,
  password_hash TEXT NOT NULL,
  PRIMARY KEY(receiver, id));
CREATE TABLE notices(
  receiver TEXT COLLATE "C" NOT NULL REFERENCES receivers(id),
  grade TEXT COLLATE "C" NOT NULL,
  text TEXT NOT NULL,
  PRIMARY KEY(receiver, grade));
CREATE TABLE products(
  receiver TEXT COLLATE "C" NOT NULL REFERENCES receivers(id),
  key TEXT COLLATE "C" NOT NULL,
  name TEXT NOT NULL,
  unit TEXT NOT NULL,
  position BIGINT NOT NULL,
  PRIMARY KEY(receiver, key));
CREATE TABLE prices(
  receiver TEXT COLLATE "C" NOT NULL,
  key TEXT COLLATE "C" NOT NULL,
  grade TEXT COLLATE "C" NOT NULL,
  unit_price BIGINT NOT NULL,
  vat TEXT NOT NULL,
  PRIMARY KEY(receiver, grade, key),
  FOREIGN KEY(receiver, key) REFERENCES products(receiver, key));
CREATE TABLE display_items(
  receiver TEXT COLLATE "C" NOT NULL,
  orderer TEXT COLLATE "C" NOT NULL,
  position BIGINT NOT NULL,
  key TEXT NOT NULL,
  PRIMARY KEY(receiver, orderer, position));
CREATE TABLE orders(
  id BIGSERIAL PRIMARY KEY,
  receiver TEXT COLLATE "C" NOT NULL,
  orderer TEXT COLLATE "C" NOT NULL,
  deliver_date TEXT COLLATE "C" NOT NULL,
  message TEXT NOT NULL DEFAULT '',
  accepted BOOLEAN NOT NULL DEFAULT FALSE,
  accepted_at TEXT,
  delivered_at TEXT,
  updated_at TEXT NOT NULL,
  UNIQUE(receiver, orderer, deliver_date));
CREATE TABLE order_lines(
  order_id BIGINT NOT NULL REFERENCES orders(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  product TEXT NOT NULL,
  quantity BIGINT NOT NULL,
  unit_price BIGINT NOT NULL,
  vat TEXT NOT NULL,
  supply BIGINT NOT NULL,
  tax BIGINT NOT NULL,
  amount BIGINT NOT NULL,
  remark TEXT NOT NULL,
  PRIMARY KEY(order_id, position));
CREATE TABLE deliveries(
  id BIGSERIAL PRIMARY KEY,
  seller TEXT COLLATE "C" NOT NULL,
  buyer TEXT COLLATE "C" NOT NULL,
  deliver_date TEXT COLLATE "C" NOT NULL,
  product TEXT NOT NULL,
  quantity BIGINT NOT NULL,
  unit_price BIGINT NOT NULL,
  vat TEXT NOT NULL,
  supply BIGINT NOT NULL,
  tax BIGINT NOT NULL,
  amount BIGINT NOT NULL);
CREATE INDEX deliveries_by_pair ON deliveries(seller, buyer, deliver_date);
)sql",
    R"sql(
CREATE TABLE sessions(
  token_digest TEXT COLLATE "C" PRIMARY KEY,
  receiver TEXT COLLATE "C" NOT NULL,
  orderer TEXT COLLATE "C" NOT NULL,
  last_used_ms BIGINT NOT NULL);
CREATE INDEX sessions_by_orderer ON sessions(receiver, orderer, last_used_ms);
CREATE INDEX sessions_by_use ON sessions(last_used_ms);
CREATE TABLE login_failures(
  id TEXT COLLATE "C" PRIMARY KEY,
  failures INTEGER NOT NULL,
  until_ms BIGINT NOT NULL);
CREATE INDEX login_failures_by_wait ON login_failures(until_ms);
)sql",
    R"sql(
CREATE TABLE order_history(
  id BIGSERIAL PRIMARY KEY,
  receiver TEXT COLLATE "C" NOT NULL,
  orderer TEXT COLLATE "C" NOT NULL,
  deliver_date TEXT COLLATE "C" NOT NULL,
  message TEXT NOT NULL,
  written_at TEXT NOT NULL,
  replaced_at TEXT NOT NULL,
  replaced_by TEXT NOT NULL);
CREATE INDEX order_history_by_order ON order_history(receiver, orderer, deliver_date);
CREATE TABLE order_history_lines(
  history_id BIGINT NOT NULL REFERENCES order_history(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  product TEXT NOT NULL,
  quantity BIGINT NOT NULL,
  unit_price BIGINT NOT NULL,
  vat TEXT NOT NULL,
  supply BIGINT NOT NULL,
  tax BIGINT NOT NULL,
  amount BIGINT NOT NULL,
  remark TEXT NOT NULL,
  PRIMARY KEY(history_id, position));
)sql",
};
static_assert(sizeof(kMigrations) / sizeof(kMigrations[0]) == PgStore::kSchemaVersion);

// Lines travel as one array per column and are unpacked by the server: one round trip per order.
#define LINE_ARRAYS \
    "$2::text[], $3::bigint[], $4::bigint[], $5::text[], $6::bigint[], $7::bigint[], $8::bigint[], $9::text[]"
#define ORDER_KEY "receiver = $1 AND orderer = $2 AND deliver_date = $3"

const std::vector<PgStatement> kStatements = {
    {"receiver_add",
     "INSERT INTO receivers(id, name) VALUES($1, $2) "
     "ON CONFLICT(id) DO UPDATE SET name = excluded.name WHERE excluded.name <> ''"},
    {"receiver_exists", "SELECT 1 FROM receivers WHERE id = $1"},
    {"receiver_lock", "SELECT 1 FROM receivers WHERE id = $1 FOR UPDATE"},
    {"orderer_get", "SELECT grade, password_hash FROM orderers WHERE receiver = $1 AND id = $2"},
    {"orderer_add", "INSERT INTO orderers(receiver, id, grade, password_hash) VALUES($1, $2, $3, $4)"},
    {"orderer_password", "UPDATE orderers SET password_hash = $3 WHERE receiver = $1 AND id = $2"},
    {"orderer_grade", "UPDATE orderers SET grade = $3 WHERE receiver = $1 AND id = $2"},
    {"notice_delete", "DELETE FROM notices WHERE receiver = $1 AND grade = $2"},
    {"notice_set",
     "INSERT INTO notices(receiver, grade, text) VALUES($1, $2, $3) "
     "ON CONFLICT(receiver, grade) DO UPDATE SET text = excluded.text"},
    {"notice_get", "SELECT text FROM notices WHERE receiver = $1 AND grade = $2"},
    {"product_add",
     "INSERT INTO products(receiver, key, name, unit, position) "
     "VALUES($1, $2, $3, $4, (SELECT COALESCE(MAX(position), 0) + 1 FROM products WHERE receiver = $1)) "
     "ON CONFLICT(receiver, key) DO NOTHING"},
    {"price_set",
     "INSERT INTO prices(receiver, key, grade, unit_price, vat) VALUES($1, $2, $3, $4, $5) "
     "ON CONFLICT(receiver, grade, key) DO UPDATE SET unit_price = excluded.unit_price, vat = excluded.vat"},
    {"price_version_bump",
     "INSERT INTO meta(name, value) VALUES('price_version', '1') "
     "ON CONFLICT(name) DO UPDATE SET value = (meta.value::bigint + 1)::text"},
    {"price_version", "SELECT value::bigint FROM meta WHERE name = 'price_version'"},
    {"price_list",
     "SELECT p.name, p.unit, g.unit_price, g.vat FROM prices g "
     "JOIN products p ON p.receiver = g.receiver AND p.key = g.key "
     "WHERE g.receiver = $1 AND g.grade = $2 ORDER BY p.position"},
    {"display_delete", "DELETE FROM display_items WHERE receiver = $1 AND orderer = $2"},
    {"display_add",
     "INSERT INTO display_items(receiver, orderer, position, key) "
     "SELECT $1, $2, n - 1, k FROM unnest($3::text[]) WITH ORDINALITY AS x(k, n)"},
    {"display_get", "SELECT key FROM display_items WHERE receiver = $1 AND orderer = $2 ORDER BY position"},
    {"order_lock", "SELECT id, accepted, delivered_at IS NOT NULL FROM orders WHERE " ORDER_KEY " FOR UPDATE"},
    {"order_keep",
     "WITH h AS (INSERT INTO order_history(receiver, orderer, deliver_date, message, written_at, replaced_at, "
     "replaced_by) SELECT receiver, orderer, deliver_date, message, updated_at, $2, $3 FROM orders WHERE id = $1 "
     "RETURNING id) "
     "INSERT INTO order_history_lines(history_id, position, product, quantity, unit_price, vat, supply, tax, amount, "
     "remark) SELECT h.id, l.position, l.product, l.quantity, l.unit_price, l.vat, l.supply, l.tax, l.amount, "
     "l.remark FROM h, order_lines l WHERE l.order_id = $1"},
    {"order_lines_delete", "DELETE FROM order_lines WHERE order_id = $1"},
    {"order_delete", "DELETE FROM orders WHERE id = $1"},
    {"order_update", "UPDATE orders SET message = $2, updated_at = $3 WHERE id = $1"},
    {"order_add",
     "INSERT INTO orders(receiver, orderer, deliver_date, message, updated_at) VALUES($1, $2, $3, $4, $5) "
     "ON CONFLICT(receiver, orderer, deliver_date) DO NOTHING RETURNING id"},
    {"order_lines_add",
     "INSERT INTO order_lines(order_id, position, product, quantity, unit_price, vat, supply, tax, amount, remark) "
     "SELECT $1, n - 1, p, q, u, v, s, t, a, r FROM unnest(" LINE_ARRAYS ") "
     "WITH ORDINALITY AS x(p, q, u, v, s, t, a, r, n)"},
    {"order_get",
     "SELECT o.message, o.accepted, o.accepted_at, o.delivered_at, l.position, l.product, l.quantity, "
     "l.unit_price, l.vat, l.supply, l.tax, l.amount, l.remark FROM orders o "
     "LEFT JOIN order_lines l ON l.order_id = o.id "
     "WHERE o.receiver = $1 AND o.orderer = $2 AND o.deliver_date = $3 ORDER BY l.position"},
    {"orders_list",
     "SELECT o.receiver, o.orderer, o.deliver_date, o.message, o.accepted, o.accepted_at, o.delivered_at, "
     "o.updated_at, COUNT(l.position), COALESCE(SUM(l.amount), 0) FROM orders o "
     "LEFT JOIN order_lines l ON l.order_id = o.id "
     "WHERE ($1 = '' OR o.receiver = $1) AND ($2 = '' OR o.deliver_date = $2) "
     "GROUP BY o.id ORDER BY o.deliver_date, o.receiver, o.orderer"},
    {"order_accept",
     "UPDATE orders SET accepted = TRUE, accepted_at = $4 WHERE " ORDER_KEY " AND NOT accepted RETURNING id"},
    {"order_exists", "SELECT 1 FROM orders WHERE " ORDER_KEY},
    {"order_history",
     "SELECT 0, o.id, o.message, o.updated_at, '', '', l.position, l.product, l.quantity, l.unit_price, l.vat, "
     "l.supply, l.tax, l.amount, l.remark FROM orders o LEFT JOIN order_lines l ON l.order_id = o.id "
     "WHERE o.receiver = $1 AND o.orderer = $2 AND o.deliver_date = $3 "
     "UNION ALL "
     "SELECT 1, h.id, h.message, h.written_at, h.replaced_at, h.replaced_by, l.position, l.product, l.quantity, "
     "l.unit_price, l.vat, l.supply, l.tax, l.amount, l.remark FROM order_history h "
     "LEFT JOIN order_history_lines l ON l.history_id = h.id "
     "WHERE h.receiver = $1 AND h.orderer = $2 AND h.deliver_date = $3 ORDER BY 1, 2 DESC, 7"},
    {"order_delivered", "UPDATE orders SET delivered_at = $2 WHERE id = $1"},
    {"deliveries_add",
     "INSERT INTO deliveries(seller, buyer, deliver_date, product, quantity, unit_price, vat, supply, tax, amount) "
     "SELECT * FROM unnest($1::text[], $2::text[], $3::text[], $4::text[], $5::bigint[], $6::bigint[], $7::text[], "
     "$8::bigint[], $9::bigint[], $10::bigint[])"},
    {"deliveries_get",
     "SELECT deliver_date, product, quantity, unit_price, vat, supply, tax, amount FROM deliveries "
     "WHERE seller = $1 AND buyer = $2 AND deliver_date BETWEEN $3 AND $4 ORDER BY deliver_date, id"},
    {"sessions_expire", "DELETE FROM sessions WHERE last_used_ms < $1"},
    {"sessions_trim",
     "DELETE FROM sessions WHERE receiver = $1 AND orderer = $2 AND token_digest NOT IN ("
     "SELECT token_digest FROM sessions WHERE receiver = $1 AND orderer = $2 ORDER BY last_used_ms DESC LIMIT $3)"},
    {"session_add",
     "INSERT INTO sessions(token_digest, receiver, orderer, last_used_ms) VALUES($1, $2, $3, $4) "
     "ON CONFLICT(token_digest) DO UPDATE SET receiver = excluded.receiver, orderer = excluded.orderer, "
     "last_used_ms = excluded.last_used_ms"},
    {"session_get", "SELECT receiver, orderer, last_used_ms FROM sessions WHERE token_digest = $1"},
    {"session_touch", "UPDATE sessions SET last_used_ms = GREATEST(last_used_ms, $2) WHERE token_digest = $1"},
    {"failures_get", "SELECT failures, until_ms FROM login_failures WHERE id = $1"},
    {"failures_forget", "DELETE FROM login_failures WHERE id = $1"},
    {"failures_trim",
     "DELETE FROM login_failures WHERE until_ms <= $1 AND failures < $2 "
     "AND (SELECT COUNT(*) FROM login_failures) > $3"},
    {"failures_set",
     "INSERT INTO login_failures(id, failures, until_ms) VALUES($1, $2, $3) "
     "ON CONFLICT(id) DO UPDATE SET failures = excluded.failures, until_ms = excluded.until_ms"},
    {"setting_get", "SELECT value FROM meta WHERE name = $1"},
    {"setting_set",
     "INSERT INTO meta(name, value) VALUES($1, $2) ON CONFLICT(name) DO UPDATE SET value = excluded.value"},
};

#undef LINE_ARRAYS
#undef ORDER_KEY

std::string nowText() { return QDateTime::currentDateTime().toString(Qt::ISODate).toStdString(); }

std::string u(const QString& s) { return s.toStdString(); }
QString text(const pqxx::field& f) { return f.is_null() ? QString() : QString::fromUtf8(f.c_str(), int(f.size())); }
int64_t integer(const pqxx::field& f) { return f.as<int64_t>(); }
Currency money(const pqxx::field& f) { return Currency::fromRaw(f.as<int64_t>()); }

// Array literals ("{...}") for unnest: texts quoted and escaped, numbers bare.
class ArrayText {
public:
    void add(const QString& v) {
        open();
        out_ += '"';
        for (char c : v.toStdString()) {
            if (c == '"' || c == '\\') out_ += '\\';
            out_ += c;
        }
        out_ += '"';
    }
    void add(int64_t v) {
        open();
        out_ += std::to_string(v);
    }
    void add(Currency v) { add(v.raw()); }
    std::string done() const { return out_.empty() ? "{}" : out_ + '}'; }

private:
    void open() { out_ += out_.empty() ? '{' : ','; }
    std::string out_;
};

std::string arrayOf(const std::vector<QString>& values) {
    ArrayText a;
    for (const QString& v : values) a.add(v);
    return a.done();
}

OrderLine lineAt(const pqxx::row& r, int first) {
    return OrderLine{text(r[first]),      money(r[first + 1]), money(r[first + 2]), text(r[first + 3]),
                     money(r[first + 4]), money(r[first + 5]), money(r[first + 6]), text(r[first + 7])};
}

void addDeliveriesIn(pqxx::transaction_base& w, const std::vector<DeliveryRow>& rows) {
    if (rows.empty()) return;
    ArrayText a[10];
    for (const DeliveryRow& r : rows) {
        a[0].add(r.seller);
        a[1].add(r.buyer);
        a[2].add(r.date);
        a[3].add(r.product);
        a[4].add(r.quantity);
        a[5].add(r.unitPrice);
        a[6].add(r.vat);
        a[7].add(r.supply);
        a[8].add(r.tax);
        a[9].add(r.amount);
    }
    w.exec_prepared("deliveries_add", a[0].done(), a[1].done(), a[2].done(), a[3].done(), a[4].done(), a[5].done(),
                    a[6].done(), a[7].done(), a[8].done(), a[9].done());
}

}  // namespace

PgStore::PgStore(const QString& url, size_t connections) : pool_(u(url), connections, kStatements) { migrate(); }

void PgStore::migrate() {
    pool_.run([](pqxx::connection& c) {
        pqxx::work w(c);
        w.exec("SELECT pg_advisory_xact_lock(7215004)");  // one migrating instance at a time
        w.exec("CREATE TABLE IF NOT EXISTS schema_version(version INTEGER NOT NULL)");
        pqxx::result r = w.exec("SELECT version FROM schema_version");
        const int version = r.empty() ? 0 : r[0][0].as<int>();
        if (version > kSchemaVersion)
            throw StoreError("store schema version " + std::to_string(version) + " is newer than this server (" +
                             std::to_string(kSchemaVersion) + ")");
        if (r.empty()) w.exec("INSERT INTO schema_version(version) VALUES(0)");
        for (int v = version; v < kSchemaVersion; ++v) {
            w.exec(kMigrations[v]);
            w.exec("UPDATE schema_version SET version = " + std::to_string(v + 1));
        }
        w.commit();
    });
}

int PgStore::schemaVersion() {
    int version = 0;
    pool_.run([&](pqxx::connection& c) {
        pqxx::nontransaction n(c);
        pqxx::result r = n.exec("SELECT version FROM schema_version");
        version = r.empty() ? 0 : r[0][0].as<int>();
    });
    return version;
}

void PgStore::addReceiver(const QString& id, const QString& name) {
    pool_.run([&](pqxx::connection& c) { pqxx::nontransaction(c).exec_prepared("receiver_add", u(id), u(name)); });
}

bool PgStore::receiverExists(const QString& id) {
    bool exists = false;
    pool_.run([&](pqxx::connection& c) {
        exists = !pqxx::nontransaction(c).exec_prepared("receiver_exists", u(id)).empty();
    });
    return exists;
}

void PgStore::addOrderer(const OrdererRecord& r) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        if (w.exec_prepared("receiver_lock", u(r.receiver)).empty()) throw StoreError("no receiver " + u(r.receiver));
        if (!w.exec_prepared("orderer_get", u(r.receiver), u(r.orderer)).empty())
            throw StoreError("orderer " + u(r.orderer) + " exists");
        w.exec_prepared("orderer_add", u(r.receiver), u(r.orderer), u(r.grade), u(r.passwordHash));
        w.commit();
    });
}

std::optional<OrdererRecord> PgStore::orderer(const QString& receiver, const QString& orderer) {
    std::optional<OrdererRecord> out;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("orderer_get", u(receiver), u(orderer));
        out.reset();
        if (!r.empty()) out = OrdererRecord{receiver, orderer, text(r[0][0]), text(r[0][1])};
    });
    return out;
}

bool PgStore::setPasswordHash(const QString& receiver, const QString& orderer, const QString& hash) {
    bool changed = false;
    pool_.run([&](pqxx::connection& c) {
        changed = pqxx::nontransaction(c)
                      .exec_prepared("orderer_password", u(receiver), u(orderer), u(hash))
                      .affected_rows() > 0;
    });
    return changed;
}

bool PgStore::setGrade(const QString& receiver, const QString& orderer, const QString& grade) {
    bool changed = false;
    pool_.run([&](pqxx::connection& c) {
        changed =
            pqxx::nontransaction(c).exec_prepared("orderer_grade", u(receiver), u(orderer), u(grade)).affected_rows() >
            0;
    });
    return changed;
}

void PgStore::setNotice(const QString& receiver, const QString& grade, const QString& text) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::nontransaction n(c);
        if (text.isEmpty())
            n.exec_prepared("notice_delete", u(receiver), u(grade));
        else
            n.exec_prepared("notice_set", u(receiver), u(grade), u(text));
    });
}

QString PgStore::notice(const QString& receiver, const QString& grade) {
    QString out;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("notice_get", u(receiver), u(grade));
        out = r.empty() ? QString() : text(r[0][0]);
    });
    return out;
}

void PgStore::importPrices(const QString& receiver, const std::vector<PriceRow>& rows) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        // The receiver's row lock keeps concurrent imports from numbering new products alike.
        if (w.exec_prepared("receiver_lock", u(receiver)).empty()) throw StoreError("no receiver " + u(receiver));
        for (const PriceRow& r : rows) {
            const std::string key = u(JoinProductKey(r.name, r.unit));
            w.exec_prepared("product_add", u(receiver), key, u(r.name), u(r.unit));
            w.exec_prepared("price_set", u(receiver), key, u(r.grade), r.unitPrice.raw(), u(r.vat));
        }
        w.exec_prepared("price_version_bump");
        w.commit();
    });
}

std::vector<PriceRow> PgStore::priceList(const QString& receiver, const QString& grade) {
    std::vector<PriceRow> out;
    pool_.run([&](pqxx::connection& c) {
        out.clear();
        for (const pqxx::row& r : pqxx::nontransaction(c).exec_prepared("price_list", u(receiver), u(grade)))
            out.push_back(PriceRow{text(r[0]), text(r[1]), grade, money(r[2]), text(r[3])});
    });
    return out;
}

int64_t PgStore::priceVersion() {
    int64_t version = 0;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("price_version");
        version = r.empty() ? 0 : integer(r[0][0]);
    });
    return version;
}

void PgStore::replaceDisplayList(const QString& receiver, const QString& orderer, const std::vector<QString>& keys) {
    const std::string array = arrayOf(keys);
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        w.exec_prepared("display_delete", u(receiver), u(orderer));
        w.exec_prepared("display_add", u(receiver), u(orderer), array);
        w.commit();
    });
}

std::vector<QString> PgStore::displayList(const QString& receiver, const QString& orderer) {
    std::vector<QString> out;
    pool_.run([&](pqxx::connection& c) {
        out.clear();
        for (const pqxx::row& r : pqxx::nontransaction(c).exec_prepared("display_get", u(receiver), u(orderer)))
            out.push_back(text(r[0]));
    });
    return out;
}

ReplaceResult PgStore::replaceOrder(const OrderKey& key, const std::vector<OrderLine>& lines, const QString& message) {
    ArrayText columns[8];
    for (const OrderLine& l : lines) {
        columns[0].add(l.product);
        columns[1].add(l.quantity);
        columns[2].add(l.unitPrice);
        columns[3].add(l.vat);
        columns[4].add(l.supply);
        columns[5].add(l.tax);
        columns[6].add(l.amount);
        columns[7].add(l.remark);
    }
    const std::string receiver = u(key.receiver), orderer = u(key.orderer), date = u(key.date), text = u(message);
    const bool removes = lines.empty() && message.isEmpty();
    ReplaceResult result = ReplaceResult::Replaced;
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        const std::string now = nowText();
        for (;;) {
            // The order's row lock: an accept waits for this replacement, or this one sees it.
            pqxx::result found = w.exec_prepared("order_lock", receiver, orderer, date);
            int64_t id = 0;
            if (!found.empty()) {
                if (found[0][1].as<bool>()) {
                    result = ReplaceResult::Locked;
                    return;  // nothing changed: the transaction rolls back
                }
                id = integer(found[0][0]);
                w.exec_prepared("order_keep", id, now, orderer);
                w.exec_prepared("order_lines_delete", id);
                if (removes) {
                    w.exec_prepared("order_delete", id);
                    break;
                }
                w.exec_prepared("order_update", id, text, now);
            } else {
                if (removes) break;
                pqxx::result added = w.exec_prepared("order_add", receiver, orderer, date, text, now);
                if (added.empty()) continue;  // another instance added it meanwhile: lock that one
                id = integer(added[0][0]);
            }
            if (!lines.empty())
                w.exec_prepared("order_lines_add", id, columns[0].done(), columns[1].done(), columns[2].done(),
                                columns[3].done(), columns[4].done(), columns[5].done(), columns[6].done(),
                                columns[7].done());
            break;
        }
        w.commit();
        result = ReplaceResult::Replaced;
    });
    return result;
}

StoredOrder PgStore::order(const OrderKey& key) {
    StoredOrder out;
    pool_.run([&](pqxx::connection& c) {
        // One statement reads the header and the lines, so both come from the same commit.
        pqxx::result r =
            pqxx::nontransaction(c).exec_prepared("order_get", u(key.receiver), u(key.orderer), u(key.date));
        out = StoredOrder{};
        for (const pqxx::row& row : r) {
            if (!out.exists) {
                out.exists = true;
                out.message = text(row[0]);
                out.accepted = row[1].as<bool>();
                out.acceptedAt = text(row[2]);
                out.deliveredAt = text(row[3]);
            }
            if (row[4].is_null()) continue;  // an order without lines
            out.lines.push_back(lineAt(row, 5));
        }
    });
    return out;
}

std::vector<OrderSummary> PgStore::listOrders(const QString& receiver, const QString& date) {
    std::vector<OrderSummary> out;
    pool_.run([&](pqxx::connection& c) {
        out.clear();
        for (const pqxx::row& r : pqxx::nontransaction(c).exec_prepared("orders_list", u(receiver), u(date))) {
            OrderSummary o;
            o.key = OrderKey{text(r[0]), text(r[1]), text(r[2])};
            o.message = text(r[3]);
            o.accepted = r[4].as<bool>();
            o.acceptedAt = text(r[5]);
            o.deliveredAt = text(r[6]);
            o.updatedAt = text(r[7]);
            o.lineCount = r[8].as<int>();
            o.total = money(r[9]);
            out.push_back(std::move(o));
        }
    });
    return out;
}

AcceptResult PgStore::acceptOrder(const OrderKey& key) {
    AcceptResult result = AcceptResult::NotFound;
    pool_.run([&](pqxx::connection& c) {
        pqxx::nontransaction n(c);
        if (!n.exec_prepared("order_accept", u(key.receiver), u(key.orderer), u(key.date), nowText()).empty())
            result = AcceptResult::Accepted;
        else if (!n.exec_prepared("order_exists", u(key.receiver), u(key.orderer), u(key.date)).empty())
            result = AcceptResult::AlreadyAccepted;
        else
            result = AcceptResult::NotFound;
    });
    return result;
}

std::vector<OrderVersion> PgStore::orderHistory(const OrderKey& key) {
    std::vector<OrderVersion> out;
    pool_.run([&](pqxx::connection& c) {
        // One statement, so the current version and the history come from the same commit.
        pqxx::result r =
            pqxx::nontransaction(c).exec_prepared("order_history", u(key.receiver), u(key.orderer), u(key.date));
        out.clear();
        int64_t kind = -1, version = -1;
        for (const pqxx::row& row : r) {
            if (integer(row[0]) != kind || integer(row[1]) != version) {
                kind = integer(row[0]);
                version = integer(row[1]);
                out.push_back(OrderVersion{text(row[3]), text(row[4]), text(row[5]), text(row[2]), {}});
            }
            if (row[6].is_null()) continue;  // a version without lines
            out.back().lines.push_back(lineAt(row, 7));
        }
    });
    return out;
}

DeliverResult PgStore::recordDelivery(const OrderKey& key, const std::vector<DeliveryRow>& rows) {
    DeliverResult result = DeliverResult::NotFound;
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        pqxx::result found = w.exec_prepared("order_lock", u(key.receiver), u(key.orderer), u(key.date));
        if (found.empty()) {
            result = DeliverResult::NotFound;
            return;
        }
        if (!found[0][1].as<bool>()) {
            result = DeliverResult::NotAccepted;
            return;
        }
        if (found[0][2].as<bool>()) {
            result = DeliverResult::AlreadyDelivered;
            return;
        }
        addDeliveriesIn(w, rows);
        w.exec_prepared("order_delivered", integer(found[0][0]), nowText());
        w.commit();
        result = DeliverResult::Delivered;
    });
    return result;
}

void PgStore::addDeliveries(const std::vector<DeliveryRow>& rows) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        addDeliveriesIn(w, rows);
        w.commit();
    });
}

std::vector<DeliveryRow> PgStore::deliveries(const QString& seller, const QString& buyer, const QString& from,
                                             const QString& to) {
    std::vector<DeliveryRow> out;
    pool_.run([&](pqxx::connection& c) {
        out.clear();
        for (const pqxx::row& r :
             pqxx::nontransaction(c).exec_prepared("deliveries_get", u(seller), u(buyer), u(from), u(to)))
            out.push_back(DeliveryRow{seller, buyer, text(r[0]), text(r[1]), money(r[2]), money(r[3]), text(r[4]),
                                      money(r[5]), money(r[6]), money(r[7])});
    });
    return out;
}

void PgStore::openSession(const SessionRecord& s, int64_t expiredBeforeMs, int keepPerOrderer) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        w.exec_prepared("sessions_expire", expiredBeforeMs);
        w.exec_prepared("sessions_trim", u(s.receiver), u(s.orderer), int64_t{std::max(0, keepPerOrderer - 1)});
        w.exec_prepared("session_add", u(s.tokenDigest), u(s.receiver), u(s.orderer), s.lastUsedMs);
        w.commit();
    });
}

std::optional<SessionRecord> PgStore::session(const QString& tokenDigest) {
    std::optional<SessionRecord> out;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("session_get", u(tokenDigest));
        out.reset();
        if (!r.empty()) out = SessionRecord{tokenDigest, text(r[0][0]), text(r[0][1]), integer(r[0][2])};
    });
    return out;
}

bool PgStore::touchSession(const QString& tokenDigest, int64_t lastUsedMs) {
    bool exists = false;
    pool_.run([&](pqxx::connection& c) {
        exists = pqxx::nontransaction(c).exec_prepared("session_touch", u(tokenDigest), lastUsedMs).affected_rows() > 0;
    });
    return exists;
}

LoginFailures PgStore::loginFailures(const QString& id) {
    LoginFailures out;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("failures_get", u(id));
        out = r.empty() ? LoginFailures{} : LoginFailures{r[0][0].as<int>(), integer(r[0][1])};
    });
    return out;
}

void PgStore::setLoginFailures(const QString& id, const LoginFailures& f, int64_t nowMs, int lightCount, int maxIds) {
    pool_.run([&](pqxx::connection& c) {
        pqxx::work w(c);
        if (f.count <= 0) {
            w.exec_prepared("failures_forget", u(id));
        } else {
            w.exec_prepared("failures_trim", nowMs, int64_t{lightCount}, int64_t{maxIds});
            w.exec_prepared("failures_set", u(id), f.count, f.untilMs);
        }
        w.commit();
    });
}

std::optional<QString> PgStore::setting(const QString& name) {
    std::optional<QString> out;
    pool_.run([&](pqxx::connection& c) {
        pqxx::result r = pqxx::nontransaction(c).exec_prepared("setting_get", u(name));
        out.reset();
        if (!r.empty()) out = text(r[0][0]);
    });
    return out;
}

void PgStore::setSetting(const QString& name, const QString& value) {
    pool_.run([&](pqxx::connection& c) { pqxx::nontransaction(c).exec_prepared("setting_set", u(name), u(value)); });
}

}  // namespace vendra::server
