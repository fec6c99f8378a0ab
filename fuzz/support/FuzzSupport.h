#pragma once
// What every fuzz target shares: reading typed pieces from the input bytes, refusals that count
// as sound, and property checks that end the run (a crash for libFuzzer, a failed replay test).
#include "ostrel/RuntimeError.h"

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vendra::fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line, const QString& detail) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n  %s\n", file, line, what, qUtf8Printable(detail));
    std::abort();
}

// Runs `f`; a run-time error with its number is the reader's sound refusal of bad input, anything
// else (another exception, a crash) reaches the fuzzer. True when `f` returned normally.
template <class F>
bool refusedOrDone(F&& f) {
    try {
        f();
        return true;
    } catch (const ostrel::RuntimeError& e) {
        if (e.number() <= 0) fail("a refusal carries its error number", __FILE__, __LINE__, e.description());
        return false;
    }
}

// Reads the input from the front: small numbers and choices first, texts after.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool empty() const { return p_ == end_; }
    size_t left() const { return static_cast<size_t>(end_ - p_); }
    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    uint16_t u16() { return static_cast<uint16_t>(byte() | byte() << 8); }
    uint32_t u32() { return static_cast<uint32_t>(u16()) | static_cast<uint32_t>(u16()) << 16; }
    uint64_t u64() { return static_cast<uint64_t>(u32()) | static_cast<uint64_t>(u32()) << 32; }
    // A number in lo..hi (hi - lo below 65536).
    int range(int lo, int hi) { return lo + static_cast<int>(u16() % static_cast<unsigned>(hi - lo + 1)); }

    // The next `n` bytes at most.
    QByteArray bytes(size_t n) {
        n = std::min(n, left());
        QByteArray out(reinterpret_cast<const char*>(p_), static_cast<qsizetype>(n));
        p_ += n;
        return out;
    }
    // A text of up to 255 bytes of UTF-8, its length first.
    QString shortText() { return QString::fromUtf8(bytes(byte())); }
    QByteArray restBytes() { return bytes(left()); }
    QString restUtf8() { return QString::fromUtf8(restBytes()); }
    // The rest as UTF-16 code units, lone surrogates included.
    QString restUtf16() {
        QString out;
        while (left() >= 2) out.append(QChar(u16()));
        return out;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

}  // namespace vendra::fuzz

// Checks a property; `detail` is built only when it fails.
#define FUZZ_EXPECT(cond, detail)                                                   \
    do {                                                                            \
        if (!(cond)) ::vendra::fuzz::fail(#cond, __FILE__, __LINE__, (detail));     \
    } while (0)
