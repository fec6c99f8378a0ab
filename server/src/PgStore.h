#pragma once
// The PostgreSQL store: one database shared by several server instances. Each instance holds a
// bounded pool of connections with prepared statements, and finds its way back to the database by
// itself after a restart of it. The schema version is kept in the database (table
// schema_version), with the same numbering as the SQLite store.
//
// An order and the acceptance lock are guarded by the order's row lock (SELECT ... FOR UPDATE
// under READ COMMITTED) rather than by SERIALIZABLE: replacing an order and accepting it both take
// that one row's lock first, so an update racing an accept lands before it or finds it accepted,
// and concurrent writers of one order wait for each other instead of failing and being retried.
// Deadlocks (sessions trimmed by concurrent logins) are retried by the pool.
#include "PgPool.h"
#include "Store.h"

#include <QString>

namespace vendra::server {

class PgStore : public Store {
public:
    static constexpr int kSchemaVersion = 3;

    // `url` is a libpq connection URI (postgresql://user@host:port/dbname). Connects, and brings
    // the schema to the current version (one instance at a time).
    PgStore(const QString& url, size_t connections);

    int schemaVersion() override;

    void addReceiver(const QString& id, const QString& name) override;
    bool receiverExists(const QString& id) override;

    void addOrderer(const OrdererRecord& record) override;
    std::optional<OrdererRecord> orderer(const QString& receiver, const QString& orderer) override;
    bool setPasswordHash(const QString& receiver, const QString& orderer, const QString& hash) override;
    bool setGrade(const QString& receiver, const QString& orderer, const QString& grade) override;

    void setNotice(const QString& receiver, const QString& grade, const QString& text) override;
    QString notice(const QString& receiver, const QString& grade) override;

    void importPrices(const QString& receiver, const std::vector<PriceRow>& rows) override;
    std::vector<PriceRow> priceList(const QString& receiver, const QString& grade) override;
    int64_t priceVersion() override;

    void replaceDisplayList(const QString& receiver, const QString& orderer, const std::vector<QString>& keys) override;
    std::vector<QString> displayList(const QString& receiver, const QString& orderer) override;

    ReplaceResult replaceOrder(const OrderKey& key, const std::vector<OrderLine>& lines,
                               const QString& message) override;
    StoredOrder order(const OrderKey& key) override;
    std::vector<OrderSummary> listOrders(const QString& receiver, const QString& date) override;
    AcceptResult acceptOrder(const OrderKey& key) override;
    std::vector<OrderVersion> orderHistory(const OrderKey& key) override;

    DeliverResult recordDelivery(const OrderKey& key, const std::vector<DeliveryRow>& rows) override;
    void addDeliveries(const std::vector<DeliveryRow>& rows) override;
    std::vector<DeliveryRow> deliveries(const QString& seller, const QString& buyer, const QString& from,
                                        const QString& to) override;

    void openSession(const SessionRecord& session, int64_t expiredBeforeMs, int keepPerOrderer) override;
    std::optional<SessionRecord> session(const QString& tokenDigest) override;
    bool touchSession(const QString& tokenDigest, int64_t lastUsedMs) override;
    LoginFailures loginFailures(const QString& id) override;
    void setLoginFailures(const QString& id, const LoginFailures& failures, int64_t nowMs, int lightCount,
                          int maxIds) override;

    std::optional<QString> setting(const QString& name) override;
    void setSetting(const QString& name, const QString& value) override;

    size_t connections() const { return pool_.size(); }

private:
    void migrate();

    PgPool pool_;
};

}  // namespace vendra::server
