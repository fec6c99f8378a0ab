// The keyboard's way through the viewer and the selection list, their sizes, and the files the
// user saves: where the dialogs open, what they propose, and what a PDF reads back as.
#include "ModalDriver.h"
#include "MakeTable.h"
#include "WidgetTest.h"
#include "WaitFor.h"

#include "ostrel/fncCmnDlg.h"
#include "tavrin/CsvExport.h"
#include "tavrin/QtPrinter.h"
#include "tavrin/clsOuthand.h"
#include "tavrin/frmSelectA.h"
#include "tavrin/mdlPrint.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavrin;
using ostrel::Variant;
using vendra::test::ModalDriver;

namespace {

Variant twoColumns() {
    return tessel::makeStru(
        {tessel::fieldDef("c", 8, 0, QStringLiteral("품목")), tessel::fieldDef("n", 6, 0, QStringLiteral("수량"))});
}

ostrel::TableRef items(int n) {
    return vendra::test::makeTable(2, n, [](int i, int j) -> Variant {
        return j == 0 ? Variant(QStringLiteral("item %1").arg(i)) : Variant(int32_t(i * 1000));
    });
}

QWidget* focused() { return QApplication::focusWidget(); }

void tab(bool forward = true) {
    ASSERT_TRUE(QTest::qWaitFor([] { return focused() != nullptr; }));
    QTest::keyClick(focused(), Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
}

// A print object that only counts: it stands for the viewer's printing.
class CountingPrint : public PrintObject {
public:
    int runs = 0;
    void run(QString&, Variant&, ostrel::TableRef&, Variant&) override { ++runs; }
};

TEST(ReachAndFiles, TabGoesFromTheViewersLastCellThroughItsThreeButtonsInOrder) {
    clsOuthand o;
    o.setMaxrow(2);
    o.setStru(twoColumns());
    o.setValue(items(3));
    auto print = std::make_shared<CountingPrint>();
    o.setPrintobj(print);
    o.show();
    frmOuthand* frm = o.window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm));
    frm->outvar2(frm->outvar2Count() - 1)->setFocus();
    for (QWidget* expected : {frm->cmdF6(), frm->cmdF9(), frm->cmdAltP()}) {
        tab();
        ASSERT_TRUE(QTest::qWaitFor([&] { return focused() == expected; })) << expected->objectName().toStdString();
    }
    tab(false);
    EXPECT_EQ(focused(), frm->cmdF9());
    QTest::keyClick(focused(), Qt::Key_Return);  // the focused button is pressed
    EXPECT_EQ(print->runs, 1);
    frm->close();
}

TEST(ReachAndFiles, SelectionListIsLeftWithTabAndSizedAroundItsGrid) {
    for (const float size : {10.5f, 12.0f}) {
        SCOPED_TRACE(size);
        frmSelectA frm;
        frm.setFontsize(size);
        frm.setStructure(twoColumns(), 2);
        frm.ab1()->setValue(items(2));
        frm.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
        EXPECT_DOUBLE_EQ(frm.ab1()->invar1(0)->heightTwips(), double(size) * 28);
        const QSize grid = frm.ab1()->size();
        EXPECT_EQ(frm.frameGeometry().size(), tessel::twipsRect(0, 0, tessel::pixelsToTwips(grid.width()) + 350,
                                                              tessel::pixelsToTwips(grid.height()) + 1800)
                                                  .size());
        ASSERT_TRUE(QTest::qWaitFor([&] { return frm.ab1()->isAncestorOf(focused()); }));
        tab();
        EXPECT_EQ(focused(), frm.cmdOK());
        tab();
        EXPECT_EQ(focused(), frm.cmdCancel());
        tab(false);
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_TRUE(frm.result());
    }
}

TEST(ReachAndFiles, TheOpenDialogTakesANameThatDoesNotExistYet) {
    QTemporaryDir dir;
    ModalDriver driver;
    driver.fileAnswer = dir.filePath(QStringLiteral("new.txt"));
    // A dialog that refused the name would stay open: close it rather than wait for ever.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
    });
    guard.start(3000);
    QString name, init = dir.path(), filter = QStringLiteral("텍스트|*.txt"), ext;
    EXPECT_TRUE(ostrel::fncCmnDlg().DlgFileOpen(name, init, filter, ext));
    EXPECT_EQ(name, driver.fileAnswer);
}

// Text of a PDF as the extractor gives it, runs of spaces made one.
QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
QString oneSpace(QString s) { return s.replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" ")); }

TEST(ReachAndFiles, APdfIsNamedAfterItsReportSaysWhereAndReadsBackWithItsSpaces) {
    if (QtPrinter::printerInstalled()) GTEST_SKIP() << "a system printer is installed";
    setCurrentPrinter(nullptr);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("csv"));
    QDir(dir.path()).mkdir(QStringLiteral("pdf"));
    const QString subject = QStringLiteral("거래처별 매출");
    const Variant descr(QStringLiteral("2024-03 전체"));
    ModalDriver driver;

    driver.fileAnswer = dir.filePath(QStringLiteral("csv/first"));
    ASSERT_TRUE(ExportCsv(subject, descr, items(3), twoColumns()));
    EXPECT_EQ(driver.lastDialogName, subject);

    driver.fileAnswer = dir.filePath(QStringLiteral("pdf/report"));
    bool landscape = false;
    PrintReport(subject, descr, items(3), twoColumns(), QStringLiteral("123-45-67890"), QStringLiteral("한빛 청과"),
                QStringLiteral("02-123-4567"), false, landscape);
    EXPECT_EQ(driver.lastDialogName, subject);
    EXPECT_EQ(driver.lastDialogDirectory, dir.filePath(QStringLiteral("csv")));  // the last folder of the run
    const QString pdf = dir.filePath(QStringLiteral("pdf/report.pdf"));
    ASSERT_FALSE(driver.messages.isEmpty());
    EXPECT_TRUE(driver.messages.last().contains(pdf)) << driver.messages.last().toStdString();

    const QString text = pdfText(pdf);
    EXPECT_FALSE(text.contains(QChar(1)));
    const QString lines = oneSpace(text);
    for (const QString& line : {QStringLiteral("거래처별 매출 ( 1 / 1)"), QStringLiteral("2024-03 전체"),
                                QStringLiteral("item 2"), QStringLiteral("123-45-67890 한빛 청과 02-123-4567")})
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n" << text.toStdString();

    driver.fileAnswer.clear();
    EXPECT_FALSE(ExportCsv(subject, descr, items(1), twoColumns()));
    EXPECT_EQ(driver.lastDialogDirectory, dir.filePath(QStringLiteral("pdf")));
}

}  // namespace
