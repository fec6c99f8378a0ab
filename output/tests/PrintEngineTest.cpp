// The print engine against a recording printer, a PDF read back, and printing without a printer.
#include "MakeTable.h"
#include "ModalDriver.h"
#include "WidgetTest.h"
#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/Settings.h"
#include "sembrin/pptPublicValue.h"
#include "tavrin/QtPrinter.h"
#include "tavrin/RecordingPrinter.h"
#include "tavrin/mdlPrint.h"
#include "tessel/Stru.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tavrin;
using ostrel::Variant;
using tessel::fieldDef;
using tessel::makeStru;
using vendra::test::makeTable;
using vendra::test::ModalDriver;
using Op = RecordingPrinter::Op;

namespace {

class PrintEngine : public ::testing::Test {
protected:
    void SetUp() override {
        printer = std::make_shared<RecordingPrinter>();
        setCurrentPrinter(printer);
    }
    void TearDown() override {
        setCurrentPrinter(nullptr);
        sembrin::pptPublicValue().setInisetting(sembrin::setting::LargeLetterPrint(), QString());
    }
    static int countTexts(const QList<RecordingPrinter::Call>& calls, const QString& text) {
        return int(std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.text == text; }));
    }
    int count(Op op) const {
        const auto& calls = printer->calls();
        return int(std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.op == op; }));
    }
    // The first text printed as `text` (an empty call if none was).
    RecordingPrinter::Call printed(const QString& text) const {
        for (const auto& c : printer->texts())
            if (c.text == text) return c;
        return RecordingPrinter::Call(Op::Text);
    }
    std::shared_ptr<RecordingPrinter> printer;
};

Variant threeColumns() {
    return makeStru({fieldDef("c", 10, 0, "품목"), fieldDef("n", 8, 0, "수량"), fieldDef("d", 8, 0, "일자")});
}

ostrel::TableRef rows(int n) {
    return makeTable(3, n, [](int i, int j) -> Variant {
        if (j == 0) return QStringLiteral("item%1").arg(i);
        if (j == 1) return Variant(int32_t(i * 1000));
        return Variant(ostrel::DateSerial(2024, 3, 5));
    });
}

// Prints `t` titled "s" without a description or footer; gives the orientation it ended in.
bool report(const ostrel::TableRef& t, const Variant& stru = threeColumns(), bool divideby5 = false,
            bool landscape = false) {
    PrintReport(QStringLiteral("s"), Variant(), t, stru, {}, {}, {}, divideby5, landscape);
    return landscape;
}

}  // namespace

TEST_F(PrintEngine, FortyOneRecordsInPortraitTakeTwoPagesWithFormattedPageNumbers) {
    bool landscape = false;
    PrintReport(QStringLiteral("매출장"), Variant(QStringLiteral("2024년 3월")), rows(41), threeColumns(),
                QStringLiteral("123-45-67890"), QStringLiteral("한빛청과"), QStringLiteral("02-123-4567"), false,
                landscape);
    EXPECT_EQ(printer->pageCount(), 2);
    EXPECT_FALSE(landscape);

    const auto p1 = printer->textsOnPage(0), p2 = printer->textsOnPage(1);
    ASSERT_FALSE(p1.isEmpty());
    ASSERT_FALSE(p2.isEmpty());
    EXPECT_EQ(p1[0].text, QStringLiteral("매출장 (  1 /   2)"));
    EXPECT_EQ(p2[0].text, QStringLiteral("매출장 (  2 /   2)"));
    EXPECT_EQ(p1[1].text, QStringLiteral("2024년 3월"));
    EXPECT_EQ(p1[0].fontName, QStringLiteral("굴림체"));
    // Heading at the portrait margins, inset by size x 5 and centred in a size x 24 box.
    EXPECT_DOUBLE_EQ(p1[0].x, 600 + 55);
    EXPECT_DOUBLE_EQ(p1[0].y, 900 + 11 * 24 / 2.0 - 110);

    EXPECT_EQ(countTexts(p1, QStringLiteral("item0")), 1);
    EXPECT_EQ(countTexts(p1, QStringLiteral("item39")), 1);
    EXPECT_EQ(countTexts(p2, QStringLiteral("item40")), 1);
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
    report(rows(36), threeColumns(), true);
    ASSERT_EQ(printer->pageCount(), 2);
    const auto p1 = printer->textsOnPage(0);
    const QString rule(11 + 9 + 9, QLatin1Char('.'));
    EXPECT_EQ(countTexts(p1, rule), 6);
    EXPECT_EQ(countTexts(p1, QStringLiteral("item34")), 1);  // 35 rows on page 1
    EXPECT_EQ(countTexts(printer->textsOnPage(1), QStringLiteral("item35")), 1);
    EXPECT_EQ(countTexts(printer->textsOnPage(1), rule), 0);

    // The first rule stands right below row 5 and pushes row 6 one line down.
    const double ruleY = printed(rule).y, row5Y = printed(QStringLiteral("item4")).y;
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("item5")).y - row5Y, 600);
    EXPECT_GT(ruleY, row5Y);
    EXPECT_LT(ruleY, row5Y + 600);
}

TEST_F(PrintEngine, ColumnPositionsRoundHalfToEvenAndBoxesFollowLength) {
    // W = 15 + 11 = 26: size 11; x(1) = 600 + 15 x 11 x 10.1 = 2266.5, which rounds to 2266.
    Variant s = makeStru({fieldDef("c", 14, 0, "A"), fieldDef("n", 10, 0, "B"), fieldDef("c", 3, 0, "C")});
    ReportGeometry g = reportGeometry(s, false, false, false);
    EXPECT_EQ(g.width, 30);
    EXPECT_EQ(g.fontSize, 11);
    ASSERT_EQ(g.columnX.size(), 3);
    EXPECT_EQ(g.columnX[0], 600);
    EXPECT_EQ(g.columnX[1], 2266);
    EXPECT_EQ(g.columnX[2], 2266 + 1222);  // 3488.1
    EXPECT_EQ(g.boxWidth[0], 1540);
    EXPECT_EQ(g.boxWidth[1], 1100);

    // The printed cells use those positions; numbers right-aligned titles, text left.
    report(makeTable(3, 1, [](int, int j) -> Variant { return j == 1 ? Variant(int32_t(1234)) : Variant("x"); }), s);
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("A")).x, 600);                    // "LT": no inset
    EXPECT_DOUBLE_EQ(printed(QStringLiteral("B")).x, 2266 + 1100 - 110);      // "RT": flush right
    EXPECT_EQ(printed(QStringLiteral("     1,234")).x, 2266 + 1100 - 1100);  // fdnc in 10 columns
}

TEST_F(PrintEngine, FontSizeFollowsReportWidthAndOrientation) {
    auto widthStru = [](int w) {  // one column of length w - 1
        return makeStru({fieldDef("c", w - 1, 0, "t")});
    };
    struct Case { int w; bool landscape; double size; };
    const Case cases[] = {{96, false, 11}, {97, false, 10}, {105, false, 10}, {106, false, 9}, {118, false, 9},
                          {119, false, 8}, {135, false, 8}, {136, false, 7}, {97, true, 11}, {134, true, 11},
                          {135, true, 10}, {147, true, 10}, {148, true, 9}, {165, true, 9}, {166, true, 8},
                          {189, true, 8}, {190, true, 7}};
    for (const Case& c : cases)
        EXPECT_EQ(reportGeometry(widthStru(c.w), c.landscape, false, false).fontSize, c.size)
            << "W " << c.w << (c.landscape ? " landscape" : " portrait");

    // Large letters: 1.4 times 11 up to W 96, the landscape column beyond.
    EXPECT_DOUBLE_EQ(reportGeometry(widthStru(96), false, true, false).fontSize, 15.4);
    EXPECT_EQ(reportGeometry(widthStru(97), false, true, false).fontSize, 11);
    EXPECT_EQ(reportGeometry(widthStru(140), false, true, false).fontSize, 10);

    const ReportGeometry land = reportGeometry(widthStru(50), true, false, true);
    EXPECT_EQ(land.topMargin, 500);
    EXPECT_EQ(land.leftMargin, 900);
    EXPECT_EQ(land.rowsPerPage, 25);
    const ReportGeometry large = reportGeometry(widthStru(50), false, true, false);
    EXPECT_EQ(large.lineHeight, 365);
    EXPECT_EQ(large.rowsPerPage, 25);
    EXPECT_EQ(reportGeometry(widthStru(50), false, true, true).rowsPerPage, 20);
    EXPECT_EQ(reportGeometry(widthStru(50), false, false, true).rowsPerPage, 35);
}

TEST_F(PrintEngine, CellTextsByColumnType) {
    Variant s = makeStru({fieldDef("D", 5, 0, "월일"), fieldDef("d", 10, 0, "일자"), fieldDef("N", 9, 2, "금액"),
                          fieldDef("x", 4, 0, "?")});
    auto t = makeTable(4, 2, [](int i, int j) -> Variant {
        if (j < 2) return Variant(ostrel::DateSerial(2024, 3, 5));
        if (j == 2) return i == 0 ? Variant(1234.5) : Variant(QStringLiteral("별도"));
        return Variant(QStringLiteral("hidden"));
    });
    report(t, s);
    const auto texts = printer->texts();
    EXPECT_EQ(countTexts(texts, QStringLiteral("03/05")), 2);     // short date column: month and day
    EXPECT_EQ(countTexts(texts, QStringLiteral("24/03/05")), 2);  // full short date
    EXPECT_EQ(countTexts(texts, QStringLiteral(" 1,234.5 ")), 1);
    EXPECT_EQ(countTexts(texts, QStringLiteral("별도")), 1);     // text in a number column unchanged
    EXPECT_EQ(countTexts(texts, QStringLiteral("hidden")), 0);  // unknown type letter: blank
}

TEST_F(PrintEngine, WideTitleShrinksInSteps) {
    // Title of 10 bytes in a 5-column box of 550 twips: 5.5 pt fits, floored to 5.4 (45 x 0.12).
    Variant s = makeStru({fieldDef("c", 5, 0, "거래처명칭"), fieldDef("c", 4, 0, "비고")});
    report(makeTable(2, 1, [](int, int) { return Variant("a"); }), s);
    EXPECT_NEAR(printed(QStringLiteral("거래처명칭")).fontSize, 5.4, 1e-9);
    EXPECT_EQ(printed(QStringLiteral("비고")).fontSize, 11);  // fits: 4 bytes in 440
    EXPECT_EQ(printer->FontSize(), 11);  // restored after the shrunk cell
}

TEST_F(PrintEngine, LargeLetterSettingForcesLandscape) {
    sembrin::pptPublicValue().setInisetting(sembrin::setting::LargeLetterPrint(), QStringLiteral("true"));
    EXPECT_TRUE(report(rows(26)));
    EXPECT_EQ(printer->pageCount(), 2);  // 25 rows a page
    const auto p1 = printer->textsOnPage(0);
    EXPECT_EQ(p1[0].orientation, 2);
    EXPECT_NEAR(p1[0].fontSize, 15.4, 1e-9);
    EXPECT_DOUBLE_EQ(p1[0].x, 900 + 77);
    EXPECT_EQ(printer->Orientation(), 1);  // set upright again at the end
}

TEST_F(PrintEngine, EmptyTablesAndFailuresAreReportedAndTheDocumentDropped) {
    ModalDriver driver;
    report(rows(0));
    report(nullptr);
    EXPECT_EQ(driver.messages, QStringList(2, QStringLiteral("인쇄할 내용이 없습니다.")));
    EXPECT_EQ(printer->pageCount(), 0);
    driver.messages.clear();

    printer->setDeviceName(QStringLiteral("사무실 프린터"));
    printer->failAtPrint(20);
    report(rows(10), threeColumns(), false, true);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_EQ(driver.messages[0], QStringLiteral("프린터 오류가 발생하여 프린트를 완료하지 못했습니다.\n\n"
                                                 "현재 지정된 프린터는 '사무실 프린터' 입니다."));
    EXPECT_EQ(count(Op::KillDoc), 1);
    EXPECT_EQ(count(Op::EndDoc), 0);
    EXPECT_EQ(printer->Orientation(), 1);  // a portrait report after this one never sets it

    // A structure without titles is an ordinary run-time error: shown, and the call returns.
    printer->clear();
    Variant bad = Variant::array({Variant::array({"c", Variant(int16_t(4)), Variant(int16_t(0))})});
    report(rows(3), bad);
    ASSERT_EQ(driver.messages.size(), 2);
    EXPECT_TRUE(driver.messages[1].startsWith(QStringLiteral("'9' 런타임 오류가 발생했습니다.:\n\n")));
    EXPECT_EQ(printer->pageCount(), 0);
}

TEST_F(PrintEngine, PrintCellAlignmentInsetFrameAndDerivedSizes) {
    printer->setFontSize(10);
    PrintCell(1000, 2000, 2000, 400, QStringLiteral("가나"), 0, QStringLiteral("c"));
    PrintCell(1000, 2000, 2000, 400, QStringLiteral("가나"), 0, QStringLiteral("R"));
    PrintCell(1000, 2000, 2000, 0, QStringLiteral("ab"), 12, QStringLiteral("LB"));
    PrintCell(1000, 2000, 0, 0, QString(300, QLatin1Char('x')), 11, QString());
    const auto& calls = printer->calls();
    const auto t = printer->texts();
    ASSERT_EQ(t.size(), 4);
    EXPECT_DOUBLE_EQ(t[0].x, 1000 + 1000 - 4 * 10 * 10 / 2.0);  // centred
    EXPECT_DOUBLE_EQ(t[0].y, 2000 + 200 - 100);
    EXPECT_DOUBLE_EQ(t[1].x, 1000 + 2000 - (400 + 50));          // right, inset 50
    EXPECT_DOUBLE_EQ(t[2].x, 1000 + 60);                        // left, inset 12 x 5
    EXPECT_EQ(t[2].fontSize, 12);
    EXPECT_DOUBLE_EQ(t[2].y, 2000 + 12 * 24 / 2.0 - 120);        // derived height 288

    RecordingPrinter::Call rect(Op::Text);
    for (const auto& c : calls)
        if (c.op == Op::Rectangle) rect = c;
    ASSERT_EQ(rect.op, Op::Rectangle);
    EXPECT_EQ(rect.drawWidth, 1);
    EXPECT_DOUBLE_EQ(rect.x2, 3000);
    EXPECT_DOUBLE_EQ(rect.y2, 2288);

    // 300 bytes at 11 pt would need 33110 twips: the width is capped at 32676 and the text shrinks.
    EXPECT_NEAR(t[3].fontSize, 10.8, 1e-9);
    EXPECT_EQ(printer->FontSize(), 10);  // every cell restores the size it found

    EXPECT_THROW(PrintCell(40000, 0, 0, 0, QStringLiteral("x"), 0, QString()), ostrel::RuntimeError);
}

TEST(JoinDescr, ArraysStringsAndOthers) {
    Variant d = Variant::array({Variant(ostrel::DateSerial(2024, 3, 1)), Variant(QStringLiteral("~")),
                                Variant(ostrel::DateSerial(2024, 3, 31)), Variant(int32_t(7))});
    EXPECT_EQ(joindescr(d), QStringLiteral("24/03/01  ~  24/03/31  7"));
    EXPECT_EQ(joindescr(Variant(QStringLiteral("기간"))), QStringLiteral("기간"));
    EXPECT_EQ(joindescr(Variant(int32_t(5))), QString());
    EXPECT_EQ(joindescr(Variant()), QString());
    EXPECT_EQ(joindescr(Variant::array({})), QString());
    EXPECT_EQ(joindescr(Variant::array({Variant::null(), Variant("a")})), QStringLiteral("  a"));
}

TEST(PrintToPdf, HeadingPageNumbersTitlesAndFooterReadBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    auto pdf = QtPrinter::pdf(file);
    setCurrentPrinter(pdf);
    bool landscape = false;
    PrintReport(QStringLiteral("거래처별 매출"), Variant(QStringLiteral("2024-03")), rows(45), threeColumns(),
                QStringLiteral("123-45-67890"), QStringLiteral("한빛청과"), QStringLiteral("02-123-4567"), false,
                landscape);
    setCurrentPrinter(nullptr);
    EXPECT_EQ(pdf->pagesPrinted(), 2);

    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    // The embedded coding font maps its space glyph back to U+0001 as well as to the space, so
    // the extractor may give either: compare without spaces.
    QString flat = text;
    flat.remove(QRegularExpression(QStringLiteral("[\\s\\x{1}]")));
    auto has = [&](const QString& s) { return flat.contains(QString(s).remove(QLatin1Char(' '))); };
    for (const char* shown : {"거래처별 매출 (  1 /   2)", "거래처별 매출 (  2 /   2)", "2024-03", "품목", "수량", "일자",
                              "item44", "43,000"})
        EXPECT_TRUE(has(QString::fromUtf8(shown))) << shown << " in " << text.toStdString();
    EXPECT_EQ(flat.count(QStringLiteral("123-45-67890한빛청과02-123-4567")), 2);  // a footer on each page
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2);  // two pages, no blank third
}

TEST(PrintWithoutPrinter, AsksForAPdfFileAndPrintsThere) {
    if (QtPrinter::printerInstalled()) GTEST_SKIP() << "a system printer is installed";
    setCurrentPrinter(nullptr);
    QTemporaryDir dir;
    ModalDriver driver;
    report(rows(3));  // cancelled: told why, then nothing printed
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains(QStringLiteral("PDF")));
    EXPECT_EQ(driver.dialogs, 1);
    EXPECT_EQ(driver.lastDialogSuffix, QStringLiteral("pdf"));

    driver.fileAnswer = dir.filePath(QStringLiteral("out"));
    report(rows(3));
    EXPECT_EQ(driver.dialogs, 2);
    QFile pdf(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}
