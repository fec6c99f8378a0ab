// Literal style, the typed content of tag text. The input is read twice: as content that
// ParseLiteral must read or refuse, and as a value that LiteralText writes and ParseLiteral must
// read back unchanged (numbers as currency).
#include "FuzzSupport.h"
#include "LiteralValues.h"

#include "corvane/ValueText.h"

using ostrel::Variant;
using vendra::fuzz::refusedOrDone;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Variant read;
    if (refusedOrDone([&] { read = corvane::ParseLiteral(text); })) {
        // A value read from text writes as text that reads as the same value.
        const QString written = corvane::LiteralText(read);
        const Variant again = corvane::ParseLiteral(written);
        FUZZ_EXPECT(again.identical(vendra::fuzz::readBack(read)),
                    QStringLiteral("[%1] read as [%2], written as [%3], read back as [%4]")
                        .arg(text, read.toString(), written, again.toString()));
    }

    vendra::fuzz::ByteReader in(data, size);
    const Variant v = vendra::fuzz::literalValue(in);
    const QString written = corvane::LiteralText(v);
    const Variant back = corvane::ParseLiteral(written);
    FUZZ_EXPECT(back.identical(vendra::fuzz::readBack(v)),
                QStringLiteral("[%1] written as [%2], read back as [%3]").arg(v.toString(), written, back.toString()));
    return 0;
}
