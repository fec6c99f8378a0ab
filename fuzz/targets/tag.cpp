// Tag text as the client reads replies: one element in plain and literal style, a walk over every
// element of one name, and the JARRAY table. The first byte picks the tag and the type code; the
// rest is the reply (UTF-8). A table that was read writes back and reads back to itself.
#include "FuzzSupport.h"
#include "TableCompare.h"

#include "corvane/clsExtractTags.h"
#include "corvane/fncXML.h"

using vendra::fuzz::refusedOrDone;

namespace {

const QString kTags[] = {
    QStringLiteral("JARRAY"), QStringLiteral("NOF"), QStringLiteral("TR"), QStringLiteral("TD"),
    QStringLiteral("success"), QStringLiteral("failmsg"), QStringLiteral("notice"), QStringLiteral("version"),
    QStringLiteral("dgr"), QStringLiteral("received"),
};
constexpr int kTypes[] = {2, 3, 4, 5, 6, 7, 8, 11};
constexpr int kTagCount = sizeof kTags / sizeof kTags[0];

void walk(const QString& text, const QString& tag) {
    corvane::clsExtractTags walker;
    walker.setString1(text);
    walker.setTag(tag);
    refusedOrDone([&] {
        // Every element found lies past the one before, so there are fewer than the characters.
        qsizetype found = 0;
        for (walker.MoveFirst(); !walker.isEOF(); walker.MoveNext())
            FUZZ_EXPECT(++found <= text.size(), QStringLiteral("walk of <%1> does not end").arg(tag));
    });
}

void roundTrip(const corvane::fncXML& x, const QString& text) {
    std::shared_ptr<ostrel::clsTable> first;
    if (!refusedOrDone([&] { first = x.TagToJarray(text); })) return;
    // What was read holds no closing tag of its own elements, so it must write without refusal.
    const QString written = x.JarrayToTag(*first);
    const auto second = x.TagToJarray(written);
    vendra::fuzz::expectSameTable(*first, *second, written);
    const QString again = x.JarrayToTag(*second);
    FUZZ_EXPECT(again == written, QStringLiteral("written twice differently:\n%1\n%2").arg(written, again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const uint8_t pick = in.byte();
    const QString& tag = kTags[pick % kTagCount];
    const int type = kTypes[(pick / kTagCount) % 8];
    const QString text = in.restUtf8();

    const corvane::fncXML x;
    refusedOrDone([&] { x.ExtractTag(text, tag); });
    refusedOrDone([&] { x.GetTag(text, tag, type); });
    refusedOrDone([&] { x.GetTagValue(text, tag); });
    walk(text, tag);
    roundTrip(x, text);
    return 0;
}
