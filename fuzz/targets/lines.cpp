// Tab- and comma-separated text to tables, and the line reader under them. The first byte is the
// field count; the rest is the text (UTF-8). The lines rejoined with CR LF give the text back; a
// table read from tab text writes as tab text that reads back to the same cells.
#include "FuzzSupport.h"

#include "corvane/clsGetLineFromText.h"
#include "corvane/fncInOut.h"
#include "ostrel/clsTable.h"

using vendra::fuzz::refusedOrDone;

namespace {

void checkLines(const QString& text) {
    corvane::clsGetLineFromText reader;
    reader.setText(text);
    QString joined;
    qsizetype lines = 0;
    while (!reader.isEOF()) {
        FUZZ_EXPECT(++lines <= text.size(), QStringLiteral("line reader does not end"));
        if (lines > 1) joined += QLatin1String("\r\n");
        joined += reader.Line();
    }
    QString expected = text;
    if (expected.endsWith(QLatin1String("\r\n"))) expected.chop(2);
    FUZZ_EXPECT(joined == expected, QStringLiteral("lines of [%1] rejoin as [%2]").arg(text, joined));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vendra::fuzz::ByteReader in(data, size);
    const int nof = in.byte() % 24;
    const QString text = in.restUtf8();
    checkLines(text);

    const corvane::fncInOut io;
    refusedOrDone([&] { io.CSVtext2Jarray(text, nof); });
    std::shared_ptr<ostrel::clsTable> table;
    if (!refusedOrDone([&] { table = io.Tabtext2Jarray(text, nof); }) || nof < 1) return 0;

    const QString written = io.Jarray2Tabtext(*table);
    const auto back = io.Tabtext2Jarray(written, nof);
    FUZZ_EXPECT(back->RecCount() == table->RecCount(),
                QStringLiteral("%1 records written as [%2] read back as %3")
                    .arg(table->RecCount()).arg(written).arg(back->RecCount()));
    // Missing parts come back as empty texts, which equal the empty cells they were.
    for (int i = 0; i < table->RecCount(); ++i)
        for (int j = 0; j < nof; ++j)
            FUZZ_EXPECT(table->cellRef(i, j) == back->cellRef(i, j),
                        QStringLiteral("cell %1,%2 of [%3] written as [%4]").arg(i).arg(j).arg(text, written));
    return 0;
}
