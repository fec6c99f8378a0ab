// The ledger engine's criteria and SQL reader. The first byte picks how many parameters the
// caller passes (0 to 3); the rest is the text (UTF-8). A text is refused with its error number or
// written as SQLite text in which nothing the user typed is left outside a quoted name: no string
// literal, no comment, no second statement, and exactly one `?` per bound value.
#include "FuzzSupport.h"

#include "JetSql.h"

#include <vector>

using ostrel::Variant;
using vendra::fuzz::refusedOrDone;

namespace {

void checkWritten(const QString& text, const ostrel::dbengine::SqlText& out) {
    qsizetype marks = 0;
    bool quoted = false;
    const QString& sql = out.sql;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'"') quoted = !quoted;  // a doubled quote inside a name toggles twice
        if (quoted || c == u'"') continue;
        const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
        FUZZ_EXPECT(c != u'\'' && c != u';' && !(c == u'-' && next == u'-') && !(c == u'/' && next == u'*'),
                    QStringLiteral("[%1] written as [%2] leaves text outside a name").arg(text, sql));
        if (c == u'?') ++marks;
    }
    FUZZ_EXPECT(!quoted, QStringLiteral("[%1] written as [%2] leaves a name open").arg(text, sql));
    FUZZ_EXPECT(marks == static_cast<qsizetype>(out.params.size()),
                QStringLiteral("[%1] written as [%2] with %3 values").arg(text, sql).arg(out.params.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const std::vector<Variant> all{Variant(QStringLiteral("x' OR '1'='1")), Variant(int32_t{7}), Variant()};
    const std::vector<Variant> params(all.begin(), all.begin() + in.byte() % 4);
    const QString text = in.restUtf8();

    ostrel::dbengine::SqlText translated;
    const bool read = refusedOrDone([&] { translated = ostrel::dbengine::translate(text, params); });
    if (read) checkWritten(text, translated);

    ostrel::dbengine::SelectForm form;
    if (!refusedOrDone([&] { form = ostrel::dbengine::readSelect(text, params); })) return 0;
    // A select reads as the same statement either way.
    FUZZ_EXPECT(read && form.all.sql == translated.sql && form.all.params.size() == translated.params.size(),
                QStringLiteral("[%1] reads as [%2] but translates as [%3]").arg(text, form.all.sql, translated.sql));
    if (!form.plain) return 0;
    FUZZ_EXPECT(!form.table.isEmpty(), QStringLiteral("[%1] is a plain select of no table").arg(text));
    checkWritten(text, form.where);
    return 0;
}
