#pragma once
// The demo store: a small Korean produce supplier with two shops that order from it.
#include "Password.h"
#include "Store.h"

#include <iosfwd>

namespace vendra::server {

// Seeds the demo store once; later calls change nothing. Prints the IDs and passwords.
void SeedDemo(Store& store, HashStrength strength, std::ostream& out);

inline constexpr const char* kDemoReceiver = "greenfarm";
inline constexpr const char* kDemoOrderer1 = "shop01";
inline constexpr const char* kDemoPassword1 = "demo1234";
inline constexpr const char* kDemoOrderer2 = "shop02";
inline constexpr const char* kDemoPassword2 = "demo5678";

}  // namespace vendra::server
