#pragma once
// The ordering protocol between the client and the order server: URL paths, request field
// names, reply tags, the columns of the JARRAY replies, and the texts both sides show.
#include <QString>

#include <array>

namespace vendra {

// URL paths, all on one host.
namespace path {
inline constexpr const char* Login = "/order_ctos_xml/login.php";               // GET
inline constexpr const char* Notice = "/receiver_ctos/notice_select.php";       // POST
inline constexpr const char* OrdersSelect = "/order_ctos_xml/orders_select.php";  // GET
inline constexpr const char* DisplaySelect = "/order_ctos_xml/display_select.php";        // GET
inline constexpr const char* UnitPricesSelect = "/order_ctos_xml/unitprices_select.php";  // GET
inline constexpr const char* DeliverSelect = "/invoices_xml/deliver_select.php";          // GET
inline constexpr const char* OrdersUpdate = "/order_ctos_xml/orders_update.php";          // POST
inline constexpr const char* DisplayUpdate = "/order_ctos_xml/display_update.php";        // POST
}  // namespace path

// Request field names.
namespace field {
inline constexpr const char* OrdererCI = "OrdererCI";
inline constexpr const char* ReceiverCI = "ReceiverCI";
inline constexpr const char* PassWord = "PassWord";
inline constexpr const char* RequestTime = "RequestTime";
inline constexpr const char* OrdererDgr = "OrdererDgr";  // notice: the grade asked for, "*" for all
inline constexpr const char* Dgr = "dgr";                // price list: the orderer's grade
inline constexpr const char* DeliverDate = "DeliverDate";
inline constexpr const char* Date1 = "Date1";
inline constexpr const char* Date2 = "Date2";
inline constexpr const char* SellerCI = "SellerCI";
inline constexpr const char* BuyerCI = "BuyerCI";
inline constexpr const char* RecCount = "RecCount";  // the number of indexed groups that follow

// Subjects of the indexed groups ("Product_0", "Quantity_0", ...), in the order they are sent.
inline constexpr const char* Product = "Product";
inline constexpr const char* Quantity = "Quantity";
inline constexpr const char* UnitPrice = "Dg";
inline constexpr const char* Vat = "Vat";
inline constexpr const char* Supply = "Gg";
inline constexpr const char* Tax = "Gv";
inline constexpr const char* Total = "Gt";
inline constexpr const char* Remark = "Remark";
// One order line; a group with an empty product carries the message to the receiver as its remark.
inline constexpr std::array<const char*, 8> OrderGroup = {Product, Quantity, UnitPrice, Vat,
                                                          Supply,  Tax,      Total,     Remark};
inline constexpr std::array<const char*, 1> DisplayGroup = {Product};
}  // namespace field

// Reply tags.
namespace tag {
inline constexpr const char* Success = "success";  // Boolean; false with a reason in failmsg
inline constexpr const char* FailMsg = "failmsg";
inline constexpr const char* Version = "version";  // login: the current client caption
inline constexpr const char* Notice = "notice";
inline constexpr const char* Dgr = "dgr";            // login: the orderer's price grade
inline constexpr const char* Received = "received";  // stored order: accepted by the receiver
}  // namespace tag

// Columns of the JARRAY replies; Count is the number of fields.
namespace orderColumn {
inline constexpr int Product = 0;  // empty for the message record, whose message is the remark
inline constexpr int Quantity = 1;
inline constexpr int UnitPrice = 2;
inline constexpr int Vat = 3;
inline constexpr int Supply = 4;
inline constexpr int Tax = 5;
inline constexpr int Amount = 6;
inline constexpr int Remark = 7;
inline constexpr int Count = 8;
}  // namespace orderColumn

namespace displayColumn {
inline constexpr int Product = 0;
inline constexpr int Count = 1;
}  // namespace displayColumn

namespace priceColumn {
inline constexpr int Product = 0;
inline constexpr int UnitPrice = 1;
inline constexpr int Vat = 2;
inline constexpr int Count = 3;
}  // namespace priceColumn

namespace deliveryColumn {
inline constexpr int Date = 0;
inline constexpr int Product = 1;
inline constexpr int Quantity = 2;
inline constexpr int UnitPrice = 3;
inline constexpr int Vat = 4;
inline constexpr int Supply = 5;
inline constexpr int Tax = 6;
inline constexpr int Amount = 7;
inline constexpr int Count = 8;
}  // namespace deliveryColumn

// Shown by the client, and sent by the server as its refusal, when the receiver has accepted the
// order of that date.
QString LockedOrderMessage();

}  // namespace vendra
