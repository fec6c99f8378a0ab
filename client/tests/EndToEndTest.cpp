// The client's windows against the real order server (and, for replies it never sends, a
// scripted peer), driven by keys under the offscreen platform.
#include "WaitFor.h"
#include "TestSupport.h"

#include "vendra/ButtonKeys.h"
#include "vendra/Notice.h"
#include "vendra/OrderServer.h"
#include "vendra/OrderSheet.h"
#include "vendra/Version.h"
#include "vendra/frmIDandPassword.h"
#include "vendra/frmMain.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"

#include "keplin/panBase.h"
#include "ostrel/DateTime.h"
#include "tessel/ab.h"
#include "tessel/button.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"
#include "vendra/order/Protocol.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace vendra;
using namespace testsupport;
using ostrel::Currency;
using ostrel::Date;
using ostrel::DateSerial;

namespace {
Currency C(double v) { return Currency::fromDouble(v); }

// Types the password into the login window and presses Enter in the receiver box.
void answerLogin(const QString& password) {
    whenModal([password](QWidget* w) {
        auto* login = qobject_cast<frmIDandPassword*>(w);
        if (!login) return;
        login->Text3->setText(password);
        QTest::keyClick(login->Text2, Qt::Key_Return);
    });
}

std::unique_ptr<frmMain> logIn(OrderServer& srv, const QString& orderer, const QString& receiver,
                               const QString& password, bool* ok) {
    auto m = std::make_unique<frmMain>(srv, QStringList{orderer, receiver});
    answerLogin(password);
    *ok = m->Load();
    if (*ok) m->show();
    return m;
}

// "발주입력" with `d` confirmed in the date panel; the order window once its sheet is there.
frmOrder* openOrder(frmMain& m, Date d) {
    whenModal([d](QWidget* w) {
        auto* pan = qobject_cast<keplin::panInd*>(w);
        if (!pan) return;
        pan->setdDate(d);
        QTest::keyClick(pan->button1(), Qt::Key_Return);
    });
    m.Command1->click();
    frmOrder* w = nullptr;
    const bool ready = QTest::qWaitFor([&] {
        w = m.orderWindow();
        return w && w->isVisible() && w->ab1->RecCount() > 0;
    }, 10000);
    return ready ? w : nullptr;
}

// Types `text` into field `fie` of the record shown in visible row `row`, then Enter.
void typeInto(frmOrder* w, int row, int fie, const char* text) {
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    tessel::invar* cell = w->ab1->invar1(row * w->ab1->displayedFields() + fie);
    cell->Text1()->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ab1->rec() == row + w->ab1->top() && w->ab1->fie() == fie; }, 2000));
    // keyClicks knows only ASCII; Hangul is sent as key events that carry their text.
    for (QChar ch : QString::fromUtf8(text)) {
        if (ch.unicode() < 128) QTest::keyClick(cell->Text1(), ch.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, cell->Text1(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(cell->Text1(), Qt::Key_Return);
    // A person's next click comes long after the grid has carried out the Enter.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ab1->nextkey() == 0; }, 2000));
}

int rowOf(frmOrder* w, const QString& name) {
    const ostrel::TableRef t = w->ab1->value();
    for (int i = 0; i < t->RecCount(); ++i)
        if (t->Cell(i, sheet::Name).toString() == name) return i;
    return -1;
}

QString dateText(Date d) {
    return QStringLiteral("%1-%2-%3").arg(ostrel::Year(d)).arg(ostrel::Month(d), 2, 10, QLatin1Char('0'))
        .arg(ostrel::Day(d), 2, 10, QLatin1Char('0'));
}

// The store every test of the suite shares: farm sells to shop (grade A).
class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new TestServer;
        server_->seedBasic();
        server_->prices(QStringLiteral("name,unit,grade,price,vat\n"
                                       "배추,포기,A,617,+\n"
                                       "사과,상자,A,1000,/\n"
                                       "대파,단,A,333,\n"
                                       "깐_마늘,kg,A,9000,\n"
                                       "양파,,A,500,\n"
                                       "배추,포기,B,700,+\n"));
        started_ = server_->start();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(started_) << "order server did not start"; }

    static TestServer* server_;
    static bool started_;
};
TestServer* EndToEnd::server_ = nullptr;
bool EndToEnd::started_ = false;
}  // namespace

TEST(Startup, ProposedDateTurnsAfterNineOClock) {
    const Date day = DateSerial(2024, 3, 5);
    auto at = [&](int h, int mi, int s) { return Date(day.serial + ostrel::TimeSerial(h, mi, s)); };
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(at(0, 0, 0)), day);
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(at(8, 59, 59)), day);
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(at(9, 0, 0)), day);
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(at(9, 0, 1)), DateSerial(2024, 3, 6));
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(at(23, 59, 59)), DateSerial(2024, 3, 6));
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(Date(DateSerial(2024, 12, 31).serial + 0.5)), DateSerial(2025, 1, 1));
}

TEST(Startup, NoticeTextRules) {
    EXPECT_EQ(CombineNotices(QStringLiteral("all"), QString()), QStringLiteral("all\r\n\r\n"));
    EXPECT_EQ(CombineNotices(QString(), QStringLiteral("grade")), QStringLiteral("grade"));
    EXPECT_EQ(CombineNotices(QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("a\r\n\r\nb"));
    EXPECT_EQ(CombineNotices(QString(), QString()), QString());
}

TEST(Login, CommandLineFillsTheIdsAndPlacesTheFocus) {
    {
        frmIDandPassword w({QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("extra")});
        w.show();
        WAIT_FOR(w.Text3->hasFocus());
        EXPECT_EQ(w.Text1->text(), QStringLiteral("shop"));
        EXPECT_EQ(w.Text2->text(), QStringLiteral("farm"));
        EXPECT_EQ(w.Text3->echoMode(), QLineEdit::Password);
        // Enter in the password box means nothing.
        QTest::keyClicks(w.Text3, "pw");
        EXPECT_EQ(w.Text3->displayText(), QStringLiteral("**"));
        QTest::keyClick(w.Text3, Qt::Key_Return);
        EXPECT_FALSE(w.confirmed());
        EXPECT_TRUE(w.isVisible());
        QTest::keyClick(w.Text1, Qt::Key_Return);  // Enter in an ID box presses "확인"
        EXPECT_TRUE(w.confirmed());
        EXPECT_EQ(w.OrdererCI(), QStringLiteral("shop"));
        EXPECT_EQ(w.ReceiverCI(), QStringLiteral("farm"));
        EXPECT_EQ(w.PassWord(), QStringLiteral("pw"));
    }
    {
        frmIDandPassword w({QStringLiteral("shop")});
        w.show();
        WAIT_FOR(w.Text2->hasFocus());
        EXPECT_TRUE(w.Text2->text().isEmpty());
        EXPECT_TRUE(w.OrdererCI().isEmpty());  // nothing before "확인"
    }
    {
        frmIDandPassword w({});
        w.show();
        WAIT_FOR(w.Text1->hasFocus());
    }
}

TEST(Login, TabThenEnterPressesOk) {
    EnterPressesButtons filter;
    qApp->installEventFilter(&filter);
    frmIDandPassword w({QStringLiteral("shop"), QStringLiteral("farm")});
    w.show();
    WAIT_FOR(w.Text3->hasFocus());
    QTest::keyClicks(w.Text3, "pw");
    QTest::keyClick(w.Text3, Qt::Key_Tab);
    WAIT_FOR(w.Command1->hasFocus());
    QTest::keyClick(w.Command1, Qt::Key_Return);
    EXPECT_TRUE(w.confirmed());
    EXPECT_EQ(w.PassWord(), QStringLiteral("pw"));
    qApp->removeEventFilter(&filter);
}

TEST(Startup, TabLeavesTheNoticeTextForItsButton) {
    Notice n;
    n.setText(QStringLiteral("공지"));
    n.show();
    n.Text1->setFocus();
    WAIT_FOR(n.Text1->hasFocus());
    QTest::keyClick(n.Text1, Qt::Key_Tab);
    WAIT_FOR(n.Command1->hasFocus());
    EXPECT_EQ(n.Text1->toPlainText(), QStringLiteral("공지"));
}

TEST(Login, ClosingTheLoginWindowSendsNothingAndEnds) {
    ScriptedPeer peer;
    OrderServer srv(peer.url());
    frmMain m(srv, {QStringLiteral("shop")});
    whenModal([](QWidget* w) { w->close(); });
    EXPECT_FALSE(m.Load());
    EXPECT_TRUE(peer.received("/order_ctos_xml/login.php").empty());
}

TEST(Login, UnreachableServerIsNamed) {
    const QString url = QStringLiteral("http://127.0.0.1:%1").arg(closedPort());
    OrderServer srv(url);
    MessageBoxes boxes;
    bool ok = true;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw"), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains(url)) << boxes.texts()[0].toStdString();
}

TEST(Login, MalformedReplyIsReportedNotFatal) {
    ScriptedPeer peer;
    peer.on("/order_ctos_xml/login.php", {200, "</success><success>1</success>"});
    OrderServer srv(peer.url());
    MessageBoxes boxes;
    bool ok = true;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw"), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("주문 서버의 응답을 읽을 수 없습니다.")));
}

TEST_F(EndToEnd, LoginFillsTheCellsOrShowsTheRefusal) {
    OrderServer srv(server_->url());
    MessageBoxes boxes;
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(m->windowTitle(), QStringLiteral("Vendra - 1310.29"));
    EXPECT_EQ(m->OrdererCI(), QStringLiteral("shop"));
    EXPECT_EQ(m->OrdererDgr(), QStringLiteral("A"));
    EXPECT_EQ(m->ReceiverCI(), QStringLiteral("farm"));
    EXPECT_EQ(boxes.count(), 0);  // same version, no login notice
    m->Command6->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("공사중"));

    boxes.clear();
    // An unknown orderer (a wrong password would slow the next logins of "shop" down).
    auto refused = logIn(srv, QStringLiteral("nobody"), QStringLiteral("farm"), QStringLiteral("wrong"), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_FALSE(boxes.texts()[0].isEmpty());
    EXPECT_TRUE(refused->OrdererCI().isEmpty());
}

TEST(LoginMessages, NewerVersionAndLoginNoticeComeBeforeTheNoticeWindow) {
    TestServer s;
    s.seedBasic();
    s.admin({QStringLiteral("notice"), QStringLiteral("set"), QStringLiteral("farm"), QStringLiteral("*"),
             QStringLiteral("전체 공지")});
    ASSERT_TRUE(s.start({QStringLiteral("--version-text"), QStringLiteral("Vendra - 1311.01"),
                         QStringLiteral("--login-notice"), QStringLiteral("오늘은 점검일입니다")}));
    OrderServer srv(s.url());
    MessageBoxes boxes;
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("새 버전이 나왔습니다.Vendra - 1311.01 으로 업그레이드 하십시오."));
    EXPECT_EQ(boxes.texts()[1], QStringLiteral("오늘은 점검일입니다"));
    EXPECT_EQ(m->notice(), nullptr);
    m->ShowNotices();
    ASSERT_NE(m->notice(), nullptr);
    EXPECT_EQ(m->notice()->text(), QStringLiteral("전체 공지\r\n\r\n"));
}

TEST_F(EndToEnd, NoticeWindowShowsBothOneOrNone) {
    OrderServer srv(server_->url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    auto notice = [&](const char* grade, const QString& text) {
        server_->admin({QStringLiteral("notice"), QStringLiteral("set"), QStringLiteral("farm"),
                        QString::fromLatin1(grade), text});
    };
    auto shown = [&]() -> QString {
        if (m->notice()) m->notice()->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m->notice() == nullptr; }));  // the closed window goes
        m->ShowNotices();
        if (!m->notice()) return QStringLiteral("<none>");
        EXPECT_TRUE(m->notice()->isVisible());
        EXPECT_EQ(m->notice()->windowTitle(), QStringLiteral("공지사항"));
        EXPECT_EQ(m->notice()->pos().y(), m->frameGeometry().top());
        EXPECT_GT(m->notice()->pos().x(), m->frameGeometry().right());
        return m->notice()->text();
    };
    EXPECT_EQ(shown(), QStringLiteral("<none>"));
    notice("*", QStringLiteral("모두에게"));
    EXPECT_EQ(shown(), QStringLiteral("모두에게\r\n\r\n"));
    notice("A", QStringLiteral("A 등급에게"));
    EXPECT_EQ(shown(), QStringLiteral("모두에게\r\n\r\nA 등급에게"));
    EXPECT_EQ(m->notice()->Text1->toPlainText(), QStringLiteral("모두에게\n\nA 등급에게"));
    notice("*", QString());
    EXPECT_EQ(shown(), QStringLiteral("A 등급에게"));
    notice("A", QString());
    EXPECT_EQ(shown(), QStringLiteral("<none>"));
}

TEST_F(EndToEnd, SheetTotalsSendingAndTheStoredOrder) {
    OrderServer srv(server_->url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    MessageBoxes boxes;
    const Date d = DateSerial(2030, 1, 10);

    // No display list: every offered product of the grade, in price-list order.
    frmOrder* w = openOrder(*m, d);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ab1->RecCount(), 5);
    EXPECT_EQ(w->ab1->Cell(3, sheet::Name).toString(), QStringLiteral("깐_마늘"));
    EXPECT_EQ(w->ab1->Cell(3, sheet::Unit).toString(), QStringLiteral("kg"));
    EXPECT_EQ(w->ab1->Cell(4, sheet::Unit).toString(), QString());
    EXPECT_EQ(w->outDeliverDate->value().toDate(), d);
    EXPECT_EQ(w->outOrdererCI->value().toString(), QStringLiteral("shop"));
    EXPECT_EQ(w->pos(), m->besidePosition());

    typeInto(w, rowOf(w, QStringLiteral("대파")), sheet::Quantity, "1.5");
    WAIT_EQ(w->ab1->Cell(2, sheet::Amount).toCurrency(), C(499));
    EXPECT_EQ(w->outNsum->value().toCurrency(), C(1.5));
    EXPECT_EQ(w->outGsum->value().toCurrency(), C(499));
    EXPECT_EQ(w->outLsum->value().toLong(), 5);
    typeInto(w, 0, sheet::Quantity, "2");  // 배추 617 "+": amount 1234
    WAIT_EQ(w->outGsum->value().toCurrency(), C(1733));
    typeInto(w, 1, sheet::Quantity, "1");  // 사과 1000 "/"
    WAIT_EQ(w->outNsum->value().toCurrency(), C(4.5));
    typeInto(w, 1, sheet::Remark, "빨리");
    WAIT_EQ(w->ab1->Cell(1, sheet::Remark).toString(), QStringLiteral("빨리"));
    w->inMsg->setValue(QStringLiteral("내일 아침 배송"));
    boxes.clear();
    w->Command1->click();
    WAIT_FOR(w->isClosed());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("발주 완료"));

    OrdersLoad stored = mdlLoad::LoadOrders(srv, d, QStringLiteral("shop"), QStringLiteral("farm"));
    ASSERT_TRUE(stored.answered);
    EXPECT_FALSE(stored.received);
    ASSERT_EQ(stored.table->RecCount(), 4);  // three lines and the message
    std::map<QString, std::vector<Currency>> byKey;
    QString message;
    for (int i = 0; i < 4; ++i) {
        const QString k = stored.table->Cell(i, 0).toString();
        if (k.isEmpty()) message = stored.table->Cell(i, 7).toString();
        else byKey[k] = {stored.table->Cell(i, 1).toCurrency(), stored.table->Cell(i, 4).toCurrency(),
                         stored.table->Cell(i, 5).toCurrency(), stored.table->Cell(i, 6).toCurrency()};
    }
    EXPECT_EQ(message, QStringLiteral("내일 아침 배송"));
    EXPECT_EQ(byKey[QStringLiteral("배추_포기")], (std::vector<Currency>{C(2), C(1234), C(123), C(1357)}));
    EXPECT_EQ(byKey[QStringLiteral("사과_상자")], (std::vector<Currency>{C(1), C(909), C(91), C(1000)}));
    EXPECT_EQ(byKey[QStringLiteral("대파_단")], (std::vector<Currency>{C(1.5), C(499), C(0), C(499)}));

    // The display list narrows the sheet; the stored order is merged back in, with a product that
    // is no longer shown getting a row of its own.
    QString reply;
    ASSERT_TRUE(srv.web().SendPost(srv.url("/order_ctos_xml/display_update.php"),
                                   QStringLiteral("OrdererCI=shop&ReceiverCI=farm&RecCount=2&Product_0=%BB%E7%B0%FA%5F%BB%F3%C0%DA"
                                                  "&Product_1=%BE%E7%C6%C4"),
                                   reply));
    ASSERT_TRUE(reply.contains(QStringLiteral("<success>1</success>"))) << reply.toStdString();
    w = openOrder(*m, d);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->ab1->RecCount(), 4);
    EXPECT_EQ(w->ab1->Cell(0, sheet::Name).toString(), QStringLiteral("사과"));
    EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(1));
    EXPECT_EQ(w->ab1->Cell(0, sheet::Remark).toString(), QStringLiteral("빨리"));
    EXPECT_EQ(w->ab1->Cell(1, sheet::Name).toString(), QStringLiteral("양파"));
    EXPECT_EQ(w->ab1->Cell(2, sheet::Name).toString(), QStringLiteral("배추"));  // stored, not shown
    EXPECT_TRUE(w->ab1->Cell(2, sheet::Price).isEmpty());
    EXPECT_EQ(w->inMsg->value().toString(), QStringLiteral("내일 아침 배송"));
    // Totals follow the loaded sheet.
    EXPECT_EQ(w->outNsum->value().toCurrency(), C(4.5));

    // A second "발주입력" reuses the one window; a date without an order has no message.
    frmOrder* again = openOrder(*m, DateSerial(2030, 1, 11));
    EXPECT_EQ(again, w);
    WAIT_FOR(w->inMsg->value().isEmpty());
    EXPECT_EQ(w->outDeliverDate->value().toDate(), DateSerial(2030, 1, 11));
    w->Command2->click();
    WAIT_FOR(w->isClosed());
    // Clear the display list again for the other tests.
    srv.web().SendPost(srv.url("/order_ctos_xml/display_update.php"),
                       QStringLiteral("OrdererCI=shop&ReceiverCI=farm&RecCount=0"), reply);
}

TEST_F(EndToEnd, AcceptedOrderLocksOnActivationAndBeforeSending) {
    OrderServer srv(server_->url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    MessageBoxes boxes;
    const QString kLocked = LockedOrderMessage();
    const Date d = DateSerial(2030, 2, 1);
    frmOrder* w = openOrder(*m, d);
    ASSERT_NE(w, nullptr);
    typeInto(w, 0, sheet::Quantity, "3");
    WAIT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(3));
    w->Command1->click();
    WAIT_FOR(w->isClosed());

    // Opened again, then accepted by the receiver while the user types: nothing is sent.
    w = openOrder(*m, d);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(server_->admin({QStringLiteral("orders"), QStringLiteral("accept"), QStringLiteral("farm"),
                              QStringLiteral("shop"), dateText(d)}),
              0);
    typeInto(w, 0, sheet::Quantity, "7");  // typing replaces the stored 3
    WAIT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(7));
    boxes.clear();
    w->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], kLocked);
    EXPECT_FALSE(w->isClosed());
    EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(7));
    OrdersLoad stored = mdlLoad::LoadOrders(srv, d, QStringLiteral("shop"), QStringLiteral("farm"));
    EXPECT_TRUE(stored.received);
    EXPECT_EQ(stored.table->Cell(0, 1).toCurrency(), C(3));
    w->Command2->click();
    WAIT_FOR(w->isClosed());

    // Opening an accepted date: the message, and the window goes.
    boxes.clear();
    whenModal([d](QWidget* p) {
        auto* pan = qobject_cast<keplin::panInd*>(p);
        if (!pan) return;
        pan->setdDate(d);
        QTest::keyClick(pan->button1(), Qt::Key_Return);
    });
    m->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], kLocked);
    WAIT_FOR(!m->orderWindow() || m->orderWindow()->isClosed());
}

TEST(SendFailure, UnreachableServerKeepsTheOrderWindowAndWhatWasTyped) {
    TestServer s;
    s.seedBasic();
    s.prices(QStringLiteral("대파,단,A,333,\n배추,포기,A,617,+\n"));
    ASSERT_TRUE(s.start());
    OrderServer srv(s.url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("pw1234"), &ok);
    ASSERT_TRUE(ok);
    MessageBoxes boxes;
    frmOrder* w = openOrder(*m, DateSerial(2030, 3, 1));
    ASSERT_NE(w, nullptr);
    typeInto(w, 0, sheet::Quantity, "4");
    WAIT_EQ(w->ab1->Cell(0, sheet::Amount).toCurrency(), C(1332));
    w->inMsg->setValue(QStringLiteral("메시지"));
    s.stop();
    w->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains(s.url()));
    EXPECT_NE(boxes.texts()[0], QStringLiteral("발주 완료"));
    EXPECT_FALSE(w->isClosed());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(4));
    EXPECT_EQ(w->inMsg->value().toString(), QStringLiteral("메시지"));

    // With the server gone, "발주입력" shows why and opens no empty sheet that could wipe the order.
    w->Command2->click();
    WAIT_FOR(w->isClosed());
    boxes.clear();
    whenModal([](QWidget* p) {
        if (auto* pan = qobject_cast<keplin::panInd*>(p)) QTest::keyClick(pan->button1(), Qt::Key_Return);
    });
    m->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains(s.url()));
    WAIT_FOR(!m->orderWindow() || m->orderWindow()->isClosed());
}

namespace {
// A peer with a login, a price list of `products` items and an empty stored order.
void scriptStore(ScriptedPeer& peer, int products) {
    peer.on("/order_ctos_xml/login.php", {200, "<success>1</success><dgr>A</dgr>"});
    peer.on("/receiver_ctos/notice_select.php", {200, "<notice></notice>"});
    std::string rows;
    const char* flags[] = {"+", "/", ""};
    const int prices[] = {617, 1000, 500};
    for (int i = 0; i < products; ++i)
        rows += "<TR><TD>\"p" + std::to_string(i) + "_box\"</TD><TD>" + std::to_string(prices[i % 3]) +
                "</TD><TD>\"" + flags[i % 3] + "\"</TD></TR>\r\n";
    peer.on("/order_ctos_xml/unitprices_select.php", {200, "<JARRAY>\r\n<NOF>3</NOF>\r\n" + rows + "</JARRAY>"});
    peer.on("/order_ctos_xml/display_select.php", {200, "<JARRAY><NOF>1</NOF></JARRAY>"});
    peer.on("/order_ctos_xml/orders_select.php", {200, "<received>0</received><JARRAY><NOF>8</NOF></JARRAY>"});
}
}  // namespace

TEST(ScriptedPeerSave, ExactBodyAndWhatCountsAsConfirmed) {
    ScriptedPeer peer;
    scriptStore(peer, 30);
    peer.on("/order_ctos_xml/orders_update.php", {409, "<success>0</success><failmsg>잠긴 발주입니다</failmsg>"});
    OrderServer srv(peer.url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("x"), &ok);
    ASSERT_TRUE(ok);
    MessageBoxes boxes;
    frmOrder* w = openOrder(*m, DateSerial(2030, 4, 5));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->ab1->RecCount(), 30);

    // The wheel scrolls four records a notch.
    QWidget* over = w->ab1->invar1(0)->Text1();
    QWheelEvent down(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &down);
    EXPECT_EQ(w->ab1->top(), 4);
    QWheelEvent up(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &up);
    EXPECT_EQ(w->ab1->top(), 0);

    typeInto(w, 0, sheet::Quantity, "2");  // p0 617 "+"  -> 1234
    typeInto(w, 1, sheet::Quantity, "1");  // p1 1000 "/" -> 909 / 91
    typeInto(w, 2, sheet::Quantity, "1");  // p2 500 tax-free
    WAIT_EQ(w->outGsum->value().toCurrency(), C(2734));
    w->inMsg->setValue(QStringLiteral("a b"));

    // Refused by the server: its reason, the window and everything typed stay.
    w->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("잠긴 발주입니다")));
    EXPECT_FALSE(w->isClosed());
    EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(2));

    const auto bodies = peer.received("/order_ctos_xml/orders_update.php");
    ASSERT_EQ(bodies.size(), 1u);
    QString body = QString::fromStdString(bodies[0]);
    const auto stamp = QRegularExpression(QStringLiteral("&RequestTime=(\\d{16})&")).match(body);
    ASSERT_TRUE(stamp.hasMatch()) << bodies[0];
    body.replace(stamp.captured(1), QStringLiteral("T"));
    EXPECT_EQ(body, QStringLiteral("DeliverDate=2030%2D04%2D05&OrdererCI=shop&ReceiverCI=farm&RecCount=4&RequestTime=T"
                                   "&Product_0=p0%5Fbox&Quantity_0=2&Dg_0=617&Vat_0=%2B&Gg_0=1234&Gv_0=123&Gt_0=1357&Remark_0="
                                   "&Product_1=p1%5Fbox&Quantity_1=1&Dg_1=1000&Vat_1=%2F&Gg_1=909&Gv_1=91&Gt_1=1000&Remark_1="
                                   "&Product_2=p2%5Fbox&Quantity_2=1&Dg_2=500&Vat_2=&Gg_2=500&Gv_2=0&Gt_2=500&Remark_2="
                                   "&Product_3=&Quantity_3=0&Dg_3=0&Vat_3=&Gg_3=0&Gv_3=0&Gt_3=0&Remark_3=a%20b"));

    // A peer that sends no success tag: a reply counts as confirmed.
    peer.on("/order_ctos_xml/orders_update.php", {200, "OK"});
    boxes.clear();
    w->Command1->click();
    WAIT_FOR(w->isClosed());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("발주 완료"));
}

TEST(ScriptedPeerSave, UnreadableListsLeaveTheMainWindowUsable) {
    ScriptedPeer peer;
    scriptStore(peer, 3);
    // A row with more cells than NOF cannot be read.
    peer.on("/order_ctos_xml/unitprices_select.php",
            {200, "<JARRAY><NOF>2</NOF><TR><TD>1</TD><TD>2</TD><TD>3</TD></TR></JARRAY>"});
    OrderServer srv(peer.url());
    bool ok = false;
    auto m = logIn(srv, QStringLiteral("shop"), QStringLiteral("farm"), QStringLiteral("x"), &ok);
    ASSERT_TRUE(ok);
    MessageBoxes boxes;
    whenModal([](QWidget* p) {
        if (auto* pan = qobject_cast<keplin::panInd*>(p)) QTest::keyClick(pan->button1(), Qt::Key_Return);
    });
    m->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("주문 서버의 응답을 읽을 수 없습니다.")));
    WAIT_FOR(!m->orderWindow() || m->orderWindow()->isClosed());
    // A refused list is not taken for an empty one either.
    peer.on("/order_ctos_xml/unitprices_select.php", {403, "<success>0</success><failmsg>로그인이 필요합니다</failmsg>"});
    boxes.clear();
    whenModal([](QWidget* p) {
        if (auto* pan = qobject_cast<keplin::panInd*>(p)) QTest::keyClick(pan->button1(), Qt::Key_Return);
    });
    m->Command1->click();
    WAIT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("로그인이 필요합니다"));
    m->Command6->click();  // still answers
    WAIT_EQ(boxes.count(), 2);
}
