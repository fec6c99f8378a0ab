#include "Password.h"

#include <sodium.h>

#include <QByteArray>
#include <stdexcept>

namespace vendra::server {

namespace {

void ensureSodium() {
    static const int rc = sodium_init();
    if (rc < 0) throw std::runtime_error("libsodium failed to initialise");
}

}  // namespace

QString HashPassword(const QString& password, HashStrength strength) {
    ensureSodium();
    QByteArray pw = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    unsigned long long ops = crypto_pwhash_OPSLIMIT_INTERACTIVE;
    size_t mem = crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (strength == HashStrength::Minimal) {
        ops = crypto_pwhash_OPSLIMIT_MIN;
        mem = crypto_pwhash_MEMLIMIT_MIN;
    }
    if (crypto_pwhash_str(out, pw.constData(), static_cast<unsigned long long>(pw.size()), ops, mem) != 0) {
        sodium_memzero(pw.data(), static_cast<size_t>(pw.size()));
        throw std::runtime_error("password hashing ran out of memory");
    }
    sodium_memzero(pw.data(), static_cast<size_t>(pw.size()));
    return QString::fromLatin1(out);
}

bool VerifyPassword(const QString& hash, const QString& password) {
    ensureSodium();
    QByteArray h = hash.toLatin1();
    if (h.isEmpty() || h.size() >= crypto_pwhash_STRBYTES) return false;
    QByteArray pw = password.toUtf8();
    bool ok = crypto_pwhash_str_verify(h.constData(), pw.constData(), static_cast<unsigned long long>(pw.size())) == 0;
    sodium_memzero(pw.data(), static_cast<size_t>(pw.size()));
    return ok;
}

QString RandomToken(int bytes) {
    ensureSodium();
    QByteArray raw(bytes, '\0');
    randombytes_buf(raw.data(), static_cast<size_t>(raw.size()));
    return QString::fromLatin1(raw.toHex());
}

}  // namespace vendra::server
