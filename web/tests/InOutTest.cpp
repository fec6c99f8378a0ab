// Line splitting, tab and comma text to tables and back, text files, and request time stamps.
#include "corvane/clsGetLineFromText.h"
#include "corvane/fncInOut.h"
#include "corvane/fncTimeStamp.h"

#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsTable.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace corvane;
using ostrel::Variant;
using ostrel::VarType;

namespace {
int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}
QStringList allLines(const QString& text) {
    clsGetLineFromText g;
    g.setText(text);
    QStringList out;
    while (!g.isEOF()) out << g.Line();
    return out;
}
const fncInOut io;
}  // namespace

TEST(GetLine, OnlyCrLfEndsALine) {
    EXPECT_EQ(allLines(QStringLiteral("a\r\nb\r\n")), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(allLines(QStringLiteral("a\r\n\r\nb")), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(allLines(QStringLiteral("a\nb\rc")), (QStringList{QStringLiteral("a\nb\rc")}));
    EXPECT_EQ(allLines(QStringLiteral("\r\n")), (QStringList{QString()}));
    EXPECT_TRUE(allLines(QString()).isEmpty());
    EXPECT_EQ(allLines(QStringLiteral("x\r")), (QStringList{QStringLiteral("x\r")}));

    clsGetLineFromText g;
    g.setText(QStringLiteral("one\r\ntwo"));
    EXPECT_EQ(g.Line(), QStringLiteral("one"));
    g.setText(QStringLiteral("three"));  // a new text starts from its beginning
    EXPECT_EQ(g.Text(), QStringLiteral("three"));
    EXPECT_EQ(g.Line(), QStringLiteral("three"));
    EXPECT_TRUE(g.isEOF());
    EXPECT_EQ(g.Line(), QString());
    EXPECT_TRUE(g.isEOF());
}

TEST(InOut, TabAndCommaTextBecomeTables) {
    auto t = io.Tabtext2Jarray(QStringLiteral("a\tb\r\nc"), 3);
    ASSERT_EQ(t->RecCount(), 2);
    EXPECT_EQ(t->Recno(), 1);  // left at the last record
    EXPECT_EQ(t->Cell(0, 0).toString(), QStringLiteral("a"));
    EXPECT_EQ(t->Cell(0, 1).toString(), QStringLiteral("b"));
    EXPECT_TRUE(t->Cell(0, 2).isEmpty());
    EXPECT_EQ(t->Cell(1, 0).toString(), QStringLiteral("c"));
    EXPECT_TRUE(t->Cell(1, 1).isEmpty());
    EXPECT_EQ(io.Jarray2Tabtext(*t), QStringLiteral("a\tb\t\r\nc\t\t\r\n"));
    EXPECT_TRUE(t->isEOF());

    auto extra = io.Tabtext2Jarray(QStringLiteral("1\t2\t3\r\n\r\nx\t"), 2);
    ASSERT_EQ(extra->RecCount(), 3);
    EXPECT_EQ(extra->Cell(0, 1).toString(), QStringLiteral("2"));  // the third part is dropped
    EXPECT_TRUE(extra->Cell(1, 0).isEmpty());                      // an empty line: empty fields
    EXPECT_TRUE(extra->Cell(1, 0).type() == VarType::Empty);
    EXPECT_EQ(extra->Cell(2, 1).type(), VarType::String);          // a trailing TAB gives ""

    auto csv = io.CSVtext2Jarray(QStringLiteral(" a , \"b,c\" \r\n\r\n가"), 3);
    ASSERT_EQ(csv->RecCount(), 3);
    EXPECT_EQ(csv->Cell(0, 0).toString(), QStringLiteral("a"));
    EXPECT_EQ(csv->Cell(0, 1).toString(), QStringLiteral("\"b"));  // quotes mean nothing
    EXPECT_EQ(csv->Cell(0, 2).toString(), QStringLiteral("c\""));
    for (int j = 0; j < 3; ++j) EXPECT_EQ(csv->Cell(1, j).type(), VarType::String) << j;
    EXPECT_EQ(csv->Cell(2, 0).toString(), QStringLiteral("가"));
    EXPECT_EQ(csv->Cell(2, 2).type(), VarType::String);

    EXPECT_EQ(io.Tabtext2Jarray(QString(), 2)->RecCount(), 0);
    EXPECT_EQ(errorNumber([] { io.Tabtext2Jarray(QStringLiteral("a"), 0); }), ostrel::err::OutOfRange);

    auto mixed = std::make_shared<ostrel::clsTable>();
    mixed->setNOF(3);
    mixed->AppendBlank();
    mixed->setFields(0, ostrel::Currency::fromRaw(15000));
    mixed->setFields(1, true);
    EXPECT_EQ(io.Jarray2Tabtext(*mixed), QStringLiteral("1.5\tTrue\t\r\n"));
}

TEST(InOut, ValueConversionsAndArrayElements) {
    EXPECT_EQ(io.string2value(QStringLiteral("12"), 2).type(), VarType::Integer);
    EXPECT_EQ(io.string2value(QStringLiteral("12")).type(), VarType::String);
    EXPECT_EQ(io.value2string(true), QStringLiteral("1"));
    ostrel::VArray a{0, {QStringLiteral("5"), QStringLiteral("x")}};
    EXPECT_EQ(io.ArrayElement(a, 0, 3).toLong(), 5);
    EXPECT_EQ(io.ArrayElement(a, 1).toString(), QStringLiteral("x"));
    EXPECT_TRUE(io.ArrayElement(a, 2).isEmpty());
    EXPECT_TRUE(io.ArrayElement(a, 100).isEmpty());
    EXPECT_EQ(errorNumber([&] { io.ArrayElement(a, -1); }), ostrel::err::OutOfRange);
    ostrel::VArray one{1, {QStringLiteral("y")}};
    EXPECT_EQ(errorNumber([&] { io.ArrayElement(one, 0); }), ostrel::err::OutOfRange);
}

TEST(InOut, FilesAreCodePage949AndReplacedWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString f = dir.filePath(QStringLiteral("주문.txt"));
    io.SaveString(QStringLiteral("가나\r\nab"), f);
    QFile raw(f);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), ostrel::cp949::encode(u"가나\r\nab\r\n"));
    raw.close();
    EXPECT_EQ(io.LoadString(f), QStringLiteral("가나\r\nab\r\n"));
    io.SaveString(QString(), f);
    EXPECT_EQ(io.LoadString(f), QStringLiteral("\r\n"));

    EXPECT_EQ(errorNumber([&] { io.LoadString(dir.filePath(QStringLiteral("none.txt"))); }), ostrel::err::FileNotFound);
    EXPECT_EQ(errorNumber([&] { io.LoadString(dir.path()); }), ostrel::err::FileNotFound);
    EXPECT_EQ(errorNumber([&] { io.SaveString(QStringLiteral("x"), dir.filePath(QStringLiteral("no/such/f.txt"))); }), 76);
    // A file that cannot be replaced keeps its old content.
    const QString locked = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ro")));
    io.SaveString(QStringLiteral("old"), locked + QStringLiteral("/k.txt"));
    QFile(locked).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(locked).isWritable()) {
        EXPECT_EQ(errorNumber([&] { io.SaveString(QStringLiteral("new"), locked + QStringLiteral("/k.txt")); }), 75);
        EXPECT_EQ(io.LoadString(locked + QStringLiteral("/k.txt")), QStringLiteral("old\r\n"));
    }
    QFile(locked).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(TimeStamp, SixteenDigitsOfNowAndNeverTheSameTwice) {
    fncTimeStamp stamps;
    const QDateTime before = QDateTime::currentDateTime();
    QString first = stamps.MakeTimeStamp();
    ASSERT_EQ(first.size(), 16);
    for (QChar c : first) EXPECT_TRUE(c.isDigit());
    QDateTime read = QDateTime::fromString(first.left(14), QStringLiteral("yyyyMMddHHmmss"));
    ASSERT_TRUE(read.isValid());
    EXPECT_LE(std::abs(read.secsTo(before)), 2);

    // Calls far quicker than a hundredth of a second still give rising, distinct stamps.
    QString last = first;
    for (int i = 0; i < 30; ++i) {
        QString next = stamps.MakeTimeStamp();
        EXPECT_GT(next, last);
        last = next;
    }
    fncTimeStamp other;  // each instance keeps its own last stamp
    EXPECT_EQ(other.MakeTimeStamp().size(), 16);
}
