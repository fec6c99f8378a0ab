#pragma once
// Password hashes (libsodium's Argon2id string form: algorithm, cost and salt travel in the hash,
// so verification reads them from there and stronger settings can follow later).
#include <QString>

namespace vendra::server {

enum class HashStrength {
    Interactive,  // for stored passwords
    Minimal,      // for tests and benchmarks only: cheap, still a real salted hash
};

// Throws std::runtime_error when libsodium cannot start or runs out of memory.
QString HashPassword(const QString& password, HashStrength strength = HashStrength::Interactive);
// False for a wrong password and for anything that is not a hash of ours.
bool VerifyPassword(const QString& hash, const QString& password);

// A random token of `bytes` bytes as lower-case hex.
QString RandomToken(int bytes = 32);

}  // namespace vendra::server
