#include "sorvic/yjMaster.h"

#include "MasterQuery.h"
#include "ostrel/Progress.h"
#include "ostrel/fncString.h"
#include "sembrin/pptPublicValue.h"

#include <optional>

namespace sorvic {

using detail::selectOf;
using detail::textOf;
using detail::zepDb;
using ostrel::Recordset;
using ostrel::Variant;

namespace {

const QString kCode = QStringLiteral("code"), kAbbreviation = QStringLiteral("yj");

QString withoutLeadingZeros(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u'0') ++i;
    return s.mid(i);
}

// A LIKE pattern that every name holding the syllables of x matches (their characters in order,
// anything between); SylableInclude then decides. Letters LIKE folds or wildcards in x only widen
// the match, so nothing that qualifies is lost.
QString syllablePattern(const QString& x) {
    QString p(u'%');
    for (QChar c : x) {
        p += c;
        p += u'%';
    }
    return p;
}

struct Row {
    QString name, code, abbreviation;
};

}  // namespace

yjMaster::yjMaster(const MasterTable& table, PickList pick)
    : table_(table), pick_(pick ? std::move(pick) : codeInputPick()) {}

Variant yjMaster::AfterEnter(QString& x) {
    if (x.isEmpty() || x == u"*") return x;
    if (x.endsWith(u'.')) return x.chopped(1);  // the dot asks for the text as typed

    ostrel::Database& db = zepDb();
    const QString& name = table_.table;
    const ostrel::fncString fs;
    {
        Recordset rs = db.OpenRecordset(selectOf(table_, name + QStringLiteral("=?")), {Variant(x)});
        if (!rs.isEOF()) return textOf(rs, name);
    }
    // The name of the one record of `condition` that `qualifies`; none when there are none or more.
    auto single = [&](const QString& condition, const std::vector<Variant>& params,
                      auto&& qualifies) -> std::optional<QString> {
        Recordset rs = db.OpenRecordset(selectOf(table_, condition, false), params);
        std::optional<QString> found;
        for (; !rs.isEOF(); rs.MoveNext()) {
            if (!qualifies(rs)) continue;
            if (found) return std::nullopt;
            found = textOf(rs, name);
        }
        return found;
    };
    auto any = [](const Recordset&) { return true; };
    if (table_.abbreviation)
        if (auto n = single(kAbbreviation + QStringLiteral("=?"), {Variant(x)}, any)) return *n;
    if (auto n = single(kCode + QStringLiteral("=?"), {Variant(x)}, any)) return *n;
    // A code without its leading zeros equals x only as x behind a run of zeros: the index on the
    // code serves, and the exact comparison follows.
    if (!x.startsWith(u'0')) {
        const ostrel::FieldList fields = db.tableDef(name).Fields;
        const int size =
            fields.contains(kCode) && fields[kCode].Size > 0 ? fields[kCode].Size : ostrel::dbType::MaxTextSize;
        QStringList marks;
        std::vector<Variant> forms;
        for (qsizetype zeros = 0; zeros + x.size() <= size; ++zeros) {
            marks << QStringLiteral("?");
            forms.emplace_back(QString(zeros, u'0') + x);
        }
        if (!forms.empty()) {
            auto stripped = [&](const Recordset& rs) { return withoutLeadingZeros(textOf(rs, kCode)) == x; };
            if (auto n = single(kCode + QStringLiteral(" IN (") + marks.join(u',') + u')', forms, stripped)) return *n;
        }
    }
    auto syllables = [&](const Recordset& rs) { return fs.SylableInclude(textOf(rs, name), x); };
    if (auto n = single(name + QStringLiteral(" LIKE ?"), {Variant(syllablePattern(x))}, syllables)) return *n;

    ostrel::TableRef rows = Candidates(x);
    if (rows->RecCount() == 0) return x;
    return pick_(x, *rows);
}

Variant yjMaster::AfterF3(QString& x) {
    ostrel::TableRef rows = Candidates(x);
    // A whole name already entered: show everything to choose from.
    if (!x.isEmpty() && rows->RecCount() == 1 && rows->cellRef(0, 0).toString() == x) rows = Candidates(QString());
    return pick_(x, *rows);
}

bool yjMaster::LastFilter(Variant& vValue) {
    if (table_.registeredOnly.isEmpty()) return true;
    const Variant setting = sembrin::pptPublicValue().inisetting(table_.registeredOnly);
    if (setting.isNull() || setting.isEmpty() || setting.toString().toUpper() != u"TRUE") return true;
    if (vValue.isString() && vValue.toString() == u"*") return true;
    Recordset rs = zepDb().OpenRecordset(selectOf(table_, table_.table + QStringLiteral("=?"), false), {vValue});
    if (!rs.isEOF()) return true;
    ostrel::feedback().message(table_.notRegistered);
    return false;
}

ostrel::TableRef yjMaster::Candidates(const QString& x) const {
    const QString& name = table_.table;
    const ostrel::fncString fs;
    Recordset rs = x.isEmpty()
                       ? zepDb().OpenRecordset(selectOf(table_, {}))
                       : zepDb().OpenRecordset(selectOf(table_, QStringLiteral("code LIKE ? OR %1 LIKE ?").arg(name)),
                                               {Variant(u'%' + x + u'%'), Variant(syllablePattern(x))});
    std::vector<Row> coded, uncoded;
    for (; !rs.isEOF(); rs.MoveNext()) {
        Row r{textOf(rs, name), textOf(rs, kCode), table_.abbreviation ? textOf(rs, kAbbreviation) : QString()};
        if (!x.isEmpty() && r.code.left(x.size()) != x && withoutLeadingZeros(r.code).left(x.size()) != x &&
            !fs.SylableInclude(r.name, x))
            continue;
        (r.code.isEmpty() ? uncoded : coded).push_back(std::move(r));
    }
    auto rows = std::make_shared<ostrel::clsTable>();
    rows->setNOF(2);
    auto add = [&](const Row& r) {
        QString title = fs.padr(r.code, table_.codeWidth) + u' ' + fs.padr(r.name, table_.nameWidth);
        if (table_.abbreviation) title += u' ' + fs.padr(r.abbreviation, table_.abbreviationWidth);
        rows->AppendRec(Variant::array({Variant(r.name), Variant(title)}));
    };
    for (const Row& r : coded) add(r);
    for (const Row& r : uncoded) add(r);
    return rows;
}

}  // namespace sorvic
