// Fixed-width texts counted in code page 949 bytes: padr and padl give exactly the width asked for
// whatever they cut, the byte cutters never give more than asked; fdn and fdnc give exactly the
// width, and what they show (unless asterisks) reads back as the value. The first bytes give the
// width, the decimals, a start and a currency value; the rest is the text (UTF-16).
#include "FuzzSupport.h"

#include "ostrel/Cp949.h"
#include "ostrel/fncNumber.h"
#include "ostrel/fncString.h"

using ostrel::cp949::byteLength;
using vendra::fuzz::refusedOrDone;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const int width = in.range(0, 40);
    const int dec = in.range(0, 6);
    const int start = in.range(1, 40);
    const ostrel::Currency value = ostrel::Currency::fromRaw(static_cast<int64_t>(in.u64()) >> (in.byte() % 64));
    const QString text = in.restUtf16();

    const ostrel::fncString s;
    refusedOrDone([&] {
        FUZZ_EXPECT(byteLength(s.padr(text, width)) == width, QStringLiteral("padr to %1").arg(width));
        FUZZ_EXPECT(byteLength(s.padl(text, width)) == width, QStringLiteral("padl to %1").arg(width));
        FUZZ_EXPECT(s.padr(text, width).startsWith(s.leftDB(text, width)), QStringLiteral("padr to %1").arg(width));
    });
    refusedOrDone([&] { FUZZ_EXPECT(byteLength(s.leftDB(text, width)) <= width, text); });
    refusedOrDone([&] { FUZZ_EXPECT(byteLength(s.rightDB(text, width)) <= width, text); });
    refusedOrDone([&] { FUZZ_EXPECT(byteLength(s.midDB(text, start, width)) <= width, text); });

    const ostrel::fncNumber n;
    const QString plain = n.fdn(value, width, dec), grouped = n.fdnc(value, width, dec);
    FUZZ_EXPECT(plain.size() == width && grouped.size() == width,
                QStringLiteral("%1 in %2,%3: [%4] [%5]").arg(value.toString()).arg(width).arg(dec).arg(plain, grouped));
    for (QString shown : {plain, grouped}) {
        if (width == 0 || shown.startsWith(u'*')) continue;
        const ostrel::Currency back = ostrel::Variant(shown.remove(u',').trimmed()).toCurrency();
        FUZZ_EXPECT(back == value, QStringLiteral("%1 shown as [%2]").arg(value.toString(), shown));
    }
    return 0;
}
