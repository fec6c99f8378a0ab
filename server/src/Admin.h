#pragma once
// The command line of vendra-server: serving and the administration commands, on one store file.
#include "Password.h"
#include "Store.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vendra::server {

struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    HashStrength hashStrength = HashStrength::Interactive;
};

// Runs one command line (without the program name); the process exit code.
int RunCommand(const std::vector<std::string>& args, CommandContext& ctx);

// Price list lines "name,unit,grade,unit price,VAT flag" in UTF-8 or code page 949 (a header line
// is allowed). Throws std::runtime_error naming the first bad line; nothing is half-read.
std::vector<PriceRow> ParsePriceCsv(const QByteArray& bytes);

// Delivery rows of an accepted order: each line with a quantity, amount Int(quantity x price),
// split by its VAT flag.
std::vector<DeliveryRow> DeliveryRowsFor(const OrderKey& key, const StoredOrder& order);

// Seeds the demo store once; later calls change nothing. Prints the IDs and passwords.
void SeedDemo(Store& store, HashStrength strength, std::ostream& out);

inline constexpr const char* kDemoReceiver = "greenfarm";
inline constexpr const char* kDemoOrderer1 = "shop01";
inline constexpr const char* kDemoPassword1 = "demo1234";
inline constexpr const char* kDemoOrderer2 = "shop02";
inline constexpr const char* kDemoPassword2 = "demo5678";

}  // namespace vendra::server
