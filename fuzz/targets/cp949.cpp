// The code page 949 codec: bytes decode to a text that encodes and decodes to itself; any UTF-16
// text (lone surrogates too) encodes to as many bytes as byteLength counts.
#include "FuzzSupport.h"

#include "ostrel/Cp949.h"

namespace cp949 = ostrel::cp949;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString decoded = cp949::decode(bytes);
    FUZZ_EXPECT(cp949::decode(cp949::encode(decoded)) == decoded, decoded);

    const QString text = in.restUtf16();
    const QByteArray encoded = cp949::encode(text);
    FUZZ_EXPECT(encoded.size() == cp949::byteLength(text),
                QStringLiteral("%1 bytes, byteLength %2").arg(encoded.size()).arg(cp949::byteLength(text)));
    return 0;
}
