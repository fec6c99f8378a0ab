#pragma once
// The reply bodies of the ordering protocol in tag text: what the endpoints send, built from what
// the store holds. Free functions, so the benchmarks measure the ones the server uses.
#include "Store.h"

#include <QString>
#include <vector>

namespace vendra::server {

// <success>1</success> followed by `tags`.
QString SuccessReply(const QString& tags = {});
// `before`, then <success>0</success> and the message as <failmsg>.
QString RefusalReply(const QString& message, const QString& before = {});

// The login reply's head, sent whether or not the login succeeds: version and notice.
QString LoginHead(const QString& versionText, const QString& notice);
// After the head: success, the orderer's price grade and an empty failmsg.
QString LoginSuccess(const QString& grade);

QString NoticeReply(const QString& text);
// The received flag and the lines, then the message as a record with an empty product.
QString StoredOrderReply(const StoredOrder& order);
QString DisplayListReply(const std::vector<QString>& keys);
QString PriceListReply(const std::vector<PriceRow>& prices);
QString DeliveriesReply(const std::vector<DeliveryRow>& rows);

}  // namespace vendra::server
