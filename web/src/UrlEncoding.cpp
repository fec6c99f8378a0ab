#include "corvane/UrlEncoding.h"

#include "ostrel/Cp949.h"

namespace corvane {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";

bool unreserved(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

QString URLEncode(QStringView text) {
    const QByteArray bytes = ostrel::cp949::encode(text);
    QString out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        if (unreserved(b)) {
            out.append(QLatin1Char(c));
        } else {
            out.append(u'%');
            out.append(QLatin1Char(kHex[b >> 4]));
            out.append(QLatin1Char(kHex[b & 0x0F]));
        }
    }
    return out;
}

QString URLDecode(QByteArrayView encoded) {
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '+') {
            bytes.append(' ');
        } else if (c == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0
                   && hexValue(encoded[i + 2]) >= 0) {
            bytes.append(static_cast<char>(hexValue(encoded[i + 1]) << 4 | hexValue(encoded[i + 2])));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    return ostrel::cp949::decode(bytes);
}

FormFields ParseForm(QByteArrayView body) {
    FormFields fields;
    if (body.startsWith('?')) body = body.sliced(1);
    qsizetype start = 0;
    while (start <= body.size()) {
        qsizetype amp = body.indexOf('&', start);
        if (amp < 0) amp = body.size();
        QByteArrayView piece = body.sliced(start, amp - start);
        if (!piece.isEmpty()) {
            qsizetype eq = piece.indexOf('=');
            if (eq < 0) fields.emplace_back(URLDecode(piece), QString());
            else fields.emplace_back(URLDecode(piece.first(eq)), URLDecode(piece.sliced(eq + 1)));
        }
        start = amp + 1;
    }
    return fields;
}

QString FormValue(const FormFields& fields, QStringView name, const QString& fallback) {
    for (const auto& [n, v] : fields)
        if (n == name) return v;
    return fallback;
}

bool HasField(const FormFields& fields, QStringView name) {
    for (const auto& f : fields)
        if (f.first == name) return true;
    return false;
}

}  // namespace corvane
