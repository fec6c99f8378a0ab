#include "SqliteStore.h"

#include "SqliteTransaction.h"

#include <vendra/order/ProductKey.h>

#include <QDateTime>
#include <algorithm>
#include <string>

namespace vendra::server {

namespace {

QString nowText() { return QDateTime::currentDateTime().toString(Qt::ISODate); }

// Schema steps; step i brings user_version i to i + 1. Never edit a step once released: add one.
const char* const kMigrations[] = {
    R"sql(
CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE receivers(id TEXT PRIMARY KEY, name TEXT NOT NULL DEFAULT '');
CREATE TABLE orderers(
  receiver TEXT NOT NULL REFERENCES receivers(id),
  id TEXT NOT NULL,
  grade TEXT NOT NULL,
  password_hash TEXT NOT NULL,
  PRIMARY KEY(receiver, id));
CREATE TABLE notices(
  receiver TEXT NOT NULL REFERENCES receivers(id),
  grade TEXT NOT NULL,
  text TEXT NOT NULL,
  PRIMARY KEY(receiver, grade));
CREATE TABLE products(
  receiver TEXT NOT NULL REFERENCES receivers(id),
  key TEXT NOT NULL,
  name TEXT NOT NULL,
  unit TEXT NOT NULL,
  position INTEGER NOT NULL,
  PRIMARY KEY(receiver, key));
CREATE TABLE prices(
  receiver TEXT NOT NULL,
  key TEXT NOT NULL,
  grade TEXT NOT NULL,
  unit_price INTEGER NOT NULL,
  vat TEXT NOT NULL,
  PRIMARY KEY(receiver, grade, key),
  FOREIGN KEY(receiver, key) REFERENCES products(receiver, key));
CREATE TABLE display_items(
  receiver TEXT NOT NULL,
  orderer TEXT NOT NULL,
  position INTEGER NOT NULL,
  key TEXT NOT NULL,
  PRIMARY KEY(receiver, orderer, position));
CREATE TABLE orders(
  id INTEGER PRIMARY KEY,
  receiver TEXT NOT NULL,
  orderer TEXT NOT NULL,
  deliver_date TEXT NOT NULL,
  message TEXT NOT NULL DEFAULT '',
  accepted INTEGER NOT NULL DEFAULT 0,
  accepted_at TEXT,
  delivered_at TEXT,
  updated_at TEXT NOT NULL,
  UNIQUE(receiver, orderer, deliver_date));
CREATE TABLE order_lines(
  order_id INTEGER NOT NULL REFERENCES orders(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  product TEXT NOT NULL,
  quantity INTEGER NOT NULL,
  unit_price INTEGER NOT NULL,
  vat TEXT NOT NULL,
  supply INTEGER NOT NULL,
  tax INTEGER NOT NULL,
  amount INTEGER NOT NULL,
  remark TEXT NOT NULL,
  PRIMARY KEY(order_id, position)) WITHOUT ROWID;
CREATE TABLE deliveries(
  id INTEGER PRIMARY KEY,
  seller TEXT NOT NULL,
  buyer TEXT NOT NULL,
  deliver_date TEXT NOT NULL,
  product TEXT NOT NULL,
  quantity INTEGER NOT NULL,
  unit_price INTEGER NOT NULL,
  vat TEXT NOT NULL,
  supply INTEGER NOT NULL,
  tax INTEGER NOT NULL,
  amount INTEGER NOT NULL);
CREATE INDEX deliveries_by_pair ON deliveries(seller, buyer, deliver_date);
)sql",
    R"sql(
CREATE TABLE sessions(
  token_digest TEXT PRIMARY KEY,
  receiver TEXT NOT NULL,
  orderer TEXT NOT NULL,
  last_used_ms INTEGER NOT NULL);
CREATE INDEX sessions_by_orderer ON sessions(receiver, orderer, last_used_ms);
CREATE INDEX sessions_by_use ON sessions(last_used_ms);
CREATE TABLE login_failures(
  id TEXT PRIMARY KEY,
  failures INTEGER NOT NULL,
  until_ms INTEGER NOT NULL);
CREATE INDEX login_failures_by_wait ON login_failures(until_ms);
)sql",
    R"sql(
CREATE TABLE order_history(
  id INTEGER PRIMARY KEY,
  receiver TEXT NOT NULL,
  orderer TEXT NOT NULL,
  deliver_date TEXT NOT NULL,
  message TEXT NOT NULL,
  written_at TEXT NOT NULL,
  replaced_at TEXT NOT NULL,
  replaced_by TEXT NOT NULL);
CREATE INDEX order_history_by_order ON order_history(receiver, orderer, deliver_date);
CREATE TABLE order_history_lines(
  history_id INTEGER NOT NULL REFERENCES order_history(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  product TEXT NOT NULL,
  quantity INTEGER NOT NULL,
  unit_price INTEGER NOT NULL,
  vat TEXT NOT NULL,
  supply INTEGER NOT NULL,
  tax INTEGER NOT NULL,
  amount INTEGER NOT NULL,
  remark TEXT NOT NULL,
  PRIMARY KEY(history_id, position)) WITHOUT ROWID;
)sql",
};
constexpr int kMigrationCount = sizeof(kMigrations) / sizeof(kMigrations[0]);
static_assert(kMigrationCount == SqliteStore::kSchemaVersion);

}  // namespace

namespace {

std::optional<int64_t> findOrderId(SqliteConnection& c, const OrderKey& k, bool* accepted = nullptr,
                                   bool* delivered = nullptr) {
    auto s = c.prepare(
        "SELECT id, accepted, delivered_at IS NOT NULL FROM orders "
        "WHERE receiver = ?1 AND orderer = ?2 AND deliver_date = ?3");
    s.bind(1, k.receiver).bind(2, k.orderer).bind(3, k.date);
    if (!s.step()) return std::nullopt;
    if (accepted) *accepted = s.integer(1) != 0;
    if (delivered) *delivered = s.integer(2) != 0;
    return s.integer(0);
}

// The current version (kind 0) and the replaced ones (kind 1, newest first), each with its lines.
const char* const kOrderHistorySql =
    "SELECT 0, o.id, o.message, o.updated_at, '', '', l.position, l.product, l.quantity, l.unit_price, l.vat, "
    "l.supply, l.tax, l.amount, l.remark FROM orders o LEFT JOIN order_lines l ON l.order_id = o.id "
    "WHERE o.receiver = ?1 AND o.orderer = ?2 AND o.deliver_date = ?3 "
    "UNION ALL "
    "SELECT 1, h.id, h.message, h.written_at, h.replaced_at, h.replaced_by, l.position, l.product, l.quantity, "
    "l.unit_price, l.vat, l.supply, l.tax, l.amount, l.remark FROM order_history h "
    "LEFT JOIN order_history_lines l ON l.history_id = h.id "
    "WHERE h.receiver = ?1 AND h.orderer = ?2 AND h.deliver_date = ?3 ORDER BY 1, 2 DESC, 7";

// Copies the order as it stands into the history, as replaced now by `by`.
void keepVersion(SqliteConnection& c, int64_t orderId, const QString& by) {
    {
        auto s = c.prepare(
            "INSERT INTO order_history(receiver, orderer, deliver_date, message, written_at, replaced_at, replaced_by) "
            "SELECT receiver, orderer, deliver_date, message, updated_at, ?2, ?3 FROM orders WHERE id = ?1");
        s.bind(1, orderId).bind(2, nowText()).bind(3, by).run();
    }
    auto s = c.prepare(
        "INSERT INTO order_history_lines(history_id, position, product, quantity, unit_price, vat, supply, tax, "
        "amount, remark) SELECT ?1, position, product, quantity, unit_price, vat, supply, tax, amount, remark "
        "FROM order_lines WHERE order_id = ?2");
    s.bind(1, c.lastInsertId()).bind(2, orderId).run();
}

void insertDeliveries(SqliteConnection& c, const std::vector<DeliveryRow>& rows) {
    for (const DeliveryRow& r : rows) {
        auto s = c.prepare(
            "INSERT INTO deliveries(seller, buyer, deliver_date, product, quantity, unit_price, vat, "
            "supply, tax, amount) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        s.bind(1, r.seller).bind(2, r.buyer).bind(3, r.date).bind(4, r.product).bind(5, r.quantity);
        s.bind(6, r.unitPrice).bind(7, r.vat).bind(8, r.supply).bind(9, r.tax).bind(10, r.amount);
        s.run();
    }
}

}  // namespace

// A reader connection borrowed from the pool for one call.
class SqliteStore::ReadLease {
public:
    explicit ReadLease(SqliteStore& store) : store_(store) {
        {
            std::lock_guard lock(store_.poolMutex_);
            if (!store_.readers_.empty()) {
                c_ = std::move(store_.readers_.back());
                store_.readers_.pop_back();
            }
        }
        if (!c_) c_ = store_.openConnection();
    }
    ~ReadLease() {
        std::lock_guard lock(store_.poolMutex_);
        if (store_.readers_.size() < 16) store_.readers_.push_back(std::move(c_));
    }
    SqliteConnection& operator*() { return *c_; }
    SqliteConnection* operator->() { return c_.get(); }

private:
    SqliteStore& store_;
    std::unique_ptr<SqliteConnection> c_;
};

SqliteStore::SqliteStore(const QString& path) : path_(path) {
    writer_ = openConnection();
    // WAL is a property of the file; setting it once on the writer covers every connection.
    {
        auto s = writer_->prepare("PRAGMA journal_mode = WAL");
        if (!s.step() || s.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            throw StoreError("cannot switch " + path.toStdString() + " to WAL mode");
    }
    migrate(*writer_);
}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteConnection> SqliteStore::openConnection() {
    return std::make_unique<SqliteConnection>(path_);
}

void SqliteStore::migrate(SqliteConnection& c) {
    std::lock_guard lock(writeMutex_);
    Transaction t(c);
    int version = 0;
    {
        auto s = c.prepare("PRAGMA user_version");
        if (s.step()) version = static_cast<int>(s.integer(0));
    }
    if (version > kSchemaVersion)
        throw StoreError("store schema version " + std::to_string(version) + " is newer than this server (" +
                         std::to_string(kSchemaVersion) + ")");
    for (int v = version; v < kSchemaVersion; ++v) {
        c.exec(kMigrations[v]);
        c.exec(("PRAGMA user_version = " + std::to_string(v + 1)).c_str());
    }
    t.commit();
}

int SqliteStore::schemaVersion() {
    ReadLease c(*this);
    auto s = c->prepare("PRAGMA user_version");
    return s.step() ? static_cast<int>(s.integer(0)) : 0;
}

QString SqliteStore::journalMode() {
    ReadLease c(*this);
    auto s = c->prepare("PRAGMA journal_mode");
    return s.step() ? s.text(0) : QString();
}

int SqliteStore::synchronousLevel() {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare("PRAGMA synchronous");
    return s.step() ? static_cast<int>(s.integer(0)) : -1;
}

void SqliteStore::addReceiver(const QString& id, const QString& name) {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare(
        "INSERT INTO receivers(id, name) VALUES(?1, ?2) "
        "ON CONFLICT(id) DO UPDATE SET name = excluded.name WHERE excluded.name <> ''");
    s.bind(1, id).bind(2, name).run();
}

bool SqliteStore::receiverExists(const QString& id) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT 1 FROM receivers WHERE id = ?1");
    s.bind(1, id);
    return s.step();
}

void SqliteStore::addOrderer(const OrdererRecord& r) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    {
        auto s = writer_->prepare("SELECT 1 FROM receivers WHERE id = ?1");
        s.bind(1, r.receiver);
        if (!s.step()) throw StoreError("no receiver " + r.receiver.toStdString());
    }
    {
        auto s = writer_->prepare("SELECT 1 FROM orderers WHERE receiver = ?1 AND id = ?2");
        s.bind(1, r.receiver).bind(2, r.orderer);
        if (s.step()) throw StoreError("orderer " + r.orderer.toStdString() + " exists");
    }
    auto s = writer_->prepare("INSERT INTO orderers(receiver, id, grade, password_hash) VALUES(?1, ?2, ?3, ?4)");
    s.bind(1, r.receiver).bind(2, r.orderer).bind(3, r.grade).bind(4, r.passwordHash).run();
    t.commit();
}

std::optional<OrdererRecord> SqliteStore::orderer(const QString& receiver, const QString& orderer) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT grade, password_hash FROM orderers WHERE receiver = ?1 AND id = ?2");
    s.bind(1, receiver).bind(2, orderer);
    if (!s.step()) return std::nullopt;
    return OrdererRecord{receiver, orderer, s.text(0), s.text(1)};
}

bool SqliteStore::setPasswordHash(const QString& receiver, const QString& orderer, const QString& hash) {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare("UPDATE orderers SET password_hash = ?3 WHERE receiver = ?1 AND id = ?2");
    s.bind(1, receiver).bind(2, orderer).bind(3, hash).run();
    return writer_->changes() > 0;
}

bool SqliteStore::setGrade(const QString& receiver, const QString& orderer, const QString& grade) {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare("UPDATE orderers SET grade = ?3 WHERE receiver = ?1 AND id = ?2");
    s.bind(1, receiver).bind(2, orderer).bind(3, grade).run();
    return writer_->changes() > 0;
}

void SqliteStore::setNotice(const QString& receiver, const QString& grade, const QString& text) {
    std::lock_guard lock(writeMutex_);
    if (text.isEmpty()) {
        auto s = writer_->prepare("DELETE FROM notices WHERE receiver = ?1 AND grade = ?2");
        s.bind(1, receiver).bind(2, grade).run();
        return;
    }
    auto s = writer_->prepare(
        "INSERT INTO notices(receiver, grade, text) VALUES(?1, ?2, ?3) "
        "ON CONFLICT(receiver, grade) DO UPDATE SET text = excluded.text");
    s.bind(1, receiver).bind(2, grade).bind(3, text).run();
}

QString SqliteStore::notice(const QString& receiver, const QString& grade) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT text FROM notices WHERE receiver = ?1 AND grade = ?2");
    s.bind(1, receiver).bind(2, grade);
    return s.step() ? s.text(0) : QString();
}

void SqliteStore::importPrices(const QString& receiver, const std::vector<PriceRow>& rows) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    {
        auto s = writer_->prepare("SELECT 1 FROM receivers WHERE id = ?1");
        s.bind(1, receiver);
        if (!s.step()) throw StoreError("no receiver " + receiver.toStdString());
    }
    for (const PriceRow& r : rows) {
        const QString key = JoinProductKey(r.name, r.unit);
        {
            auto s = writer_->prepare(
                "INSERT INTO products(receiver, key, name, unit, position) "
                "VALUES(?1, ?2, ?3, ?4, (SELECT COALESCE(MAX(position), 0) + 1 FROM products WHERE receiver = ?1)) "
                "ON CONFLICT(receiver, key) DO NOTHING");
            s.bind(1, receiver).bind(2, key).bind(3, r.name).bind(4, r.unit).run();
        }
        auto s = writer_->prepare(
            "INSERT INTO prices(receiver, key, grade, unit_price, vat) VALUES(?1, ?2, ?3, ?4, ?5) "
            "ON CONFLICT(receiver, grade, key) DO UPDATE SET unit_price = excluded.unit_price, vat = excluded.vat");
        s.bind(1, receiver).bind(2, key).bind(3, r.grade).bind(4, r.unitPrice).bind(5, r.vat).run();
    }
    {
        auto s = writer_->prepare(
            "INSERT INTO meta(name, value) VALUES('price_version', '1') "
            "ON CONFLICT(name) DO UPDATE SET value = CAST(value AS INTEGER) + 1");
        s.run();
    }
    t.commit();
}

int64_t SqliteStore::priceVersion() {
    ReadLease c(*this);
    auto s = c->prepare("SELECT CAST(value AS INTEGER) FROM meta WHERE name = 'price_version'");
    return s.step() ? s.integer(0) : 0;
}

std::vector<PriceRow> SqliteStore::priceList(const QString& receiver, const QString& grade) {
    ReadLease c(*this);
    auto s = c->prepare(
        "SELECT p.name, p.unit, g.unit_price, g.vat FROM prices g "
        "JOIN products p ON p.receiver = g.receiver AND p.key = g.key "
        "WHERE g.receiver = ?1 AND g.grade = ?2 ORDER BY p.position");
    s.bind(1, receiver).bind(2, grade);
    std::vector<PriceRow> out;
    while (s.step()) out.push_back(PriceRow{s.text(0), s.text(1), grade, s.money(2), s.text(3)});
    return out;
}

void SqliteStore::replaceDisplayList(const QString& receiver, const QString& orderer,
                                     const std::vector<QString>& keys) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    {
        auto s = writer_->prepare("DELETE FROM display_items WHERE receiver = ?1 AND orderer = ?2");
        s.bind(1, receiver).bind(2, orderer).run();
    }
    int64_t position = 0;
    for (const QString& k : keys) {
        auto s = writer_->prepare(
            "INSERT INTO display_items(receiver, orderer, position, key) VALUES(?1, ?2, ?3, ?4)");
        s.bind(1, receiver).bind(2, orderer).bind(3, position++).bind(4, k).run();
    }
    t.commit();
}

std::vector<QString> SqliteStore::displayList(const QString& receiver, const QString& orderer) {
    ReadLease c(*this);
    auto s = c->prepare(
        "SELECT key FROM display_items WHERE receiver = ?1 AND orderer = ?2 ORDER BY position");
    s.bind(1, receiver).bind(2, orderer);
    std::vector<QString> out;
    while (s.step()) out.push_back(s.text(0));
    return out;
}

// Concurrent replacements are committed together (group commit): the first caller to find no
// commit in progress takes every pending replacement into one transaction, each inside its own
// savepoint, and answers them all after the one durable COMMIT. An order is still replaced
// whole or not at all; a failing replacement rolls back to its savepoint and fails alone.
struct SqliteStore::PendingReplace {
    const OrderKey& key;
    const std::vector<OrderLine>& lines;
    const QString& message;
    ReplaceResult result = ReplaceResult::Replaced;
    std::exception_ptr error;
    bool done = false;
};

ReplaceResult SqliteStore::replaceOrder(const OrderKey& key, const std::vector<OrderLine>& lines,
                                        const QString& message) {
    PendingReplace me{key, lines, message, ReplaceResult::Replaced, nullptr, false};
    std::unique_lock lock(queueMutex_);
    queue_.push_back(&me);
    while (!me.done) {
        if (committing_) {
            queueDone_.wait(lock);
            continue;
        }
        committing_ = true;
        std::vector<PendingReplace*> batch;
        batch.swap(queue_);
        lock.unlock();
        commitReplacements(batch);
        lock.lock();
        for (PendingReplace* p : batch) p->done = true;
        committing_ = false;
        queueDone_.notify_all();
    }
    if (me.error) std::rethrow_exception(me.error);
    return me.result;
}

void SqliteStore::commitReplacements(const std::vector<PendingReplace*>& batch) {
    std::lock_guard lock(writeMutex_);
    try {
        Transaction t(*writer_);
        for (PendingReplace* p : batch) {
            Savepoint one(*writer_, "one_order");
            try {
                p->result = replaceInTransaction(p->key, p->lines, p->message);
                one.release();
            } catch (...) {
                p->error = std::current_exception();
                one.rollback();  // when even that fails, the whole batch goes
            }
        }
        t.commit();
    } catch (...) {
        // Nothing of the batch is committed: every caller hears of it.
        for (PendingReplace* p : batch) p->error = std::current_exception();
    }
}

ReplaceResult SqliteStore::replaceInTransaction(const OrderKey& key, const std::vector<OrderLine>& lines,
                                                const QString& message) {
    bool accepted = false;
    std::optional<int64_t> id = findOrderId(*writer_, key, &accepted);
    if (accepted) return ReplaceResult::Locked;  // nothing changed
    if (id) {
        keepVersion(*writer_, *id, key.orderer);
        auto s = writer_->prepare("DELETE FROM order_lines WHERE order_id = ?1");
        s.bind(1, *id).run();
    }
    if (lines.empty() && message.isEmpty()) {
        if (id) {
            auto s = writer_->prepare("DELETE FROM orders WHERE id = ?1");
            s.bind(1, *id).run();
        }
        return ReplaceResult::Replaced;
    }
    if (id) {
        auto s = writer_->prepare("UPDATE orders SET message = ?2, updated_at = ?3 WHERE id = ?1");
        s.bind(1, *id).bind(2, message).bind(3, nowText()).run();
    } else {
        auto s = writer_->prepare(
            "INSERT INTO orders(receiver, orderer, deliver_date, message, updated_at) VALUES(?1, ?2, ?3, ?4, ?5)");
        s.bind(1, key.receiver).bind(2, key.orderer).bind(3, key.date).bind(4, message).bind(5, nowText()).run();
        id = writer_->lastInsertId();
    }
    int64_t position = 0;
    for (const OrderLine& l : lines) {
        auto s = writer_->prepare(
            "INSERT INTO order_lines(order_id, position, product, quantity, unit_price, vat, supply, tax, amount, "
            "remark) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        s.bind(1, *id).bind(2, position++).bind(3, l.product).bind(4, l.quantity).bind(5, l.unitPrice);
        s.bind(6, l.vat).bind(7, l.supply).bind(8, l.tax).bind(9, l.amount).bind(10, l.remark);
        s.run();
    }
    return ReplaceResult::Replaced;
}

StoredOrder SqliteStore::order(const OrderKey& key) {
    ReadLease c(*this);
    StoredOrder out;
    // One statement reads the header and the lines, so both come from the same commit.
    auto s = c->prepare(
        "SELECT o.message, o.accepted, o.accepted_at, o.delivered_at, l.position, l.product, l.quantity, "
        "l.unit_price, l.vat, l.supply, l.tax, l.amount, l.remark FROM orders o "
        "LEFT JOIN order_lines l ON l.order_id = o.id "
        "WHERE o.receiver = ?1 AND o.orderer = ?2 AND o.deliver_date = ?3 ORDER BY l.position");
    s.bind(1, key.receiver).bind(2, key.orderer).bind(3, key.date);
    while (s.step()) {
        if (!out.exists) {
            out.exists = true;
            out.message = s.text(0);
            out.accepted = s.integer(1) != 0;
            out.acceptedAt = s.text(2);
            out.deliveredAt = s.text(3);
        }
        if (s.isNull(4)) continue;  // an order without lines
        out.lines.push_back(OrderLine{s.text(5), s.money(6), s.money(7), s.text(8), s.money(9), s.money(10),
                                      s.money(11), s.text(12)});
    }
    return out;
}

std::vector<OrderSummary> SqliteStore::listOrders(const QString& receiver, const QString& date) {
    ReadLease c(*this);
    auto s = c->prepare(
        "SELECT o.receiver, o.orderer, o.deliver_date, o.message, o.accepted, o.accepted_at, o.delivered_at, "
        "o.updated_at, COUNT(l.position), COALESCE(SUM(l.amount), 0) FROM orders o "
        "LEFT JOIN order_lines l ON l.order_id = o.id "
        "WHERE (?1 = '' OR o.receiver = ?1) AND (?2 = '' OR o.deliver_date = ?2) "
        "GROUP BY o.id ORDER BY o.deliver_date, o.receiver, o.orderer");
    s.bind(1, receiver).bind(2, date);
    std::vector<OrderSummary> out;
    while (s.step()) {
        OrderSummary o;
        o.key = OrderKey{s.text(0), s.text(1), s.text(2)};
        o.message = s.text(3);
        o.accepted = s.integer(4) != 0;
        o.acceptedAt = s.text(5);
        o.deliveredAt = s.text(6);
        o.updatedAt = s.text(7);
        o.lineCount = static_cast<int>(s.integer(8));
        o.total = s.money(9);
        out.push_back(std::move(o));
    }
    return out;
}

AcceptResult SqliteStore::acceptOrder(const OrderKey& key) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    bool accepted = false;
    std::optional<int64_t> id = findOrderId(*writer_, key, &accepted);
    if (!id) return AcceptResult::NotFound;
    if (accepted) return AcceptResult::AlreadyAccepted;
    auto s = writer_->prepare("UPDATE orders SET accepted = 1, accepted_at = ?2 WHERE id = ?1");
    s.bind(1, *id).bind(2, nowText()).run();
    t.commit();
    return AcceptResult::Accepted;
}

std::vector<OrderVersion> SqliteStore::orderHistory(const OrderKey& key) {
    ReadLease c(*this);
    // One statement, so the current version and the history come from the same commit.
    auto s = c->prepare(kOrderHistorySql);
    s.bind(1, key.receiver).bind(2, key.orderer).bind(3, key.date);
    std::vector<OrderVersion> out;
    int64_t kind = -1, version = -1;
    while (s.step()) {
        if (s.integer(0) != kind || s.integer(1) != version) {
            kind = s.integer(0);
            version = s.integer(1);
            out.push_back(OrderVersion{s.text(3), s.text(4), s.text(5), s.text(2), {}});
        }
        if (s.isNull(6)) continue;  // a version without lines
        out.back().lines.push_back(OrderLine{s.text(7), s.money(8), s.money(9), s.text(10), s.money(11), s.money(12),
                                             s.money(13), s.text(14)});
    }
    return out;
}

DeliverResult SqliteStore::recordDelivery(const OrderKey& key, const std::vector<DeliveryRow>& rows) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    bool accepted = false, delivered = false;
    std::optional<int64_t> id = findOrderId(*writer_, key, &accepted, &delivered);
    if (!id) return DeliverResult::NotFound;
    if (!accepted) return DeliverResult::NotAccepted;
    if (delivered) return DeliverResult::AlreadyDelivered;
    insertDeliveries(*writer_, rows);
    auto s = writer_->prepare("UPDATE orders SET delivered_at = ?2 WHERE id = ?1");
    s.bind(1, *id).bind(2, nowText()).run();
    t.commit();
    return DeliverResult::Delivered;
}

void SqliteStore::addDeliveries(const std::vector<DeliveryRow>& rows) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    insertDeliveries(*writer_, rows);
    t.commit();
}

std::vector<DeliveryRow> SqliteStore::deliveries(const QString& seller, const QString& buyer, const QString& from,
                                                 const QString& to) {
    ReadLease c(*this);
    auto s = c->prepare(
        "SELECT deliver_date, product, quantity, unit_price, vat, supply, tax, amount FROM deliveries "
        "WHERE seller = ?1 AND buyer = ?2 AND deliver_date BETWEEN ?3 AND ?4 ORDER BY deliver_date, id");
    s.bind(1, seller).bind(2, buyer).bind(3, from).bind(4, to);
    std::vector<DeliveryRow> out;
    while (s.step())
        out.push_back(DeliveryRow{seller, buyer, s.text(0), s.text(1), s.money(2), s.money(3), s.text(4), s.money(5),
                                  s.money(6), s.money(7)});
    return out;
}

void SqliteStore::openSession(const SessionRecord& r, int64_t expiredBeforeMs, int keepPerOrderer) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    {
        auto s = writer_->prepare("DELETE FROM sessions WHERE last_used_ms < ?1");
        s.bind(1, expiredBeforeMs).run();
    }
    {
        auto s = writer_->prepare(
            "DELETE FROM sessions WHERE receiver = ?1 AND orderer = ?2 AND token_digest NOT IN ("
            "SELECT token_digest FROM sessions WHERE receiver = ?1 AND orderer = ?2 "
            "ORDER BY last_used_ms DESC LIMIT ?3)");
        s.bind(1, r.receiver).bind(2, r.orderer).bind(3, int64_t{std::max(0, keepPerOrderer - 1)}).run();
    }
    auto s = writer_->prepare(
        "INSERT OR REPLACE INTO sessions(token_digest, receiver, orderer, last_used_ms) VALUES(?1, ?2, ?3, ?4)");
    s.bind(1, r.tokenDigest).bind(2, r.receiver).bind(3, r.orderer).bind(4, r.lastUsedMs).run();
    t.commit();
}

std::optional<SessionRecord> SqliteStore::session(const QString& tokenDigest) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT receiver, orderer, last_used_ms FROM sessions WHERE token_digest = ?1");
    s.bind(1, tokenDigest);
    if (!s.step()) return std::nullopt;
    return SessionRecord{tokenDigest, s.text(0), s.text(1), s.integer(2)};
}

bool SqliteStore::touchSession(const QString& tokenDigest, int64_t lastUsedMs) {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare("UPDATE sessions SET last_used_ms = MAX(last_used_ms, ?2) WHERE token_digest = ?1");
    s.bind(1, tokenDigest).bind(2, lastUsedMs).run();
    return writer_->changes() > 0;
}

LoginFailures SqliteStore::loginFailures(const QString& id) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT failures, until_ms FROM login_failures WHERE id = ?1");
    s.bind(1, id);
    if (!s.step()) return {};
    return LoginFailures{static_cast<int>(s.integer(0)), s.integer(1)};
}

void SqliteStore::setLoginFailures(const QString& id, const LoginFailures& f, int64_t nowMs, int lightCount,
                                   int maxIds) {
    std::lock_guard lock(writeMutex_);
    Transaction t(*writer_);
    if (f.count <= 0) {
        auto s = writer_->prepare("DELETE FROM login_failures WHERE id = ?1");
        s.bind(1, id).run();
    } else {
        {
            auto s = writer_->prepare(
                "DELETE FROM login_failures WHERE until_ms <= ?1 AND failures < ?2 "
                "AND (SELECT COUNT(*) FROM login_failures) > ?3");
            s.bind(1, nowMs).bind(2, int64_t{lightCount}).bind(3, int64_t{maxIds}).run();
        }
        auto s = writer_->prepare("INSERT OR REPLACE INTO login_failures(id, failures, until_ms) VALUES(?1, ?2, ?3)");
        s.bind(1, id).bind(2, int64_t{f.count}).bind(3, f.untilMs).run();
    }
    t.commit();
}

std::optional<QString> SqliteStore::setting(const QString& name) {
    ReadLease c(*this);
    auto s = c->prepare("SELECT value FROM meta WHERE name = ?1");
    s.bind(1, name);
    if (!s.step()) return std::nullopt;
    return s.text(0);
}

void SqliteStore::setSetting(const QString& name, const QString& value) {
    std::lock_guard lock(writeMutex_);
    auto s = writer_->prepare(
        "INSERT INTO meta(name, value) VALUES(?1, ?2) ON CONFLICT(name) DO UPDATE SET value = excluded.value");
    s.bind(1, name).bind(2, value).run();
}

}  // namespace vendra::server
