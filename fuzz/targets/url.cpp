// Form bodies and queries as the order server reads them: URLDecode and ParseForm over any bytes.
// A decoded text encodes and decodes back to itself, and the fields of a body, encoded again and
// joined with "&", parse back to the same fields in the same order.
#include "FuzzSupport.h"

#include "corvane/UrlEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString decoded = corvane::URLDecode(raw);
    const QString encoded = corvane::URLEncode(decoded);
    FUZZ_EXPECT(
        corvane::URLDecode(encoded.toLatin1()) == decoded,
        QStringLiteral("[%1] decoded as [%2], encoded as [%3]").arg(QString::fromLatin1(raw), decoded, encoded));

    const corvane::FormFields fields = corvane::ParseForm(raw);
    QByteArray body;
    for (const auto& [name, value] : fields) {
        if (!body.isEmpty()) body += '&';
        body += corvane::URLEncode(name).toLatin1() + '=' + corvane::URLEncode(value).toLatin1();
    }
    const corvane::FormFields again = corvane::ParseForm(body);
    FUZZ_EXPECT(again == fields, QStringLiteral("[%1] parsed into %2 fields, encoded as [%3] into %4")
                                     .arg(QString::fromLatin1(raw)).arg(fields.size())
                                     .arg(QString::fromLatin1(body)).arg(again.size()));
    return 0;
}
