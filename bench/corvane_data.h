#pragma once
// An orders-like JARRAY reply: line number, product key, quantity, unit price, amount, VAT flag,
// remark and delivery date, built straight as text so that no table is needed to make it.
#include "corvane/ValueText.h"

#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"

#include <QString>
#include <cstdint>
#include <random>

namespace corvane_bench {

inline QString ordersReply(int rows) {
    static const char16_t* products[] = {u"사과_kg", u"배_상자", u"감귤_5kg", u"양파_망", u"대파_단", u"배추_포기",
                                         u"무_개", u"감자_20kg", u"고구마_박스", u"오이_50개", u"애호박_개",
                                         u"당근_kg", u"표고버섯_봉", u"깐마늘_1kg", u"청양고추_봉", u"시금치"};
    static const char16_t* remarks[] = {u"", u"오전 배송", u"\"특품\"으로 부탁드립니다", u"박스 파손 주의",
                                        u"지난번과 같은 규격", u"냉장 보관"};
    static const char16_t* flags[] = {u"+", u"/", u""};
    std::mt19937 rng(42);
    const double base = ostrel::DateSerial(2024, 3, 1).serial;
    QString s;
    s.reserve(static_cast<qsizetype>(rows) * 130 + 64);
    s += QLatin1String("<success>1</success><JARRAY>\r\n<NOF>8</NOF>\r\n");
    for (int r = 0; r < rows; ++r) {
        const ostrel::Currency qty = ostrel::Currency::fromRaw(static_cast<int64_t>(1 + rng() % 400) * 5000);
        const ostrel::Currency price = ostrel::Currency::fromInt(static_cast<int64_t>(500 + rng() % 90) * 100);
        const char16_t* remark = remarks[rng() % std::size(remarks)];
        s += QLatin1String("<TR><TD>");
        s += QString::number(r + 1);
        s += QLatin1String("</TD><TD>");
        s += corvane::LiteralText(QString::fromUtf16(products[rng() % std::size(products)]));
        s += QLatin1String("</TD><TD>");
        s += qty.toString();
        s += QLatin1String("</TD><TD>");
        s += price.toString();
        s += QLatin1String("</TD><TD>");
        s += (qty * price).toString();
        s += QLatin1String("</TD><TD>");
        s += corvane::LiteralText(QString::fromUtf16(flags[rng() % std::size(flags)]));
        s += QLatin1String("</TD><TD>");
        s += *remark ? corvane::LiteralText(QString::fromUtf16(remark)) : QStringLiteral("EMPTY");
        s += QLatin1String("</TD><TD>");
        s += corvane::LiteralText(ostrel::Date(base + static_cast<double>(rng() % 60)));
        s += QLatin1String("</TD></TR>\r\n");
    }
    s += QLatin1String("</JARRAY>");
    return s;
}

}  // namespace corvane_bench
