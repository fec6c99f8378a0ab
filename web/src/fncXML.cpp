#include "corvane/fncXML.h"

#include "TagScan.h"
#include "corvane/ValueText.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/clsTable.h"
#include "ostrel/fncDate.h"

using ostrel::RuntimeError;
using ostrel::trimSpaces;
using ostrel::Variant;
using ostrel::VarType;

namespace corvane {

namespace {

inline bool sameIgnoringCase(QChar a, QChar b) {
    if (a == b) return true;
    char16_t x = a.unicode(), y = b.unicode();
    if (x < 0x80 && y < 0x80) {
        x |= 0x20;
        return x == (y | 0x20) && x >= u'a' && x <= u'z';
    }
    if (x < 0x80 || y < 0x80) return false;
    return a.toCaseFolded() == b.toCaseFolded();
}


QString describeAt(const char* what, QStringView tag, qsizetype pos) {
    return QStringLiteral("%1 <%2> at character %3").arg(QLatin1String(what), tag.toString()).arg(pos + 1);
}

// A text content that would end its element early cannot be written without loss.
void refuseClosingTag(const QString& content, QStringView tagname) {
    const QString close = detail::closeTag(tagname);
    if (indexOfIgnoreCase(content, close) >= 0)
        throw RuntimeError::invalidArgument(QStringLiteral("content of <%1> holds its closing tag").arg(tagname));
}

}  // namespace

qsizetype indexOfIgnoreCase(QStringView hay, QStringView needle, qsizetype from) {
    if (from < 0) from = 0;
    const qsizetype n = needle.size();
    if (n == 0) return from <= hay.size() ? from : -1;
    const qsizetype lastStart = hay.size() - n;
    const QChar c0 = needle[0];
    const bool plainFirst = !c0.isLetter();
    qsizetype p = from;
    while (p <= lastStart) {
        if (plainFirst) {
            p = hay.indexOf(c0, p);  // vectorised scan for the '<' of a tag
            if (p < 0 || p > lastStart) return -1;
        } else if (!sameIgnoringCase(hay[p], c0)) {
            ++p;
            continue;
        }
        qsizetype k = 1;
        while (k < n && sameIgnoringCase(hay[p + k], needle[k])) ++k;
        if (k == n) return p;
        ++p;
    }
    return -1;
}

namespace detail {

QStringView extractIgnoreCase(QStringView text, QStringView tag, bool* openWithoutClose) {
    const QString open = openTag(tag), close = closeTag(tag);
    qsizetype p1 = indexOfIgnoreCase(text, open);
    if (openWithoutClose) *openWithoutClose = false;
    if (p1 < 0) return {};
    qsizetype p2 = indexOfIgnoreCase(text, close);
    if (p2 < 0) {
        if (openWithoutClose) *openWithoutClose = true;
        return {};
    }
    qsizetype start = p1 + open.size();
    if (p2 < start)
        throw RuntimeError::invalidArgument(describeAt("closing tag comes before", tag, p1));
    return text.mid(start, p2 - start);
}

qsizetype indexOfTag(QStringView text, QStringView tag, qsizetype from) {
    const qsizetype n = tag.size();
    const qsizetype lastStart = text.size() - n;
    for (qsizetype p = from; p <= lastStart; ++p) {
        p = text.indexOf(u'<', p);  // vectorised; content rarely holds a '<'
        if (p < 0 || p > lastStart) return -1;
        if (text.mid(p, n) == tag) return p;
    }
    return -1;
}

bool nextElement(QStringView text, QStringView open, QStringView close, qsizetype& pos,
                 QStringView& content) {
    // One pass over the '<' characters: the first opening tag, unless a closing tag comes first.
    QStringView tag = open.mid(1, open.size() - 2);
    qsizetype p1 = -1;
    const qsizetype lastStart = text.size() - open.size();
    for (qsizetype p = pos;; ++p) {
        p = text.indexOf(u'<', p);
        if (p < 0 || p > lastStart) break;  // no room left for an opening tag
        QStringView at = text.mid(p);
        if (at.startsWith(open)) {
            p1 = p;
            break;
        }
        if (at.startsWith(close)) {
            // A closing tag before any opening tag: an error only when an opening tag follows.
            qsizetype later = indexOfTag(text, open, p + close.size());
            if (later < 0) return false;
            throw RuntimeError::invalidArgument(describeAt("closing tag comes before", tag, later));
        }
    }
    if (p1 < 0) return false;
    const qsizetype start = p1 + open.size();
    const qsizetype p2 = indexOfTag(text, close, start);
    if (p2 < 0) throw RuntimeError::invalidArgument(describeAt("no closing tag after", tag, p1));
    content = text.mid(start, p2 - start);
    pos = p2 + close.size();
    return true;
}

}  // namespace detail

QString fncXML::ExtractTag(QStringView string1, QStringView tag) const {
    return detail::extractIgnoreCase(string1, tag).toString();
}

Variant fncXML::GetTag(QStringView string1, QStringView tag, int valuetype) const {
    return StringToValue(trimSpaces(detail::extractIgnoreCase(string1, tag)).toString(), valuetype);
}

Variant fncXML::GetTagValue(QStringView string1, QStringView tag) const {
    return ParseLiteral(detail::extractIgnoreCase(string1, tag));
}

QString fncXML::LiteralTag(const QString& tagname, const Variant& v) const {
    if (v.isString()) refuseClosingTag(*v.stringIf(), tagname);
    return detail::openTag(tagname) + LiteralText(v) + detail::closeTag(tagname);
}

QString fncXML::SimpleTag(const QString& tagname, const Variant& v) const {
    QString text;
    if (v.isDate()) text = ostrel::fncDate().DtoG(v.toDate());
    else if (!v.isNull()) text = v.toString();
    refuseClosingTag(text, tagname);
    return detail::openTag(tagname) + text + detail::closeTag(tagname);
}

QString fncXML::JarrayToTag(ostrel::clsTable& a) const {
    static const QString kCrLf = QStringLiteral("\r\n");
    const int nof = a.NOF();
    QString s;
    // A rough guess of the size keeps the appends from reallocating too often; QString grows
    // geometrically past it, so the whole text stays linear in the table.
    s.reserve(64 + static_cast<qsizetype>(a.RecCount()) * (11 + static_cast<qsizetype>(nof) * 16));
    s += QLatin1String("<JARRAY>\r\n<NOF>");
    s += QString::number(static_cast<int16_t>(nof));
    s += QLatin1String("</NOF>\r\n");
    a.MoveFirst();
    while (!a.isEOF()) {
        s += QLatin1String("<TR>");
        for (int j = 0; j < nof; ++j) {
            const Variant& cell = a.fieldRef(j);
            s += QLatin1String("<TD>");
            if (const QString* text = cell.stringIf()) {
                if (detail::indexOfTag(*text, u"</TD>", 0) >= 0 || detail::indexOfTag(*text, u"</TR>", 0) >= 0
                    || indexOfIgnoreCase(*text, u"</JARRAY>") >= 0)
                    throw RuntimeError::invalidArgument(
                        QStringLiteral("record %1, field %2 holds a closing tag").arg(a.Recno()).arg(j));
                s += u'"';
                qsizetype i = 0;
                while (i < text->size()) {
                    qsizetype q = text->indexOf(u'"', i);
                    if (q < 0) { s += QStringView(*text).mid(i); break; }
                    s += QStringView(*text).mid(i, q + 1 - i);
                    s += u'"';
                    i = q + 1;
                }
                s += u'"';
            } else if (cell.isEmpty()) {
                s += QLatin1String("EMPTY");
            } else {
                s += LiteralText(cell);
            }
            s += QLatin1String("</TD>");
        }
        s += QLatin1String("</TR>");
        s += kCrLf;
        a.MoveNext();
    }
    s += QLatin1String("</JARRAY>");
    return s;
}

std::shared_ptr<ostrel::clsTable> fncXML::TagToJarray(QStringView qry) const {
    bool cut = false;
    QStringView inner = detail::extractIgnoreCase(qry, u"JARRAY", &cut);
    if (cut) throw RuntimeError::invalidArgument(QStringLiteral("<JARRAY> has no closing tag"));

    Variant count = GetTag(inner, u"NOF", valuetype::Integer);
    const int nof = count.isEmpty() ? 0 : count.toInteger();
    if (nof < 0) throw RuntimeError::invalidArgument(QStringLiteral("negative NOF %1 in JARRAY").arg(nof));

    auto table = std::make_shared<ostrel::clsTable>();
    table->setNOF(nof);

    static const QString trOpen = QStringLiteral("<TR>"), trClose = QStringLiteral("</TR>");
    static const QString tdOpen = QStringLiteral("<TD>"), tdClose = QStringLiteral("</TD>");
    qsizetype pos = 0;
    QStringView row;
    int r = 0;
    while (detail::nextElement(inner, trOpen, trClose, pos, row)) {
        if (nof < 1)
            throw RuntimeError::outOfRange(QStringLiteral("JARRAY row %1 with NOF %2").arg(r).arg(nof));
        table->AppendBlank();
        qsizetype cellPos = 0;
        QStringView cell;
        int k = 0;
        while (detail::nextElement(row, tdOpen, tdClose, cellPos, cell)) {
            if (k >= nof)
                throw RuntimeError::outOfRange(
                    QStringLiteral("JARRAY row %1 has more than NOF %2 cells").arg(r).arg(nof));
            table->setFields(k, ParseLiteral(cell));
            ++k;
        }
        ++r;
    }
    table->MoveFirst();
    return table;
}

}  // namespace corvane
