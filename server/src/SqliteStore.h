#pragma once
// The SQLite store: one file, WAL journal, synchronous FULL (a committed order survives a power
// cut), a schema version for migrations. Writes go through one connection under a mutex (SQLite
// serialises writers anyway, and its busy handler sleeps); concurrent order replacements share
// one commit. Reads use a small pool of connections, which WAL lets run beside the writer.
#include "Store.h"

#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace vendra::server {

class SqliteConnection;

class SqliteStore : public Store {
public:
    static constexpr int kSchemaVersion = 3;

    // Opens or creates the file and brings its schema to the current version.
    explicit SqliteStore(const QString& path);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

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

    void replaceDisplayList(const QString& receiver, const QString& orderer,
                            const std::vector<QString>& keys) override;
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

    // Pragmas as the connections see them, for checks: journal mode and synchronous level.
    QString journalMode();
    int synchronousLevel();

private:
    class ReadLease;
    struct PendingReplace;
    std::unique_ptr<SqliteConnection> openConnection();
    void commitReplacements(const std::vector<PendingReplace*>& batch);
    ReplaceResult replaceInTransaction(const OrderKey& key, const std::vector<OrderLine>& lines,
                                       const QString& message);
    void migrate(SqliteConnection& c);

    QString path_;
    std::mutex writeMutex_;
    std::unique_ptr<SqliteConnection> writer_;
    std::mutex poolMutex_;
    std::vector<std::unique_ptr<SqliteConnection>> readers_;

    std::mutex queueMutex_;
    std::condition_variable queueDone_;
    std::vector<PendingReplace*> queue_;
    bool committing_ = false;
};

}  // namespace vendra::server
