// The pick list with real keys and clicks, and the help window.
#include "ModalDriver.h"
#include "sembrin/clsCodeInput.h"
#include "sembrin/fncHelp.h"
#include "sembrin/frmCodeInput.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace sembrin;
using ostrel::Variant;

namespace {

// Runs `act` on the pick list once it is up with the focus in its combo box.
void whenShown(vendra::test::ModalDriver& driver, std::function<void(frmCodeInput*)> act) {
    driver.onNextModal([act](QWidget* w) {
        auto* f = qobject_cast<frmCodeInput*>(w);
        ASSERT_TRUE(f && QTest::qWaitFor([f] { return f->Combo1->lineEdit()->hasFocus(); }));
        act(f);
    });
}

struct Search : NextSearch {
    Variant answer = Variant::null();
    QStringList asked;
    Variant AfterF3(QString& text) override { return asked << text, answer; }
};

void fill(clsCodeInput& list) {
    list.setcombo1text(QStringLiteral("typed"));
    list.additem(QStringLiteral("v1"), QStringLiteral("001 first"));
    list.additem(QStringLiteral("v2"), QStringLiteral("002 second"));
}

}  // namespace

TEST(PickList, OkTakesTheChosenValueOrTheTypedText) {
    vendra::test::ModalDriver driver;
    using F = frmCodeInput*;
    const auto edit = [](F f) { return f->Combo1->lineEdit(); };
    const auto enter = [&](F f) { QTest::keyClick(edit(f), Qt::Key_Return); };
    struct Case { const char* what; std::function<void(F)> act; bool modified; const char* value; int index = -1; };
    const std::vector<Case> cases = {
        {"Enter on the typed text", enter, true, "typed"},
        {"text typed over", [&](F f) { edit(f)->selectAll(), QTest::keyClicks(edit(f), "mine"), enter(f); }, true,
         "mine"},
        {"Down to the second title", [&](F f) {
             QTest::keyClick(f->Combo1, Qt::Key_Down), QTest::keyClick(f->Combo1, Qt::Key_Down), enter(f);
         }, true, "v2"},
        {"chosen then typed over", [&](F f) {
             QTest::keyClick(f->Combo1, Qt::Key_Down), QTest::keyClicks(edit(f), "x"), enter(f);
         }, true, "001 firstx"},
        {"double click", [&](F f) { QTest::mouseDClick(edit(f), Qt::LeftButton); }, true, "typed"},
        {"확인", [](F f) { f->Command1->click(); }, true, "typed"},
        // Cancel leaves the value of the last additem.
        {"Esc", [&](F f) { QTest::keyClick(edit(f), Qt::Key_Escape); }, false, "v2"},
        {"취소", [](F f) { f->Command2->click(); }, false, "v2"},
        {"close box", [](F f) { f->close(); }, false, "v2"},
        {"ok on the first chosen by index", [](F f) { f->ok(); }, true, "v1", 0},
    };
    for (const Case& c : cases) {
        clsCodeInput list;
        fill(list);
        if (c.index >= 0) list.setListIndex(c.index);
        EXPECT_EQ(list.combo1text(), c.index < 0 ? QStringLiteral("typed") : QStringLiteral("001 first")) << c.what;
        whenShown(driver, [&](F f) {
            // Without a next search F3 does nothing and its button is off.
            EXPECT_TRUE(!f->Command3->isEnabled() && f->windowTitle() == QStringLiteral("필드입력도우미"));
            QTest::keyClick(edit(f), Qt::Key_F3);
            c.act(f);
        });
        list.Show();
        EXPECT_EQ(list.modified(), c.modified) << c.what;
        EXPECT_EQ(list.ReturnValue(), QString::fromUtf8(c.value)) << c.what;
        list.zap();
        EXPECT_EQ(list.ListCount(), 0);
    }
}

TEST(PickList, NextSearchClosesOnlyWithAValue) {
    auto search = std::make_shared<Search>();
    clsCodeInput list;
    fill(list);
    list.setCaption(QStringLiteral("거래처"));
    list.setNextYj(search);
    // The pick list is modal: Show returns only once the callback has closed it.
    vendra::test::ModalDriver driver;
    whenShown(driver, [&](frmCodeInput* f) {
        EXPECT_TRUE(f->Command3->isEnabled() && f->windowTitle() == QStringLiteral("거래처"));
        QTest::keyClick(f->Combo1->lineEdit(), Qt::Key_F3);  // null: stays open
        EXPECT_TRUE(f->isVisible());
        search->answer = Variant(QStringLiteral("found"));
        f->Command3->click();
    });
    list.Show();
    EXPECT_EQ(search->asked, (QStringList{"typed", "typed"}));
    EXPECT_TRUE(list.modified() && list.ReturnValue() == QStringLiteral("found")) << list.ReturnValue().toStdString();
    EXPECT_EQ(list.NextYj(), nullptr);  // closing lets go of it
}

TEST(HelpWindow, ShowsTheTextModelessFillsTheWindowAndClosesOnEsc) {
    fncHelp().ShowZepHelp(QStringLiteral("사용법"), QStringLiteral("F3: 찾기"));
    QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == QStringLiteral("frm도움말") && t->isVisible()) w = t;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(!w->isModal() && w->windowTitle() == QStringLiteral("사용법"));
    auto* text = w->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    EXPECT_EQ(text->toPlainText(), QStringLiteral("F3: 찾기"));
    w->resize(700, 500);
    ASSERT_TRUE(QTest::qWaitFor([&] { return text->size() == w->size(); }));
    QPointer<QWidget> alive(w);
    QTest::keyClick(text, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }));  // closed and gone
}
