// Line splitting, tab and comma text to tables and back, text files, and request time stamps.
// Rejoining lines and tab text round trips over any text are the fuzz target fuzz/targets/lines.cpp.
#include "ErrorNumber.h"

#include "corvane/clsGetLineFromText.h"
#include "corvane/fncInOut.h"
#include "corvane/fncTimeStamp.h"

#include "ostrel/Cp949.h"
#include "ostrel/clsTable.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

using namespace corvane;
using ostrel::VarType;
using vendra::test::errorOf;

const fncInOut io;

TEST(InOut, TextBecomesLinesTablesAndArrayElementsAndBack) {
    auto lines = [](const char* text) {
        clsGetLineFromText g;
        g.setText(QString::fromLatin1(text));
        QStringList out;
        while (!g.isEOF()) out << g.Line();
        return out.join(u'|');
    };
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\nb\r\n", "a|b"}, {"a\r\n\r\nb", "a||b"}, {"a\nb\rc\r", "a\nb\rc\r"}, {"\r\n", ""}};
    for (auto [text, joined] : cases) EXPECT_EQ(lines(text), QLatin1String(joined)) << text;
    clsGetLineFromText g;
    EXPECT_TRUE(g.isEOF());
    g.setText(QStringLiteral("one\r\ntwo"));
    g.Line();
    g.setText(QStringLiteral("three"));  // a new text starts from its beginning
    EXPECT_TRUE(g.Line() == QStringLiteral("three") && g.Line().isEmpty() && g.isEOF());

    auto t = io.Tabtext2Jarray(QStringLiteral("a\tb\r\nc"), 3);
    ASSERT_TRUE(t->RecCount() == 2 && t->Recno() == 1);  // left at the last record
    EXPECT_TRUE(t->Cell(0, 2).isEmpty() && t->Cell(1, 1).isEmpty());
    EXPECT_TRUE(io.Jarray2Tabtext(*t) == QStringLiteral("a\tb\t\r\nc\t\t\r\n") && t->isEOF());

    auto odd = io.Tabtext2Jarray(QStringLiteral("1\t2\t3\r\n\r\nx\t"), 2);
    ASSERT_EQ(odd->RecCount(), 3);
    EXPECT_EQ(odd->Cell(0, 1).toString(), QStringLiteral("2"));  // the third part is dropped
    EXPECT_EQ(odd->Cell(1, 0).type(), VarType::Empty);           // an empty line: empty fields
    EXPECT_EQ(odd->Cell(2, 1).type(), VarType::String);          // a trailing TAB gives ""
    EXPECT_EQ(io.Tabtext2Jarray(QString(), 2)->RecCount(), 0);
    EXPECT_EQ(errorOf([] { io.Tabtext2Jarray(QStringLiteral("a"), 0); }), ostrel::err::OutOfRange);

    auto csv = io.CSVtext2Jarray(QStringLiteral(" a , \"b,c\" \r\n\r\n가"), 3);
    ASSERT_EQ(csv->RecCount(), 3);
    EXPECT_TRUE(csv->Cell(0, 0).toString() == "a" && csv->Cell(0, 1).toString() == "\"b");  // quotes mean nothing
    for (auto [r, j] : {std::pair{1, 0}, {1, 1}, {1, 2}, {2, 2}}) EXPECT_EQ(csv->Cell(r, j).type(), VarType::String);

    auto mixed = io.Tabtext2Jarray(QStringLiteral("x\ty"), 3);  // one record, the current one
    mixed->setFields(0, ostrel::Currency::fromRaw(15000));
    mixed->setFields(1, true);
    EXPECT_EQ(io.Jarray2Tabtext(*mixed), QStringLiteral("1.5\tTrue\t\r\n"));

    // Array elements by index and type.
    ostrel::VArray a{0, {QStringLiteral("5"), QStringLiteral("x")}};
    EXPECT_TRUE(io.ArrayElement(a, 0, 3).identical(int32_t(5)) && io.ArrayElement(a, 2).isEmpty());
    EXPECT_TRUE(io.ArrayElement(a, 1).identical(QStringLiteral("x")) && io.value2string(true) == QStringLiteral("1"));
    EXPECT_TRUE(io.string2value(QStringLiteral("12"), 2).identical(int16_t(12)));
    EXPECT_EQ(errorOf([&] { io.ArrayElement(a, -1); }), ostrel::err::OutOfRange);
}

TEST(InOut, FilesAreCodePage949AndReplacedWhole) {
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("주문.txt"));
    io.SaveString(QStringLiteral("가나\r\nab"), f);
    QFile raw(f);
    EXPECT_TRUE(raw.open(QIODevice::ReadOnly) && raw.readAll() == ostrel::cp949::encode(u"가나\r\nab\r\n"));
    EXPECT_EQ(io.LoadString(f), QStringLiteral("가나\r\nab\r\n"));

    for (const QString& none : {dir.filePath(QStringLiteral("none.txt")), dir.path()})
        EXPECT_EQ(errorOf([&] { io.LoadString(none); }), ostrel::err::FileNotFound) << none.toStdString();
    EXPECT_EQ(errorOf([&] { io.SaveString(QStringLiteral("x"), dir.filePath(QStringLiteral("no/f.txt"))); }), 76);
    // A file in a folder that cannot be written keeps its old content.
    const QString ro = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(ro));
    io.SaveString(QStringLiteral("old"), ro + QStringLiteral("/k.txt"));
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(ro).isWritable()) {  // root may write anyway
        EXPECT_EQ(errorOf([&] { io.SaveString(QStringLiteral("new"), ro + QStringLiteral("/k.txt")); }), 75);
        EXPECT_EQ(io.LoadString(ro + QStringLiteral("/k.txt")), QStringLiteral("old\r\n"));
    }
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(TimeStamp, SixteenDigitsOfNowAndNeverTheSameTwice) {
    fncTimeStamp stamps;
    const QDateTime before = QDateTime::currentDateTime();
    QString last = stamps.MakeTimeStamp();
    QDateTime read = QDateTime::fromString(last.left(14), QStringLiteral("yyyyMMddHHmmss"));
    ASSERT_TRUE(last.size() == 16 && read.isValid()) << last.toStdString();
    EXPECT_LE(std::abs(read.secsTo(before)), 2);
    // Calls far quicker than a hundredth of a second still give rising, distinct stamps.
    QStringList all{last};
    for (int i = 0; i < 30; ++i) all << stamps.MakeTimeStamp();
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end(), std::greater_equal<>()), all.end())
        << all.join(u' ').toStdString();
}
