// The code page 949 codec and the byte-counted string functions built on it. Bytes decode to a
// text that encodes and decodes to itself; any UTF-16 text (lone surrogates too) encodes to as
// many bytes as byteLength counts; padr and padl give exactly the width asked for.
#include "FuzzSupport.h"

#include "ostrel/Cp949.h"
#include "ostrel/fncString.h"

namespace cp949 = ostrel::cp949;
using vendra::fuzz::refusedOrDone;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const int width = in.range(0, 64);
    const int start = in.range(0, 64);
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString decoded = cp949::decode(bytes);
    FUZZ_EXPECT(cp949::decode(cp949::encode(decoded)) == decoded, decoded);

    const QString text = in.restUtf16();
    const QByteArray encoded = cp949::encode(text);
    FUZZ_EXPECT(encoded.size() == cp949::byteLength(text),
                QStringLiteral("%1 bytes, byteLength %2").arg(encoded.size()).arg(cp949::byteLength(text)));

    const ostrel::fncString s;
    // Fixed-width columns rely on the width, whatever was cut.
    refusedOrDone([&] {
        FUZZ_EXPECT(cp949::byteLength(s.padr(text, width)) == width, QStringLiteral("padr to %1").arg(width));
        FUZZ_EXPECT(cp949::byteLength(s.padl(text, width)) == width, QStringLiteral("padl to %1").arg(width));
    });
    refusedOrDone([&] { FUZZ_EXPECT(cp949::byteLength(s.leftDB(text, width)) <= width, text); });
    refusedOrDone([&] { FUZZ_EXPECT(cp949::byteLength(s.rightDB(text, width)) <= width, text); });
    refusedOrDone([&] { FUZZ_EXPECT(cp949::byteLength(s.midDB(text, start + 1, width)) <= width, text); });
    refusedOrDone([&] { s.lenDB(text); });
    return 0;
}
