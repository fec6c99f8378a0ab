#include "ostrel/Cp949.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace ostrel::cp949 {

namespace {
// Both directions are tabulated once from glibc's converter, so every call afterwards is a
// table lookup instead of an iconv round trip.
struct Tables {
    std::array<uint16_t, 65536> toCp{};     // 0 = unmappable; < 0x100 one byte, else two
    std::array<char16_t, 65536> fromCp{};   // by lead << 8 | trail; 0 = no character

    Tables() {
        iconv_t enc = iconv_open("CP949", "UTF-16LE");
        iconv_t dec = iconv_open("UTF-16LE", "CP949");
        if (enc == reinterpret_cast<iconv_t>(-1) || dec == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("glibc iconv lacks CP949");
        for (uint32_t c = 0; c < 65536; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            unsigned char out[4];
            char* ip = in;
            char* op = reinterpret_cast<char*>(out);
            size_t il = 2, ol = sizeof out;
            iconv(enc, nullptr, nullptr, nullptr, nullptr);
            if (iconv(enc, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) continue;
            size_t n = sizeof out - ol;
            if (n == 1) toCp[c] = out[0];
            else if (n == 2) toCp[c] = static_cast<uint16_t>(out[0] << 8 | out[1]);
        }
        toCp[0] = 0;  // NUL maps to itself; kept apart from "unmappable" by the encoder
        for (uint32_t lead = 0x81; lead <= 0xFE; ++lead) {
            for (uint32_t trail = 0x41; trail <= 0xFE; ++trail) {
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char16_t out[2];
                char* ip = in;
                char* op = reinterpret_cast<char*>(out);
                size_t il = 2, ol = sizeof out;
                iconv(dec, nullptr, nullptr, nullptr, nullptr);
                if (iconv(dec, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) continue;
                if (sizeof out - ol == 2) fromCp[lead << 8 | trail] = out[0];
            }
        }
        iconv_close(enc);
        iconv_close(dec);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
}  // namespace

int charBytes(char16_t unit) {
    if (unit < 0x80) return 1;
    if (unit >= 0xAC00 && unit <= 0xD7A3) return 2;  // every Hangul syllable is in the code page
    uint16_t code = tables().toCp[unit];
    return code > 0xFF ? 2 : 1;
}

int byteLength(QStringView text) {
    int n = 0;
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    for (; p < end; ++p) {
        char16_t u = p->unicode();
        if (u < 0x80) { ++n; continue; }
        if (QChar::isHighSurrogate(u) && p + 1 < end && QChar::isLowSurrogate(p[1].unicode())) {
            ++p;
            ++n;
            continue;
        }
        n += charBytes(u);
    }
    return n;
}

QByteArray encode(QStringView text) {
    const Tables& t = tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    for (; p < end; ++p) {
        char16_t u = p->unicode();
        if (u < 0x80) { out.append(static_cast<char>(u)); continue; }
        if (QChar::isHighSurrogate(u) && p + 1 < end && QChar::isLowSurrogate(p[1].unicode())) {
            ++p;
            out.append('?');
            continue;
        }
        uint16_t code = t.toCp[u];
        if (code == 0) out.append('?');
        else if (code < 0x100) out.append(static_cast<char>(code));
        else {
            out.append(static_cast<char>(code >> 8));
            out.append(static_cast<char>(code & 0xFF));
        }
    }
    return out;
}

QString decode(QByteArrayView bytes) {
    const Tables& t = tables();
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) { out.append(QChar(b)); ++p; continue; }
        if (isLead(b) && p + 1 < end) {
            char16_t c = t.fromCp[b << 8 | p[1]];
            if (c != 0) { out.append(QChar(c)); p += 2; continue; }
        }
        out.append(QLatin1Char('?'));
        ++p;
    }
    return out;
}

}  // namespace ostrel::cp949
