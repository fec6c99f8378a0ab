#include "JetSql.h"

#include "DbConnection.h"

#include <QSet>

namespace ostrel::dbengine {

namespace {

enum class Kind { Name, Number, String, DateLit, Symbol, Param };

struct Token {
    Kind kind;
    QString text;  // the name, the symbol, or the literal's value as text
    Variant value;
    bool isWord(const char* w) const {
        return kind == Kind::Name && text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
};

[[noreturn]] void syntax(QStringView text) {
    throw RuntimeError::engine(err::DbSyntax, text.toString());
}

bool nameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool namePart(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

std::vector<Token> tokenize(QStringView s) {
    std::vector<Token> out;
    qsizetype i = 0, n = s.size();
    while (i < n) {
        QChar c = s[i];
        if (c.isSpace()) { ++i; continue; }
        if (c == u'\'' || c == u'"') {  // a quote inside is doubled
            QString v;
            for (++i;; ++i) {
                if (i >= n) syntax(s);
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) { v += c; ++i; continue; }
                    ++i;
                    break;
                }
                v += s[i];
            }
            out.push_back({Kind::String, v, Variant(v)});
        } else if (c == u'#') {
            qsizetype end = s.indexOf(u'#', i + 1);
            if (end < 0) syntax(s);
            auto d = ParseDateText(s.mid(i + 1, end - i - 1).trimmed());
            if (!d) syntax(s);
            out.push_back({Kind::DateLit, {}, Variant(*d)});
            i = end + 1;
        } else if (c == u'[') {
            qsizetype end = s.indexOf(u']', i + 1);
            if (end < 0) syntax(s);
            out.push_back({Kind::Name, s.mid(i + 1, end - i - 1).toString(), {}});
            i = end + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (s[j].isDigit() || s[j] == u'.')) ++j;
            if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                ++j;
                if (j < n && (s[j] == u'+' || s[j] == u'-')) ++j;
                while (j < n && s[j].isDigit()) ++j;
            }
            QString t = s.mid(i, j - i).toString();
            bool whole = false;
            qlonglong w = t.toLongLong(&whole);
            double d = 0;
            if (!whole && !ParseNumber(t, d)) syntax(s);
            Variant v = whole && w >= INT32_MIN && w <= INT32_MAX ? Variant(static_cast<int32_t>(w))
                                                                   : Variant(whole ? static_cast<double>(w) : d);
            out.push_back({Kind::Number, t, v});
            i = j;
        } else if (nameStart(c)) {
            qsizetype j = i;
            while (j < n && namePart(s[j])) ++j;
            out.push_back({Kind::Name, s.mid(i, j - i).toString(), {}});
            i = j;
        } else if (c == u'?') {
            out.push_back({Kind::Param, QStringLiteral("?"), {}});
            ++i;
        } else {
            static const QStringList twoChar{QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">="),
                                             QStringLiteral("!=")};
            QString two = s.mid(i, 2).toString();
            if (twoChar.contains(two)) {
                out.push_back({Kind::Symbol, two, {}});
                i += 2;
            } else if (QStringLiteral("=<>+-*/&(),.;").contains(c)) {
                out.push_back({Kind::Symbol, QString(c), {}});
                ++i;
            } else {
                syntax(s);
            }
        }
    }
    if (!out.empty() && out.back().kind == Kind::Symbol && out.back().text == u";") out.pop_back();
    return out;
}

const QSet<QString>& keywords() {
    static const QSet<QString> k = [] {
        QSet<QString> set;
        for (const char* w : {"SELECT", "FROM", "WHERE", "GROUP", "BY", "ORDER", "HAVING", "ASC", "DESC", "AS", "AND",
                              "OR", "NOT", "LIKE", "IS", "NULL", "IN", "BETWEEN", "DISTINCT", "INSERT", "INTO",
                              "VALUES", "UPDATE", "SET", "DELETE", "JOIN", "INNER", "LEFT", "RIGHT", "OUTER", "ON"})
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return k;
}

const QSet<QString>& functions() {
    static const QSet<QString> f{QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("MIN"),
                                 QStringLiteral("MAX"), QStringLiteral("AVG")};
    return f;
}

// Jet's LIKE wildcards * and ? become SQLite's % and _.
QString likePattern(const QString& p) {
    QString out = p;
    out.replace(u'*', u'%').replace(u'?', u'_');
    return out;
}

class Writer {
public:
    Writer(QStringView source, const std::vector<Variant>& callerParams) : source_(source), caller_(callerParams) {}

    void write(const std::vector<Token>& t, size_t from, size_t to, SqlText& out) {
        int depth = 0;
        for (size_t i = from; i < to; ++i) {
            const Token& k = t[i];
            QString piece;
            switch (k.kind) {
            case Kind::Name: {
                QString upper = k.text.toUpper();
                bool call = i + 1 < to && t[i + 1].kind == Kind::Symbol && t[i + 1].text == u"(" &&
                            !keywords().contains(upper) && !(i > from && t[i - 1].isWord("INTO"));
                if (call) {
                    if (!functions().contains(upper)) throw RuntimeError::engine(err::DbUndefinedFunction, k.text);
                    piece = upper;
                } else if (upper == u"TRUE" || upper == u"FALSE") {
                    piece = param(out, Variant(upper == u"TRUE" ? int32_t(-1) : int32_t(0)));
                } else if (upper == u"MOD") {
                    piece = QStringLiteral("%");
                } else if (keywords().contains(upper)) {
                    piece = upper;
                } else {
                    piece = quoteName(k.text);
                }
                break;
            }
            case Kind::String:
                piece = param(out, i > from && t[i - 1].isWord("LIKE") ? Variant(likePattern(k.text)) : k.value);
                break;
            case Kind::Number: case Kind::DateLit: piece = param(out, k.value); break;
            case Kind::Param:
                if (next_ >= caller_.size()) throw RuntimeError::engine(err::DbUnknownField, QStringLiteral("?"));
                piece = param(out, caller_[next_++]);
                break;
            case Kind::Symbol:
                if (k.text == u"(") ++depth;
                if (k.text == u")" && --depth < 0) syntax(source_);
                if (k.text == u";") syntax(source_);
                // Jet writes DELETE * FROM; SQLite has no column list there.
                if (k.text == u"*" && i > from && t[i - 1].isWord("DELETE")) continue;
                piece = k.text == u"&" ? QStringLiteral("||") : k.text;
                break;
            }
            if (!out.sql.isEmpty() && piece != u"," && piece != u")" && piece != u"." && !out.sql.endsWith(u'(') &&
                !out.sql.endsWith(u'.'))
                out.sql += u' ';
            out.sql += piece;
        }
        if (depth != 0) syntax(source_);
    }

private:
    static QString param(SqlText& out, const Variant& v) {
        out.params.push_back(v);
        return QStringLiteral("?");
    }
    QStringView source_;
    const std::vector<Variant>& caller_;
    size_t next_ = 0;
};

// Position of the first top-level word among `words` from `from`, or t.size().
size_t findTop(const std::vector<Token>& t, size_t from, std::initializer_list<const char*> words) {
    int depth = 0;
    for (size_t i = from; i < t.size(); ++i) {
        if (t[i].kind == Kind::Symbol && t[i].text == u"(") ++depth;
        if (t[i].kind == Kind::Symbol && t[i].text == u")") --depth;
        if (depth == 0)
            for (const char* w : words)
                if (t[i].isWord(w)) return i;
    }
    return t.size();
}

}  // namespace

SqlText translate(QStringView text, const std::vector<Variant>& callerParams) {
    auto t = tokenize(text);
    SqlText out;
    Writer(text, callerParams).write(t, 0, t.size(), out);
    return out;
}

bool isSelect(QStringView text) {
    auto first = text.trimmed();
    return first.startsWith(u"select", Qt::CaseInsensitive) && (first.size() == 6 || !namePart(first[6]));
}

SelectForm readSelect(QStringView text, const std::vector<Variant>& callerParams) {
    auto t = tokenize(text);
    SelectForm f;
    {
        Writer w(text, callerParams);
        w.write(t, 0, t.size(), f.all);
    }
    size_t from = findTop(t, 1, {"FROM"});
    if (t.empty() || !t[0].isWord("SELECT") || from >= t.size() - 1) syntax(text);
    // The column list: * or plain names separated by commas.
    bool plainColumns = true;
    if (from == 2 && t[1].kind == Kind::Symbol && t[1].text == u"*") {
    } else {
        for (size_t i = 1; i < from; ++i) {
            bool expectName = (i - 1) % 2 == 0;
            if (expectName ? (t[i].kind != Kind::Name || keywords().contains(t[i].text.toUpper()))
                           : !(t[i].kind == Kind::Symbol && t[i].text == u",")) {
                plainColumns = false;
                break;
            }
            if (expectName) f.columns << t[i].text;
        }
        plainColumns = plainColumns && (from - 1) % 2 == 1;
    }
    size_t where = findTop(t, from, {"WHERE"});
    size_t order = findTop(t, from, {"ORDER"});
    size_t other = findTop(t, from, {"GROUP", "HAVING", "JOIN", "UNION"});
    bool singleTable = t[from + 1].kind == Kind::Name &&
                       (from + 2 == t.size() || from + 2 == where || from + 2 == order);
    f.plain = plainColumns && singleTable && other == t.size() && (where == t.size() || where < order);
    if (!f.plain) return f;
    f.table = t[from + 1].text;
    // Parameters are numbered by position, so the WHERE part and the rest take them in order.
    Writer w(text, callerParams);
    if (where < t.size()) w.write(t, where + 1, order, f.where);
    if (order < t.size()) {
        if (order + 1 >= t.size() || !t[order + 1].isWord("BY")) syntax(text);
        SqlText o;
        w.write(t, order + 2, t.size(), o);
        if (!o.params.empty()) syntax(text);
        f.orderBy = o.sql;
    }
    return f;
}

}  // namespace ostrel::dbengine
