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

// Delivery rows of an accepted order: each line with a quantity, amount Int(quantity x price),
// split by its VAT flag.
std::vector<DeliveryRow> DeliveryRowsFor(const OrderKey& key, const StoredOrder& order);

}  // namespace vendra::server
