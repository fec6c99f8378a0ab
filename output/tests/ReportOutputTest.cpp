// Reports as they leave the program: the print engine against a recording printer, CSV lines and
// files, the save dialogs, and a PDF read back when there is no printer.
#include "ModalDriver.h"
#include "Reports.h"
#include "WidgetTest.h"
#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncCmnDlg.h"
#include "sembrin/Settings.h"
#include "sembrin/pptPublicValue.h"
#include "tavrin/CsvExport.h"
#include "tavrin/QtPrinter.h"
#include "tavrin/RecordingPrinter.h"
#include "tavrin/fncJbPrint.h"
#include "tavrin/mdlPrint.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tavrin;
using namespace tavrin::test;
using ostrel::Variant;
using tessel::fieldDef;
using tessel::makeStru;
using vendra::test::makeTable;
using vendra::test::ModalDriver;
using Op = RecordingPrinter::Op;

namespace {

class PrintEngine : public ::testing::Test {
protected:
    void SetUp() override { setCurrentPrinter(printer); }
    void TearDown() override {
        setCurrentPrinter(nullptr);
        sembrin::pptPublicValue().setInisetting(sembrin::setting::LargeLetterPrint(), QString());
    }
    static int countTexts(const QList<RecordingPrinter::Call>& calls, const QString& text) {
        return int(std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.text == text; }));
    }
    int count(Op op) const {
        return int(std::ranges::count_if(printer->calls(), [&](const auto& c) { return c.op == op; }));
    }
    // The first text printed as `text` (an empty call if none was).
    RecordingPrinter::Call printed(const QString& text) const {
        for (const auto& c : printer->texts())
            if (c.text == text) return c;
        return RecordingPrinter::Call(Op::Text);
    }
    std::shared_ptr<RecordingPrinter> printer = std::make_shared<RecordingPrinter>();
};

// Prints `t` titled "s" without a description or footer; gives the orientation it ended in.
bool report(const ostrel::TableRef& t, const Variant& stru = reportStru(), bool divideby5 = false,
            bool landscape = false) {
    PrintReport(QStringLiteral("s"), Variant(), t, stru, {}, {}, {}, divideby5, landscape);
    return landscape;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Four fields, of which the structure shows three; quotes and a comma in the text.
ostrel::TableRef csvTable() {
    return makeTable(4, 2, [](int i, int j) -> Variant {
        if (j == 0) return i == 0 ? Variant(QStringLiteral("한빛 \"청과\"")) : Variant(QStringLiteral("a,b"));
        if (j == 1) return i == 0 ? Variant(ostrel::Currency::fromDouble(1234.5)) : Variant(-0.25);
        if (j == 2) return Variant(ostrel::DateSerial(2024, 3, 5));
        return Variant(QStringLiteral("not exported"));
    });
}

// The text of a PDF as the extractor lays it out, runs of spaces made one.
QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QRegularExpression(QStringLiteral(" +")), " ");
}

}  // namespace

TEST_F(PrintEngine, FortyOneRecordsInPortraitTakeTwoPagesWithFormattedPageNumbers) {
    bool landscape = false;
    PrintReport(QStringLiteral("매출장"), Variant(QStringLiteral("2024년 3월")), items(41), reportStru(),
                QStringLiteral("123-45-67890"), QStringLiteral("한빛청과"), QStringLiteral("02-123-4567"), false,
                landscape);
    EXPECT_TRUE(printer->pageCount() == 2 && !landscape) << printer->pageCount();

    const auto p1 = printer->textsOnPage(0), p2 = printer->textsOnPage(1);
    ASSERT_FALSE(p1.isEmpty() || p2.isEmpty());
    EXPECT_EQ(p1[0].text + '|' + p2[0].text + '|' + p1[1].text,
              QStringLiteral("매출장 (  1 /   2)|매출장 (  2 /   2)|2024년 3월"));
    EXPECT_EQ(p1[0].fontName, QStringLiteral("굴림체"));

    for (const char* row : {"item 0", "item 39"}) EXPECT_EQ(countTexts(p1, QString::fromLatin1(row)), 1) << row;
    EXPECT_EQ(countTexts(p2, QStringLiteral("item 40")), 1);
    // Page 2 holds one row: heading (2), rules (3), titles (3), one row (3), footer (1).
    EXPECT_EQ(p2.size(), 2 + 3 + 3 + 3 + 1);
    EXPECT_EQ(p2.last().text, QStringLiteral("123-45-67890  한빛청과  02-123-4567"));
    // The footer rule and the footer follow the one row directly.
    EXPECT_DOUBLE_EQ(p2.last().y, 900 + 7 * 300 + 11 * 24 / 2.0 - 110);

    // No blank sheet at the end: one break per page, then the end of the document.
    EXPECT_EQ(printer->calls().last().op, Op::EndDoc);
    EXPECT_EQ(count(Op::NewPage), 2);
}

TEST_F(PrintEngine, DottedRulesEveryFiveRowsButNotAfterTheLastSlot) {
    report(items(36), reportStru(), true);
    ASSERT_EQ(printer->pageCount(), 2);
    const auto p1 = printer->textsOnPage(0), p2 = printer->textsOnPage(1);
    const QString rule(11 + 9 + 9, QLatin1Char('.'));
    EXPECT_EQ(countTexts(p1, rule), 6);
    EXPECT_EQ(countTexts(p1, QStringLiteral("item 34")), 1);  // 35 rows on page 1
    EXPECT_EQ(countTexts(p2, QStringLiteral("item 35")), 1);
    EXPECT_EQ(countTexts(p2, rule), 0);

    // The first rule stands right below row 5 and pushes row 6 one line down.
    const double ruleY = printed(rule).y, row5Y = printed(QStringLiteral("item 4")).y;
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("item 5")).y - row5Y, 600);
    EXPECT_TRUE(ruleY > row5Y && ruleY < row5Y + 600) << ruleY;
}

TEST_F(PrintEngine, ColumnPositionsRoundHalfToEvenAndBoxesFollowLength) {
    // W = 15 + 11 = 26: size 11; x(1) = 600 + 15 x 11 x 10.1 = 2266.5, which rounds to 2266.
    Variant s = makeStru({fieldDef("c", 14, 0, "A"), fieldDef("n", 10, 0, "B"), fieldDef("c", 3, 0, "C")});
    ReportGeometry g = reportGeometry(s, false, false, false);
    EXPECT_TRUE(g.width == 30 && g.fontSize == 11) << g.width << " " << g.fontSize;
    EXPECT_EQ(g.columnX, (QList<int>{600, 2266, 2266 + 1222}));  // 3488.1
    EXPECT_EQ(g.boxWidth.mid(0, 2), (QList<int>{1540, 1100}));

    // The printed cells use those positions; numbers right-aligned titles, text left.
    report(makeTable(3, 1, [](int, int j) -> Variant { return j == 1 ? Variant(int32_t(1234)) : Variant("x"); }), s);
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("A")).x, 600);                    // "LT": no inset
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("B")).x, 2266 + 1100 - 110);      // "RT": flush right
    EXPECT_EQ(printed(QStringLiteral("     1,234")).x, 2266 + 1100 - 1100);  // fdnc in 10 columns
}

TEST_F(PrintEngine, FontSizeAndPageFollowReportWidthOrientationAndLargeLetters) {
    auto widthStru = [](int w) { return makeStru({fieldDef("c", w - 1, 0, "t")}); };  // W = w
    // 'p' portrait, 'l' landscape, 'L' large letters: 1.4 times 11 up to W 96, the landscape column beyond.
    struct Size { int w; char o; double size; };
    for (const Size& c : {Size{96, 'p', 11}, {97, 'p', 10}, {105, 'p', 10}, {106, 'p', 9}, {118, 'p', 9},
                          {119, 'p', 8}, {135, 'p', 8}, {136, 'p', 7}, {97, 'l', 11}, {134, 'l', 11}, {135, 'l', 10},
                          {147, 'l', 10}, {148, 'l', 9}, {165, 'l', 9}, {166, 'l', 8}, {189, 'l', 8}, {190, 'l', 7},
                          {96, 'L', 15.4}, {97, 'L', 11}, {140, 'L', 10}})
        EXPECT_DOUBLE_EQ(reportGeometry(widthStru(c.w), c.o == 'l', c.o == 'L', false).fontSize, c.size)
            << "W " << c.w << " " << c.o;

    struct Page { char o; bool by5; int top, left, lineHeight, rows; };
    for (const Page& c : {Page{'p', false, 900, 600, 300, 40}, {'p', true, 900, 600, 300, 35},
                          {'l', false, 500, 900, 300, 30}, {'l', true, 500, 900, 300, 25},
                          {'L', false, 500, 900, 365, 25}, {'L', true, 500, 900, 365, 20}}) {
        const ReportGeometry g = reportGeometry(widthStru(50), c.o == 'l', c.o == 'L', c.by5);
        EXPECT_EQ(QList<int>({g.topMargin, g.leftMargin, g.lineHeight, g.rowsPerPage}),
                  QList<int>({c.top, c.left, c.lineHeight, c.rows})) << c.o << c.by5;
    }
}

TEST_F(PrintEngine, CellTextsByColumnTypeAndWideTitlesShrinkInSteps) {
    Variant s = makeStru({fieldDef("D", 5, 0, "월일"), fieldDef("d", 10, 0, "일자"), fieldDef("N", 9, 2, "금액"),
                          fieldDef("x", 4, 0, "?"), fieldDef("c", 5, 0, "거래처명칭")});
    report(makeTable(5, 2, [](int i, int j) -> Variant {
               if (j < 2) return Variant(ostrel::DateSerial(2024, 3, 5));
               if (j == 2) return i == 0 ? Variant(1234.5) : Variant(QStringLiteral("별도"));
               return Variant(QStringLiteral("hidden"));
           }),
           s);
    const std::pair<const char*, int> shown[] = {
        {"03/05", 2},     // short date column: month and day
        {"24/03/05", 2},  // full short date
        {" 1,234.5 ", 1}, {"별도", 1},  // text in a number column unchanged
        {"hidden", 2}};                  // in the text column only: an unknown type letter prints blank
    for (auto [text, times] : shown) EXPECT_EQ(countTexts(printer->texts(), QString::fromUtf8(text)), times) << text;
    // Title of 10 bytes in a 5-column box of 550 twips: 5.5 pt fits, floored to 5.4 (45 x 0.12).
    EXPECT_NEAR(printed(QStringLiteral("거래처명칭")).fontSize, 5.4, 1e-9);
    EXPECT_EQ(printed(QStringLiteral("월일")).fontSize, 11);  // fits: 4 bytes in 550
    EXPECT_EQ(printer->FontSize(), 11);  // restored after the shrunk cell
}

TEST_F(PrintEngine, LargeLetterSettingForcesLandscape) {
    sembrin::pptPublicValue().setInisetting(sembrin::setting::LargeLetterPrint(), QStringLiteral("true"));
    EXPECT_TRUE(report(items(26)));
    EXPECT_EQ(printer->pageCount(), 2);  // 25 rows a page
    // The heading in landscape at the left margin, inset by size x 5.
    const auto heading = printer->textsOnPage(0).first();
    EXPECT_TRUE(heading.orientation == 2 && std::abs(heading.fontSize - 15.4) < 1e-9 && heading.x == 900 + 77)
        << heading.orientation << " " << heading.fontSize << " " << heading.x;
    EXPECT_EQ(printer->Orientation(), 1);  // set upright again at the end
}

TEST_F(PrintEngine, EmptyTablesAndFailuresAreReportedAndTheDocumentDropped) {
    ModalDriver driver;
    report(items(0));
    report(nullptr);
    EXPECT_EQ(driver.messages, QStringList(2, QStringLiteral("인쇄할 내용이 없습니다.")));
    EXPECT_EQ(printer->pageCount(), 0);

    printer->setDeviceName(QStringLiteral("사무실 프린터"));
    printer->failAtPrint(20);
    report(items(10), reportStru(), false, true);
    ASSERT_EQ(driver.messages.size(), 3);
    EXPECT_EQ(driver.messages[2], QStringLiteral("프린터 오류가 발생하여 프린트를 완료하지 못했습니다.\n\n"
                                                 "현재 지정된 프린터는 '사무실 프린터' 입니다."));
    EXPECT_TRUE(count(Op::KillDoc) == 1 && count(Op::EndDoc) == 0);
    EXPECT_EQ(printer->Orientation(), 1);  // a portrait report after this one never sets it

    // A structure without titles is an ordinary run-time error: shown, and the call returns.
    printer->clear();
    report(items(3), Variant::array({Variant::array({"c", Variant(int16_t(4)), Variant(int16_t(0))})}));
    ASSERT_EQ(driver.messages.size(), 4);
    EXPECT_TRUE(driver.messages[3].startsWith(QStringLiteral("'9' 런타임 오류가 발생했습니다.:\n\n")));
    EXPECT_EQ(printer->pageCount(), 0);
}

TEST_F(PrintEngine, PrintCellAlignmentInsetFrameAndDerivedSizes) {
    printer->setFontSize(10);
    PrintCell(1000, 2000, 2000, 400, QStringLiteral("가나"), 0, QStringLiteral("c"));
    PrintCell(1000, 2000, 2000, 400, QStringLiteral("가나"), 0, QStringLiteral("R"));
    PrintCell(1000, 2000, 2000, 0, QStringLiteral("ab"), 12, QStringLiteral("LB"));
    PrintCell(1000, 2000, 0, 0, QString(300, QLatin1Char('x')), 11, QString());
    const auto t = printer->texts();
    ASSERT_EQ(t.size(), 4);
    EXPECT_DOUBLE_EQ(t[0].x, 1000 + 1000 - 4 * 10 * 10 / 2.0);  // centred
    EXPECT_DOUBLE_EQ(t[0].y, 2000 + 200 - 100);
    EXPECT_DOUBLE_EQ(t[1].x, 1000 + 2000 - (400 + 50));          // right, inset 50
    EXPECT_DOUBLE_EQ(t[2].x, 1000 + 60);                        // left, inset 12 x 5
    EXPECT_EQ(t[2].fontSize, 12);
    EXPECT_DOUBLE_EQ(t[2].y, 2000 + 12 * 24 / 2.0 - 120);        // derived height 288
    const auto frame = std::ranges::find_if(printer->calls(), [](const auto& c) { return c.op == Op::Rectangle; });
    ASSERT_NE(frame, printer->calls().end());
    EXPECT_TRUE(frame->drawWidth == 1 && frame->x2 == 3000 && frame->y2 == 2288) << frame->x2 << " " << frame->y2;

    // 300 bytes at 11 pt would need 33110 twips: the width is capped at 32676 and the text shrinks.
    EXPECT_NEAR(t[3].fontSize, 10.8, 1e-9);
    EXPECT_EQ(printer->FontSize(), 10);  // every cell restores the size it found
    EXPECT_THROW(PrintCell(40000, 0, 0, 0, QStringLiteral("x"), 0, QString()), ostrel::RuntimeError);
}

TEST(WriteList, EveryKindOfValue) {
    const ostrel::Date day = ostrel::DateSerial(2024, 3, 5);
    const ostrel::Date withTime(day.serial + ostrel::TimeSerial(9, 5, 7));
    const ostrel::Date timeOnly(ostrel::TimeSerial(23, 59, 0));
    QByteArray line = WriteListLine({Variant(QStringLiteral("say \"hi\"")), Variant(int16_t(-7)),
                                     Variant(int32_t(100000)), Variant(1234.5), Variant(0.1f),
                                     Variant(ostrel::Currency::fromDouble(-12.25)), Variant(), Variant(day),
                                     Variant(withTime), Variant(timeOnly), Variant(true), Variant(false),
                                     Variant::null(), Variant(QString()), Variant(QStringLiteral("가"))});
    // Korean text leaves in code page 949: two bytes a syllable.
    EXPECT_EQ(line, QByteArray("\"say \"\"hi\"\"\",-7,100000,1234.5,0.1,-12.25,,#2024-03-05#,"
                               "#2024-03-05 09:05:07#,#23:59:00#,#TRUE#,#FALSE#,#NULL#,\"\",\"\xB0\xA1\"\r\n"));
    EXPECT_EQ(WriteListLine({}), QByteArray("\r\n"));
    EXPECT_THROW(WriteListLine({Variant::array({Variant(1.0)})}), ostrel::RuntimeError);
}

// Doubled quotes keep a line balanced, so that a spreadsheet reads every cell back whole.
TEST(CsvFile, HeadingLinesRecordsAndStructureColumnsOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.csv"));
    const QString titles = QStringLiteral("\"품목\",\"수량\",\"일자\"\r\n");
    const QString records = titles + "\"한빛 \"\"청과\"\"\",1234.5,#2024-03-05#\r\n\"a,b\",-0.25,#2024-03-05#\r\n";
    const Variant period = Variant::array({Variant(ostrel::DateSerial(2024, 3, 1)), Variant(QStringLiteral("~")),
                                           Variant(ostrel::DateSerial(2024, 3, 31))});
    struct Case { Variant descr; ostrel::TableRef table; QString written; };
    const Case cases[] = {
        {period, csvTable(), "\"매출\"\r\n#2024-03-01#,\"~\",#2024-03-31#\r\n" + records},
        {QStringLiteral("3월, \"확정\""), csvTable(), "\"매출\"\r\n\"3월, \"\"확정\"\"\"\r\n" + records},
        // An empty table: the three heading lines; a description that is no text gives an empty line.
        {int32_t(3), makeTable(3, 0, [](int, int) { return Variant(); }), "\"매출\"\r\n\r\n" + titles}};
    for (const Case& c : cases) {
        QString error;
        ASSERT_TRUE(WriteCsvFile(path, QStringLiteral("매출"), c.descr, c.table, reportStru(), &error))
            << error.toStdString();
        EXPECT_TRUE(c.table->isEOF());  // walked to the end
        EXPECT_EQ(readAll(path), ostrel::cp949::encode(c.written));
    }
}

// Failures never replace or half write a file.
TEST(CsvOutput, DialogWriteAndTheMessages) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("taken.csv"));
    QFile earlier(dir.filePath(QStringLiteral("keep.csv")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier export\r\n") == 16);
    earlier.close();
    const auto unwritable = makeTable(3, 1, [](int, int j) { return j ? Variant::array({Variant(1.0)}) : Variant(); });
    ModalDriver driver;
    struct Case { const char* answer; ostrel::TableRef table; bool written; const char* message; };
    const Case cases[] = {
        {"", csvTable(), false, nullptr},  // cancelled: nothing written, nothing said
        {"out", csvTable(), true, "CSV 파일 내보내기 완료"},  // ".csv" added
        {"gone/held.csv", csvTable(), false, "CSV 파일을 만들 수 없습니다."},  // a folder that is not there
        {"keep.csv", unwritable, false, "'13' 런타임 오류가 발생했습니다."}};  // the earlier file stays whole
    for (const Case& c : cases) {
        driver.messages.clear();
        driver.fileAnswer = *c.answer ? dir.filePath(QString::fromLatin1(c.answer)) : QString();
        EXPECT_EQ(fncJbPrint().CsvOutput(QStringLiteral("매출"), Variant(), c.table, reportStru()), c.written);
        ASSERT_EQ(driver.messages.size(), c.message ? 1 : 0) << c.answer;
        EXPECT_TRUE(!c.message || driver.messages[0].startsWith(QString::fromUtf8(c.message))) << c.answer;
        const QDir desktop(ostrel::fncCmnDlg::DesktopFolder());  // where the run's first save dialog opens
        EXPECT_TRUE(*c.answer || !desktop.exists() || driver.lastDialogDirectory == desktop.absolutePath());
    }
    EXPECT_TRUE(driver.dialogs == 4 && driver.lastDialogSuffix == QStringLiteral("csv"));
    EXPECT_TRUE(driver.lastDialogFilters.value(0).startsWith(QStringLiteral("CSV형식파일(*.csv)")));
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("out.csv"))).startsWith(ostrel::cp949::encode(u"\"매출\"\r\n")));
    EXPECT_EQ(readAll(earlier.fileName()), QByteArray("earlier export\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.csv", "out.csv"}));
    QString error;  // a folder in the way
    EXPECT_FALSE(WriteCsvFile(dir.filePath("taken.csv"), "s", Variant(), csvTable(), reportStru(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("CSV 파일을 만들 수 없습니다."))) << error.toStdString();
}

// Without a system printer the report goes to a PDF file named after it, in the folder of the
// last file saved in the run; it reads back with its spaces, a footer on each page and no blank page.
TEST(PrintWithoutPrinter, AsksForAPdfFileNamedAfterTheReportAndSaysWhere) {
    if (QtPrinter::printerInstalled()) GTEST_SKIP() << "a system printer is installed";
    QTemporaryDir dir;
    for (const char* folder : {"csv", "pdf"}) QDir(dir.path()).mkdir(QString::fromLatin1(folder));
    const QString subject = QStringLiteral("거래처별 매출");
    const Variant descr(QStringLiteral("2024-03 전체"));
    ModalDriver driver;
    report(items(3));  // cancelled: told why, then nothing printed
    EXPECT_TRUE(driver.messages.size() == 1 && driver.messages[0].contains(QStringLiteral("PDF")));
    EXPECT_TRUE(driver.dialogs == 1 && driver.lastDialogSuffix == QStringLiteral("pdf"));

    driver.fileAnswer = dir.filePath(QStringLiteral("csv/first"));
    ASSERT_TRUE(ExportCsv(subject, descr, items(3), reportStru()));
    EXPECT_EQ(driver.lastDialogName, subject);
    driver.fileAnswer = dir.filePath(QStringLiteral("pdf/report"));  // no extension: ".pdf" added
    bool landscape = false;
    PrintReport(subject, descr, items(45), reportStru(), QStringLiteral("123-45-67890"), QStringLiteral("한빛 청과"),
                QStringLiteral("02-123-4567"), false, landscape);
    EXPECT_EQ(driver.lastDialogName, subject);
    EXPECT_EQ(driver.lastDialogDirectory, dir.filePath(QStringLiteral("csv")));
    const QString pdf = dir.filePath(QStringLiteral("pdf/report.pdf"));
    EXPECT_TRUE(driver.messages.last().contains(pdf)) << driver.messages.last().toStdString();

    const QString text = pdfText(pdf);
    EXPECT_FALSE(text.contains(QChar(1)));
    for (const char* shown : {"거래처별 매출 ( 1 / 2)", "거래처별 매출 ( 2 / 2)", "2024-03 전체", "품목", "수량", "일자",
                              "item 44", "43,000"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown << " in " << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("123-45-67890 한빛 청과 02-123-4567")), 2);  // a footer on each page
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2);  // two pages, no blank third
}
