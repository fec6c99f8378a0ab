#include "ostrel/fncString.h"

#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"

#include <QCollator>
#include <QLocale>
#include <cstring>

namespace ostrel {

namespace {

// Counts and widths are 16-bit on the interface: beyond that is overflow, below zero invalid.
void checkCount(int n) {
    if (n < -32768 || n > 32767) throw RuntimeError::overflow();
    if (n < 0) throw RuntimeError::invalidArgument(QStringLiteral("negative byte count"));
}

// One character as the code page sees it: its bytes and the UTF-16 units it spans. A surrogate
// pair is one unmappable character ("?", one byte).
struct Step {
    int bytes;
    int units;
};

inline int unitBytes(char16_t u) {
    if (u < 0x80) return 1;
    if (u >= 0xAC00 && u <= 0xD7A3) return 2;
    return cp949::charBytes(u);
}

inline Step stepForward(const QChar* p, const QChar* end) {
    char16_t u = p->unicode();
    if (u < 0x80) return {1, 1};
    if (QChar::isHighSurrogate(u) && p + 1 < end && QChar::isLowSurrogate(p[1].unicode())) return {1, 2};
    return {unitBytes(u), 1};
}

// The character that ends just before `p` (begin < p).
inline Step stepBackward(const QChar* begin, const QChar* p) {
    char16_t u = p[-1].unicode();
    if (u < 0x80) return {1, 1};
    if (QChar::isLowSurrogate(u) && p - 1 > begin && QChar::isHighSurrogate(p[-2].unicode())) return {1, 2};
    return {unitBytes(u), 1};
}

QString chopTrailingSpaces(QString s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
    s.truncate(n);
    return s;
}

QStringView chopTrailingSpaces(QStringView s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    return s.left(n);
}

// `spacesBefore` spaces, `text`, `spacesAfter` spaces, in one allocation.
QString spaced(qsizetype spacesBefore, QStringView text, qsizetype spacesAfter) {
    QString r(spacesBefore + text.size() + spacesAfter, Qt::Uninitialized);
    QChar* d = r.data();
    for (qsizetype i = 0; i < spacesBefore; ++i) *d++ = QLatin1Char(' ');
    if (!text.isEmpty()) std::memcpy(d, text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
    d += text.size();
    for (qsizetype i = 0; i < spacesAfter; ++i) *d++ = QLatin1Char(' ');
    return r;
}

// Units of the longest prefix of `s` within `limit` bytes; `bytes` receives its byte count.
qsizetype prefixWithin(QStringView s, int limit, int& bytes) {
    const QChar* begin = s.data();
    const QChar* end = begin + s.size();
    const QChar* p = begin;
    bytes = 0;
    while (p < end) {
        Step st = stepForward(p, end);
        if (bytes + st.bytes > limit) break;
        bytes += st.bytes;
        p += st.units;
    }
    return p - begin;
}

// Units of the longest suffix of `s` within `limit` bytes.
qsizetype suffixWithin(QStringView s, int limit, int& bytes) {
    const QChar* begin = s.data();
    const QChar* p = begin + s.size();
    bytes = 0;
    while (p > begin) {
        Step st = stepBackward(begin, p);
        if (bytes + st.bytes > limit) break;
        bytes += st.bytes;
        p -= st.units;
    }
    return begin + s.size() - p;
}

bool isLatinLetter(QChar c) {
    char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool readsAsNumber(QStringView t) {
    double ignored;
    return ParseNumber(t, ignored);
}

}  // namespace

bool fncString::SylableInclude(const QString& sWord, const QString& sSylables) const {
    const qsizetype n = sSylables.size();
    qsizetype from = 0;  // search position, 0-based
    bool all = true;
    qsizetype i = 0;
    while (i < n) {
        qsizetype len = 1;
        if (isLatinLetter(sSylables[i])) {
            while (i + len < n && isLatinLetter(sSylables[i + len])) ++len;
        } else if (readsAsNumber(QStringView(sSylables).mid(i, 1))) {
            while (i + len < n && readsAsNumber(QStringView(sSylables).mid(i, len + 1))) ++len;
        }
        QStringView token = QStringView(sSylables).mid(i, len);
        qsizetype f = from <= sWord.size() ? QStringView(sWord).indexOf(token, from) : -1;
        if (f >= 0) from = f + len;
        else all = false;  // the rest is still searched from where we stood
        i += len;
    }
    return all;
}

bool fncString::IsEqualIgnoreCase(const QString& string1, const QString& string2) const {
    if (string1.size() == string2.size() && string1.compare(string2, Qt::CaseInsensitive) == 0) return true;
    // Locale-aware in the system's one locale, whatever the machine's: width and case variants
    // of a letter compare equal, as Korean text comparison does.
    thread_local QCollator collator = [] {
        QCollator c{QLocale(QLocale::Korean, QLocale::SouthKorea)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator.compare(string1, string2) == 0;
}

bool fncString::IsAlphabeticChr(const QString& c) const {
    if (c.isEmpty()) return false;
    // Binary comparison of the whole text against the bounds, as a range test on strings does.
    QStringView v(c);
    return (v.compare(u"a") >= 0 && v.compare(u"z") <= 0) || (v.compare(u"A") >= 0 && v.compare(u"Z") <= 0);
}

bool fncString::IsInStr(const QString& string1, const QString& string2) const {
    // An empty text is found at the start of any text.
    return string1.contains(string2, Qt::CaseSensitive);
}

QString fncString::RemoveStr(const QString& string1, const QString& string2) const {
    if (string2.isEmpty()) return string1;
    QString r = string1;
    r.remove(string2, Qt::CaseSensitive);
    return r;
}

QString fncString::leftDB(const QString& s, int l) const {
    checkCount(l);
    if (l == 0) return {};
    if (static_cast<qsizetype>(l) >= s.size() * 2) return chopTrailingSpaces(s);  // every unit fits
    int bytes;
    qsizetype units = prefixWithin(s, l, bytes);
    return chopTrailingSpaces(QStringView(s).left(units)).toString();
}

QString fncString::midDB(const QString& s, int p, int l) const {
    if (p < -32768 || p > 32767) throw RuntimeError::overflow();
    if (p < 1) throw RuntimeError::invalidArgument(QStringLiteral("start below 1"));
    checkCount(l);
    if (l == 0) return {};
    const long long first = p - 1;             // first byte of the range
    const long long last = first + l;          // one past its last byte
    const QChar* begin = s.constData();
    const QChar* end = begin + s.size();
    const QChar* q = begin;
    long long at = 0;
    // Skip what lies before the range; a character straddling its start is left out.
    while (q < end && at < first) {
        Step st = stepForward(q, end);
        at += st.bytes;
        q += st.units;
    }
    const QChar* from = q;
    while (q < end) {
        Step st = stepForward(q, end);
        if (at + st.bytes > last) break;
        at += st.bytes;
        q += st.units;
    }
    return chopTrailingSpaces(QStringView(from, q - from)).toString();
}

QString fncString::rightDB(const QString& s, int l) const {
    checkCount(l);
    if (l == 0) return {};
    if (static_cast<qsizetype>(l) >= s.size() * 2) return s;
    int bytes;
    qsizetype units = suffixWithin(s, l, bytes);
    return s.right(units);
}

int fncString::lenDB(const QString& s) const {
    const QChar* p = s.constData();
    const QChar* end = p + s.size();
    long long n = 0;
    while (p < end) {
        Step st = stepForward(p, end);
        n += st.bytes;
        p += st.units;
    }
    if (n > 32767) throw RuntimeError::overflow(QStringLiteral("text longer than 32767 bytes"));
    return static_cast<int>(n);
}

QString fncString::padr(const QString& s, int n) const {
    checkCount(n);
    int bytes;
    qsizetype units = prefixWithin(s, n, bytes);
    if (units == s.size()) {
        if (bytes == n) return s;
        return spaced(0, s, n - bytes);
    }
    // Cut: a double-byte character split by the limit leaves a space in its place.
    return spaced(0, QStringView(s).left(units), n - bytes);
}

QString fncString::padl(const QString& s, int n) const {
    checkCount(n);
    int bytes;
    qsizetype units = suffixWithin(s, n, bytes);
    if (units == s.size() && bytes == n) return s;
    return spaced(n - bytes, QStringView(s).right(units), 0);
}

QString fncString::quot(const QString& s) const {
    QString r;
    r.reserve(s.size() + 2 + s.count(QLatin1Char('"')));
    r.append(QLatin1Char('"'));
    for (QChar c : s) {
        r.append(c);
        if (c == QLatin1Char('"')) r.append(QLatin1Char('"'));
    }
    r.append(QLatin1Char('"'));
    return r;
}

QString fncString::SliceQuot(const QString& s) const {
    if (s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'))) {
        // A lone quote both begins and ends the text: its middle would have negative length.
        if (s.size() < 2) throw RuntimeError::invalidArgument(QStringLiteral("a lone quote character"));
        return s.mid(1, s.size() - 2);
    }
    return s;
}

Variant fncString::SplitBySpace(const QString& s) const {
    std::vector<Variant> words;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && s[i] == QLatin1Char(' ')) ++i;
        qsizetype start = i;
        while (i < n && s[i] != QLatin1Char(' ')) ++i;
        if (i > start) words.emplace_back(s.mid(start, i - start));
    }
    return Variant::array(std::move(words), 0);
}

}  // namespace ostrel
