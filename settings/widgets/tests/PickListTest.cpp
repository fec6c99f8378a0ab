// The pick list with real keys and clicks, and the help window.
#include "sembrin/clsCodeInput.h"
#include "sembrin/fncHelp.h"
#include "sembrin/frmCodeInput.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace sembrin;
using ostrel::Variant;

namespace {

// Runs `act` on the pick list once it is up with the focus in its combo box.
void whenShown(std::function<void(frmCodeInput*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* f = qobject_cast<frmCodeInput*>(QApplication::activeModalWidget());
        if (!f || !f->isVisible() || !f->Combo1->lineEdit()->hasFocus()) return;
        poll->stop();
        poll->deleteLater();
        act(f);
    });
    poll->start(5);
}

struct Search : NextSearch {
    Variant answer = Variant::null();
    QStringList asked;
    Variant AfterF3(QString& text) override {
        asked << text;
        return answer;
    }
};

void fill(clsCodeInput& list) {
    list.setcombo1text(QStringLiteral("typed"));
    list.additem(QStringLiteral("v1"), QStringLiteral("001 first"));
    list.additem(QStringLiteral("v2"), QStringLiteral("002 second"));
}

}  // namespace

TEST(PickList, OkTakesTheChosenValueOrTheTypedText) {
    struct Case { const char* what; std::function<void(frmCodeInput*)> act; bool modified; const char* value; };
    const std::vector<Case> cases = {
        {"Enter on the typed text", [](frmCodeInput* f) { QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_Return); },
         true, "typed"},
        {"text typed over", [](frmCodeInput* f) {
             f->Combo1->lineEdit()->selectAll();
             QTest::keyClicks(f->Combo1->lineEdit(), "mine");
             QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_Return);
         }, true, "mine"},
        {"Down to the second title", [](frmCodeInput* f) {
             QTest::keyClick(f->Combo1, Qt::Key_Down);
             QTest::keyClick(f->Combo1, Qt::Key_Down);
             QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_Return);
         }, true, "v2"},
        {"chosen then typed over", [](frmCodeInput* f) {
             QTest::keyClick(f->Combo1, Qt::Key_Down);
             QTest::keyClicks(f->Combo1->lineEdit(), "x");
             QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_Return);
         }, true, "001 firstx"},
        {"double click", [](frmCodeInput* f) { QTest::mouseDClick(f->Combo1->lineEdit(), Qt::LeftButton); }, true,
         "typed"},
        {"확인", [](frmCodeInput* f) { f->Command1->click(); }, true, "typed"},
        // Cancel leaves the value of the last additem.
        {"Esc", [](frmCodeInput* f) { QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_Escape); }, false, "v2"},
        {"취소", [](frmCodeInput* f) { f->Command2->click(); }, false, "v2"},
        {"close box", [](frmCodeInput* f) { f->close(); }, false, "v2"},
    };
    for (const Case& c : cases) {
        clsCodeInput list;
        fill(list);
        EXPECT_EQ(list.ListCount(), 2);
        EXPECT_EQ(list.combo1text(), QStringLiteral("typed")) << c.what;
        whenShown(c.act);
        list.Show();
        EXPECT_EQ(list.modified(), c.modified) << c.what;
        EXPECT_EQ(list.ReturnValue(), QString::fromUtf8(c.value)) << c.what;
    }
    clsCodeInput list;
    fill(list);
    list.setListIndex(0);
    EXPECT_EQ(list.combo1text(), QStringLiteral("001 first"));
    whenShown([](frmCodeInput* f) { f->ok(); });
    list.Show();
    EXPECT_EQ(list.ReturnValue(), QStringLiteral("v1"));
    list.zap();
    EXPECT_EQ(list.ListCount(), 0);
}

TEST(PickList, NextSearchClosesOnlyWithAValue) {
    auto search = std::make_shared<Search>();
    clsCodeInput list;
    fill(list);
    list.setCaption(QStringLiteral("거래처"));
    list.setNextYj(search);
    bool enabled = false, stayed = false;
    whenShown([&](frmCodeInput* f) {
        enabled = f->Command3->isEnabled();
        EXPECT_EQ(f->windowTitle(), QStringLiteral("거래처"));
        QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_F3);  // null: stays open
        stayed = f->isVisible();
        search->answer = Variant(QStringLiteral("found"));
        f->Command3->click();
    });
    list.Show();
    EXPECT_TRUE(enabled && stayed);
    EXPECT_EQ(search->asked, (QStringList{"typed", "typed"}));
    EXPECT_TRUE(list.modified());
    EXPECT_EQ(list.ReturnValue(), QStringLiteral("found"));
    EXPECT_EQ(list.NextYj(), nullptr);  // closing lets go of it

    clsCodeInput plain;  // without a next search F3 does nothing and its button is off
    bool off = false;
    whenShown([&](frmCodeInput* f) {
        off = !f->Command3->isEnabled();
        EXPECT_EQ(f->windowTitle(), QStringLiteral("필드입력도우미"));
        QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_F3);
        EXPECT_TRUE(f->isVisible());
        f->cancel();
    });
    plain.Show();
    EXPECT_TRUE(off);
    EXPECT_FALSE(plain.modified());
}

TEST(HelpWindow, ShowsTheTextModelessFillsTheWindowAndClosesOnEsc) {
    fncHelp().ShowZepHelp(QStringLiteral("사용법"), QStringLiteral("F3: 찾기"));
    QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == QStringLiteral("frm도움말") && t->isVisible()) w = t;
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("사용법"));
    auto* text = w->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("F3: 찾기"));
    w->resize(700, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return text->size() == w->size(); }));
    QPointer<QWidget> alive(w);
    QTest::keyClick(text, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }));  // closed and gone
}
