// The input cell's readers of typed text: numbers ("12+", "3*", "1,234"), dates ("0315", "24-1-2",
// "95/12/31"), Boolean marks and the quote stripping of text cells. The first bytes give the
// stored value, the width, the decimals and a date; the rest is the typed text (UTF-8). What a
// cell shows reads back as the value it shows.
#include "FuzzSupport.h"

#include "ostrel/DateTime.h"
#include "ostrel/fncDate.h"
#include "ostrel/fncNumber.h"
#include "tessel/CellText.h"

#include <cmath>

using ostrel::Currency;
using ostrel::Date;
using ostrel::Variant;
using vendra::fuzz::refusedOrDone;

namespace {

const Date kToday = ostrel::DateSerial(2024, 3, 5);

Variant storedValue(vendra::fuzz::ByteReader& in) {
    switch (in.byte() % 4) {
    case 0: return {};
    case 1: return ostrel::DateSerial(in.range(1990, 2089), in.range(1, 12), in.range(1, 28));
    case 2: return Date(static_cast<double>(static_cast<int32_t>(in.u32())) / 16);
    default: return in.shortText();
    }
}

void checkNumber(const QString& text, int width, int dec) {
    const Variant v = tessel::readNumberText(text);
    FUZZ_EXPECT(v.isEmpty() || v.isNull() || v.type() == ostrel::VarType::Currency, text);
    if (v.type() != ostrel::VarType::Currency) return;
    // Shown with separators and read back, a value of up to 15 significant digits is unchanged.
    const Currency c = v.toCurrency();
    if (std::fabs(c.toDouble()) >= 1e11) return;
    const QString shown = ostrel::fncNumber().fdnc(v, width, dec);
    if (shown.contains(u'*')) return;
    const Variant back = tessel::readNumberText(shown.trimmed());
    FUZZ_EXPECT(back.identical(v), QStringLiteral("[%1] read as %2, shown as [%3], read back as %4")
                                       .arg(text, v.toString(), shown, back.toString()));
}

void checkDate(const QString& text, const Variant& stored, Date shown) {
    Date d;
    if (!refusedOrDone([&] { d = tessel::readDateText(text, stored, kToday); })) return;
    FUZZ_EXPECT(d.isZero() || (ostrel::Year(d) >= 100 && ostrel::Year(d) <= 9999), text);
    // A day of the cell's century shown as YY/MM/DD reads back as that day.
    const QString yymmdd = ostrel::fncDate().DtoC(Variant(shown));
    const Date back = tessel::readDateText(yymmdd, stored, kToday);
    FUZZ_EXPECT(back == shown, QStringLiteral("%1 shown as [%2] read back as %3")
                                   .arg(ostrel::fncDate().DtoG(shown), yymmdd, ostrel::fncDate().DtoG(back)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const Variant stored = storedValue(in);
    const int width = in.range(1, 30);
    const int dec = in.range(0, 4);
    const Date shown = ostrel::DateSerial(in.range(1990, 2089), in.range(1, 12), in.range(1, 31));
    const QString text = in.restUtf8();

    checkNumber(text, width, dec);
    checkDate(text, stored, shown);

    const Variant mark = tessel::readBooleanText(text);
    FUZZ_EXPECT(mark.isEmpty() || mark.isBoolean(), text);
    for (bool b : {true, false}) {
        const auto markText = tessel::booleanMark(Variant(b), width);
        FUZZ_EXPECT(markText && tessel::readBooleanText(*markText).identical(Variant(b)), QString::number(width));
    }

    const QString stripped = tessel::stripQuotesAndBrackets(text);
    for (QChar c : {u'"', u'\'', u'[', u']'}) FUZZ_EXPECT(!stripped.contains(c), stripped);
    return 0;
}
