#include "ostrel/RuntimeError.h"
#include "ostrel/clsWaitMessage.h"
#include "ostrel/fncCmnDlg.h"
#include "ostrel/fncInputText.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace ostrel;

namespace {
// Runs `act` on the modal window once it is up; the modal call under test blocks meanwhile.
void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(10);
}
}  // namespace

TEST(WaitMessage, LinesOpenNestAndStopAtTheLast) {
    clsWaitMessage wm;
    EXPECT_TRUE(wm.window()->isVisible());
    EXPECT_EQ(wm.window()->windowTitle(), QStringLiteral("처리상황알림"));
    wm.setMessage("a");
    wm.setMessage("b");
    wm.setMessage("c");
    EXPECT_EQ(wm.lineText(0), "c");
    wm.OpenNewLine();
    wm.setMessage("1");
    wm.OpenNewLine();
    wm.setMessage("2");
    wm.OpenNewLine();
    wm.setMessage("3");
    EXPECT_EQ(wm.currentLine(), 2);
    EXPECT_EQ(wm.lineText(1), "1");
    EXPECT_EQ(wm.lineText(2), "3");
    wm.CloseLine();
    EXPECT_EQ(wm.lineText(2), "");
    wm.CloseLine();
    wm.CloseLine();
    EXPECT_EQ(wm.currentLine(), -1);
    EXPECT_THROW(wm.CloseLine(), RuntimeError);
    wm.setCaption("테이블 구조 변경중");
    EXPECT_EQ(wm.window()->windowTitle(), QStringLiteral("테이블 구조 변경중"));
}

TEST(InputText, EnterConfirmsAndEscapeLeavesTheTextAlone) {
    QString text = QStringLiteral("옛 이름");
    whenModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("Text1");
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, "new");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_TRUE(fncInputText().InputText(text));
    EXPECT_EQ(text, "new");

    whenModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("Text1");
        QTest::keyClicks(edit, "zzz");
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    EXPECT_FALSE(fncInputText().InputText(text));
    EXPECT_EQ(text, "new");

    whenModal([](QWidget* w) { w->close(); });
    EXPECT_FALSE(fncInputText().InputText(text));
    EXPECT_EQ(text, "new");
}

TEST(CmnDlg, FilterPairsBecomeQtFilters) {
    EXPECT_EQ(fncCmnDlg::QtFilter("CSV 파일|*.csv|모든 파일|*.*"), QStringLiteral("CSV 파일 (*.csv);;모든 파일 (*.*)"));
    EXPECT_EQ(fncCmnDlg::QtFilter("Text|*.txt;*.log"), QStringLiteral("Text (*.txt *.log)"));
    EXPECT_EQ(fncCmnDlg::QtFilter(""), QString());
}

TEST(CmnDlg, CancelKeepsTheNameButFillsTheDesktopFolder) {
    qunsetenv("HOMEDRIVE");
    qputenv("HOMEPATH", "\\Users\\kim");
    QString name = QStringLiteral("keep.csv"), dir, filter = QStringLiteral("CSV|*.csv"), ext = QStringLiteral("csv");
    whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_FALSE(fncCmnDlg().DlgFileOpen(name, dir, filter, ext));
    EXPECT_EQ(name, "keep.csv");
    EXPECT_EQ(dir, QStringLiteral("\\Users\\kim\\바탕 화면"));
    qunsetenv("HOMEPATH");
}

TEST(CmnDlg, SaveReturnsTheFullPathWithTheDefaultExtension) {
    QTemporaryDir tmp;
    QString name, dir = tmp.path(), filter = QStringLiteral("CSV|*.csv"), ext = QStringLiteral("csv");
    whenModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, "report");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_TRUE(fncCmnDlg().DlgFileSave(name, dir, filter, ext));
    EXPECT_EQ(name, tmp.path() + "/report.csv");
}

// The open dialog takes a name that does not exist yet instead of refusing it and staying open.
TEST(CmnDlg, OpenTakesANameThatDoesNotExistYet) {
    QTemporaryDir tmp;
    QString name, dir = tmp.path(), filter = QStringLiteral("텍스트|*.txt"), ext;
    whenModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, "new.txt");
        QTest::keyClick(edit, Qt::Key_Return);
        // A dialog that refused the name would stay open: close it rather than wait for ever.
        QTimer::singleShot(3000, w, [w] { static_cast<QDialog*>(w)->reject(); });
    });
    EXPECT_TRUE(fncCmnDlg().DlgFileOpen(name, dir, filter, ext));
    EXPECT_EQ(name, tmp.path() + "/new.txt");
}
