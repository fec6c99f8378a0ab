#pragma once
// The order server's store: everything the endpoints and the administration commands read and
// write, behind one small interface so that another engine can stand in for SQLite.
#include <ostrel/Currency.h>

#include <QString>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vendra::server {

using ostrel::Currency;

// A store failure (engine error, constraint, unusable file, lost database). The message is for the
// log; the code is the engine's own: SQLite's extended result code, or PostgreSQL's SQLSTATE (as
// `state`, `code` 0). Both empty or 0 when the store itself refused.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& message, int code = 0, std::string state = {})
        : std::runtime_error(message), code_(code), state_(std::move(state)) {}
    int code() const noexcept { return code_; }
    const std::string& state() const noexcept { return state_; }

private:
    int code_;
    std::string state_;
};

// One order is identified by receiver, orderer and delivery date ("yyyy-mm-dd").
struct OrderKey {
    QString receiver;
    QString orderer;
    QString date;
};

// A stored order line: the eight values an order update carries per group.
struct OrderLine {
    QString product;
    Currency quantity;
    Currency unitPrice;
    QString vat;
    Currency supply;
    Currency tax;
    Currency amount;
    QString remark;
};

struct StoredOrder {
    bool exists = false;
    std::vector<OrderLine> lines;
    QString message;
    bool accepted = false;
    QString acceptedAt;
    QString deliveredAt;
};

struct OrderSummary {
    OrderKey key;
    int lineCount = 0;
    Currency total;
    QString message;
    bool accepted = false;
    QString acceptedAt;
    QString deliveredAt;
    QString updatedAt;
};

// One version of an order: the current one (replacedAt empty) or one that a replacement
// superseded, with when it was written and when and by whom it was replaced.
struct OrderVersion {
    QString writtenAt;
    QString replacedAt;
    QString replacedBy;
    QString message;
    std::vector<OrderLine> lines;
};

struct OrdererRecord {
    QString receiver;
    QString orderer;
    QString grade;
    QString passwordHash;
};

// One product's price for one grade, as the price list and the import carry it.
struct PriceRow {
    QString name;
    QString unit;
    QString grade;
    Currency unitPrice;
    QString vat;
};

struct DeliveryRow {
    QString seller;
    QString buyer;
    QString date;
    QString product;
    Currency quantity;
    Currency unitPrice;
    QString vat;
    Currency supply;
    Currency tax;
    Currency amount;
};

// A login session as stored: the token only as its digest, times in milliseconds since the epoch.
struct SessionRecord {
    QString tokenDigest;
    QString receiver;
    QString orderer;
    int64_t lastUsedMs = 0;
};

// Failed logins in a row of one ID, and until when the next attempt must wait.
struct LoginFailures {
    int count = 0;
    int64_t untilMs = 0;
};

enum class ReplaceResult { Replaced, Locked };
enum class AcceptResult { Accepted, AlreadyAccepted, NotFound };
enum class DeliverResult { Delivered, NotAccepted, AlreadyDelivered, NotFound };

class Store {
public:
    virtual ~Store() = default;

    virtual int schemaVersion() = 0;

    // Receivers; adding an existing one keeps it (and updates a non-empty name).
    virtual void addReceiver(const QString& id, const QString& name) = 0;
    virtual bool receiverExists(const QString& id) = 0;

    // Orderers. addOrderer fails with StoreError when the orderer exists or the receiver does not.
    virtual void addOrderer(const OrdererRecord& record) = 0;
    virtual std::optional<OrdererRecord> orderer(const QString& receiver, const QString& orderer) = 0;
    virtual bool setPasswordHash(const QString& receiver, const QString& orderer, const QString& hash) = 0;
    virtual bool setGrade(const QString& receiver, const QString& orderer, const QString& grade) = 0;

    // Notices per receiver and grade ("*" for every grade); an empty text removes the notice.
    virtual void setNotice(const QString& receiver, const QString& grade, const QString& text) = 0;
    virtual QString notice(const QString& receiver, const QString& grade) = 0;

    // Prices: an import adds or updates products and their price per grade, all in one
    // transaction. The price list of a grade keeps the order in which products were first added.
    virtual void importPrices(const QString& receiver, const std::vector<PriceRow>& rows) = 0;
    virtual std::vector<PriceRow> priceList(const QString& receiver, const QString& grade) = 0;
    // Changes with every committed price import, also one made by another process, so that
    // price lists can be cached against it.
    virtual int64_t priceVersion() = 0;

    // The orderer's display list, replaced as a whole.
    virtual void replaceDisplayList(const QString& receiver, const QString& orderer,
                                    const std::vector<QString>& keys) = 0;
    virtual std::vector<QString> displayList(const QString& receiver, const QString& orderer) = 0;

    // Orders. replaceOrder swaps the whole order in one transaction and refuses an accepted one;
    // no lines and no message removes the order. The version it replaces is kept in the history.
    virtual ReplaceResult replaceOrder(const OrderKey& key, const std::vector<OrderLine>& lines,
                                       const QString& message) = 0;
    virtual StoredOrder order(const OrderKey& key) = 0;
    // Empty filters match everything.
    virtual std::vector<OrderSummary> listOrders(const QString& receiver, const QString& date) = 0;
    virtual AcceptResult acceptOrder(const OrderKey& key) = 0;
    // Every version of the order, newest first: the current one (when the order exists), then the
    // replaced ones.
    virtual std::vector<OrderVersion> orderHistory(const OrderKey& key) = 0;

    // Deliveries. recordDelivery stores the rows of an accepted, not yet delivered order and marks
    // it delivered, atomically; addDeliveries stores rows that belong to no order.
    virtual DeliverResult recordDelivery(const OrderKey& key, const std::vector<DeliveryRow>& rows) = 0;
    virtual void addDeliveries(const std::vector<DeliveryRow>& rows) = 0;
    // Rows of the seller to the buyer with from <= date <= to, by date, then as stored.
    virtual std::vector<DeliveryRow> deliveries(const QString& seller, const QString& buyer,
                                                const QString& from, const QString& to) = 0;

    // Sessions, kept so that a restart (or a second server on the store) keeps clients logged in.
    // openSession also drops the sessions unused since `expiredBeforeMs` and the orderer's oldest
    // beyond `keepPerOrderer`.
    virtual void openSession(const SessionRecord& session, int64_t expiredBeforeMs, int keepPerOrderer) = 0;
    virtual std::optional<SessionRecord> session(const QString& tokenDigest) = 0;
    // Records a later use; false when the session is gone (expired or pushed out by newer ones).
    virtual bool touchSession(const QString& tokenDigest, int64_t lastUsedMs) = 0;

    // The login slow-down. A count of 0 forgets the ID; past `maxIds` IDs, those whose wait is over
    // and that failed fewer than `lightCount` times are forgotten.
    virtual LoginFailures loginFailures(const QString& id) = 0;
    virtual void setLoginFailures(const QString& id, const LoginFailures& failures, int64_t nowMs, int lightCount,
                                  int maxIds) = 0;

    // Small named values of the store itself (the demo marker, for one).
    virtual std::optional<QString> setting(const QString& name) = 0;
    virtual void setSetting(const QString& name, const QString& value) = 0;
};

}  // namespace vendra::server
