#include "ModalDriver.h"
#include "MakeTable.h"
#include "WidgetTest.h"
#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncCmnDlg.h"
#include "tavrin/CsvExport.h"
#include "tavrin/fncJbPrint.h"
#include "tessel/Stru.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

using namespace tavrin;
using ostrel::Variant;
using tessel::fieldDef;
using tessel::makeStru;
using vendra::test::makeTable;
using vendra::test::ModalDriver;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

Variant reportStru() {
    return makeStru({fieldDef("c", 10, 0, "거래처"), fieldDef("n", 8, 2, "금액"), fieldDef("d", 8, 0, "일자")});
}

// Four fields, of which the structure shows three.
ostrel::TableRef reportTable() {
    return makeTable(4, 2, [](int i, int j) -> Variant {
        if (j == 0) return i == 0 ? Variant(QStringLiteral("한빛 \"청과\"")) : Variant(QStringLiteral("a,b"));
        if (j == 1) return i == 0 ? Variant(ostrel::Currency::fromDouble(1234.5)) : Variant(-0.25);
        if (j == 2) return Variant(ostrel::DateSerial(2024, 3, 5));
        return Variant(QStringLiteral("not exported"));
    });
}

}  // namespace

TEST(WriteList, EveryKindOfValue) {
    const ostrel::Date day = ostrel::DateSerial(2024, 3, 5);
    const ostrel::Date withTime(day.serial + ostrel::TimeSerial(9, 5, 7));
    const ostrel::Date timeOnly(ostrel::TimeSerial(23, 59, 0));
    QByteArray line = WriteListLine({Variant(QStringLiteral("say \"hi\"")), Variant(int16_t(-7)),
                                     Variant(int32_t(100000)), Variant(1234.5), Variant(0.1f),
                                     Variant(ostrel::Currency::fromDouble(-12.25)), Variant(), Variant(day),
                                     Variant(withTime), Variant(timeOnly), Variant(true), Variant(false),
                                     Variant::null(), Variant(QString())});
    EXPECT_EQ(line, QByteArray("\"say \"\"hi\"\"\",-7,100000,1234.5,0.1,-12.25,,#2024-03-05#,"
                               "#2024-03-05 09:05:07#,#23:59:00#,#TRUE#,#FALSE#,#NULL#,\"\"\r\n"));

    // Korean text leaves in code page 949: two bytes a syllable.
    EXPECT_EQ(WriteListLine({Variant(QStringLiteral("가"))}), QByteArray("\"\xB0\xA1\"\r\n"));
    EXPECT_EQ(WriteListLine({}), QByteArray("\r\n"));
    EXPECT_EQ(WriteListLine({Variant(), Variant()}), QByteArray(",\r\n"));
    EXPECT_THROW(WriteListLine({Variant::array({Variant(1.0)})}), ostrel::RuntimeError);
}

TEST(CsvFile, HeadingLinesRecordsAndStructureColumnsOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.csv"));
    auto table = reportTable();
    Variant descr = Variant::array({Variant(ostrel::DateSerial(2024, 3, 1)), Variant(QStringLiteral("~")),
                                    Variant(ostrel::DateSerial(2024, 3, 31))});
    QString error;
    ASSERT_TRUE(WriteCsvFile(path, QStringLiteral("매출"), descr, table, reportStru(), &error)) << error.toStdString();
    EXPECT_TRUE(table->isEOF());  // walked to the end

    const QString expected = QStringLiteral(
        "\"매출\"\r\n"
        "#2024-03-01#,\"~\",#2024-03-31#\r\n"
        "\"거래처\",\"금액\",\"일자\"\r\n"
        "\"한빛 \"\"청과\"\"\",1234.5,#2024-03-05#\r\n"
        "\"a,b\",-0.25,#2024-03-05#\r\n");
    EXPECT_EQ(readAll(path), ostrel::cp949::encode(expected));

    // An empty table: the three heading lines; a description that is no text gives an empty line.
    auto empty = makeTable(3, 0, [](int, int) { return Variant(); });
    ASSERT_TRUE(WriteCsvFile(path, QStringLiteral("빈 표"), Variant(int32_t(3)), empty, reportStru(), &error));
    EXPECT_EQ(readAll(path), ostrel::cp949::encode(u"\"빈 표\"\r\n\r\n\"거래처\",\"금액\",\"일자\"\r\n"));
}

TEST(CsvFile, ASpreadsheetReaderGetsTheCellsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.csv"));
    ASSERT_TRUE(WriteCsvFile(path, QStringLiteral("매출"), Variant(QStringLiteral("3월, \"확정\"")), reportTable(),
                             reportStru(), nullptr));
    QProcess py;
    const QString script = QStringLiteral("import csv,json,sys\nwith open(sys.argv[1], encoding='cp949', newline='') "
                                          "as f:\n    print(json.dumps(list(csv.reader(f))))");
    py.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, path});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QJsonDocument rows = QJsonDocument::fromJson(py.readAllStandardOutput());
    const QString expected = QStringLiteral(R"([["매출"], ["3월, \"확정\""], ["거래처", "금액", "일자"], )"
                                            R"(["한빛 \"청과\"", "1234.5", "#2024-03-05#"], )"
                                            R"(["a,b", "-0.25", "#2024-03-05#"]])");
    EXPECT_EQ(rows, QJsonDocument::fromJson(expected.toUtf8())) << rows.toJson().toStdString();
}

TEST(CsvFile, FailuresNeverReplaceOrHalfWriteAFile) {
    QTemporaryDir dir;
    QString error;
    // A folder in the way, or a folder that is not there: a message, no file.
    QDir(dir.path()).mkdir(QStringLiteral("taken.csv"));
    EXPECT_FALSE(WriteCsvFile(dir.filePath(QStringLiteral("taken.csv")), QStringLiteral("s"), Variant(),
                              reportTable(), reportStru(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV 파일을 만들 수 없습니다."))) << error.toStdString();
    error.clear();
    EXPECT_FALSE(WriteCsvFile(dir.filePath(QStringLiteral("none/r.csv")), QStringLiteral("s"), Variant(),
                              reportTable(), reportStru(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV 파일을 만들 수 없습니다.")));

    // A value that cannot be written stops the export and the earlier file stays whole.
    const QString path = dir.filePath(QStringLiteral("keep.csv"));
    writeFile(path, "earlier export\r\n");
    auto bad = makeTable(3, 1, [](int, int j) { return j == 1 ? Variant::array({Variant(1.0)}) : Variant("x"); });
    EXPECT_THROW(WriteCsvFile(path, QStringLiteral("s"), Variant(), bad, reportStru(), &error), ostrel::RuntimeError);
    EXPECT_EQ(readAll(path), QByteArray("earlier export\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.csv")});
}

TEST(CsvOutput, DialogWriteAndTheMessages) {
    QTemporaryDir dir;
    ModalDriver driver;
    fncJbPrint jb;

    // Cancel: nothing written, nothing said.
    EXPECT_FALSE(jb.CsvOutput(QStringLiteral("매출"), Variant(), reportTable(), reportStru()));
    EXPECT_EQ(driver.dialogs, 1);
    EXPECT_TRUE(driver.messages.isEmpty());
    EXPECT_EQ(driver.lastDialogSuffix, QStringLiteral("csv"));
    ASSERT_FALSE(driver.lastDialogFilters.isEmpty());
    EXPECT_TRUE(driver.lastDialogFilters.first().startsWith(QStringLiteral("CSV형식파일")));
    EXPECT_TRUE(driver.lastDialogFilters.first().contains(QStringLiteral("*.csv")));
    const QString desktop = ostrel::fncCmnDlg::DesktopFolder();
    if (QDir(desktop).exists()) {
        EXPECT_EQ(driver.lastDialogDirectory, QDir(desktop).absolutePath());
    }

    // A name without extension gets ".csv"; the export ends with its message.
    driver.fileAnswer = dir.filePath(QStringLiteral("out"));
    EXPECT_TRUE(jb.CsvOutput(QStringLiteral("매출"), Variant(), reportTable(), reportStru()));
    EXPECT_EQ(driver.messages, QStringList{QStringLiteral("CSV 파일 내보내기 완료")});
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("out.csv"))).startsWith(ostrel::cp949::encode(u"\"매출\"\r\n")));

    // A file that cannot be created: a clear message and no "완료".
    driver.messages.clear();
    driver.fileAnswer = dir.filePath(QStringLiteral("gone/held.csv"));
    EXPECT_FALSE(jb.CsvOutput(QStringLiteral("매출"), Variant(), reportTable(), reportStru()));
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].startsWith(QStringLiteral("CSV 파일을 만들 수 없습니다.")));
}
