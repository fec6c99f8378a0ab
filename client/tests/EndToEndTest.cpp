// The client's windows, driven by keys, against the real order server or a scripted peer.
#include "TestSupport.h"
#include "WaitFor.h"

#include "vendra/ButtonKeys.h"
#include "vendra/Notice.h"
#include "vendra/Reports.h"
#include "vendra/OrderSheet.h"
#include "vendra/Startup.h"
#include "vendra/frmIDandPassword.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"

#include "ostrel/fncDate.h"
#include "tavrin/frmOuthand.h"
#include "tessel/ab.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"
#include "vendra/order/Protocol.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTextEdit>
#include <httplib.h>
#include <map>
#include <optional>
#include <signal.h>

using namespace vendra;
using namespace vendra::test;
using ostrel::Date;
using ostrel::DateSerial;

namespace {
// "발주입력" with `d` confirmed in the date panel; the order window once its sheet is there.
frmOrder* openOrder(ModalDriver& driver, frmMain& m, Date d) {
    answerDates(driver, d);
    m.Command1->click();
    frmOrder* w = nullptr;
    const bool ready = QTest::qWaitFor([&] {
        w = m.orderWindow();
        return w && w->isVisible() && w->ab1->RecCount() > 0;
    }, 10000);
    return ready ? w : nullptr;
}

using Typed = std::tuple<int, int, const char*>;
// Types `text` into field `fie` of the record shown in visible row `row`, then Enter.
void typeInto(frmOrder* w, int row, int fie, const char* text) {
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    tessel::invar* cell = w->ab1->invar1(row * w->ab1->displayedFields() + fie);
    cell->Text1()->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ab1->rec() == row + w->ab1->top() && w->ab1->fie() == fie; }, 2000));
    // To the focus, as typed. keyClicks knows only ASCII; Hangul is sent as key events that carry their text.
    for (QChar ch : QString::fromUtf8(text)) {
        QWidget* at = QApplication::focusWidget();
        if (ch.unicode() < 128) QTest::keyClick(at, ch.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, at, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // A person's next click comes long after the grid has carried out the Enter.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ab1->nextkey() == 0; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->ab1->Cell(row + w->ab1->top(), fie).isEmpty(); }, 2000));
}

// A peer with a login, `products` prices and no stored order; 100 of the fourth are beyond the currency.
void scriptStore(ScriptedPeer& peer, int products) {
    peer.on(path::Login, {200, "<success>1</success><dgr>A</dgr>"});
    std::string rows;
    const char* flags[] = {"+", "/", ""};
    const int prices[] = {617, 1000, 500};
    for (int i = 0; i < products; ++i)
        rows += "<TR><TD>\"배" + std::to_string(i) + "_box\"</TD><TD>" +
                (i == 3 ? std::string("10000000000000") : std::to_string(prices[i % 3])) + "</TD><TD>\"" +
                flags[i % 3] + "\"</TD></TR>\r\n";
    peer.on(path::UnitPricesSelect, {200, "<JARRAY>\r\n<NOF>3</NOF>\r\n" + rows + "</JARRAY>"});
    peer.on(path::DisplaySelect, {200, "<JARRAY><NOF>1</NOF></JARRAY>"});
    peer.on(path::OrdersSelect, {200, "<received>0</received><JARRAY><NOF>8</NOF></JARRAY>"});
}

const std::string kRefusal = "<success>0</success><failmsg>로그인이 필요합니다</failmsg>";
const std::string kUnreadable = "</success><success>1</success>";
const QString kUnreadableText = "주문 서버의 응답을 읽을 수 없습니다.";
}  // namespace

TEST(Startup, ProposedDateNoticesPlacementAndCommandLine) {
    const Date day = DateSerial(2024, 3, 5), next = DateSerial(2024, 3, 6);
    // The exact time of day: 09:00:00.6 is past nine.
    const std::vector<std::pair<double, Date>> times = {
        {0, day}, {ostrel::TimeSerial(8, 59, 59), day}, {ostrel::TimeSerial(9, 0, 0), day},
        {ostrel::TimeSerial(9, 0, 0) + 0.6 / 86400, next}, {ostrel::TimeSerial(9, 0, 1), next},
        {ostrel::TimeSerial(23, 59, 59) + 0.7 / 86400, next}};
    for (const auto& [time, want] : times) EXPECT_EQ(mdlOrder::ProposedDeliveryDate(Date(day.serial + time)), want);
    EXPECT_EQ(mdlOrder::ProposedDeliveryDate(Date(DateSerial(2024, 12, 31).serial + 0.5)), DateSerial(2025, 1, 1));

    EXPECT_EQ(QStringList({CombineNotices("all", ""), CombineNotices("", "grade"), CombineNotices("a", "b"),
                           CombineNotices("", "")}),
              QStringList({"all\r\n\r\n", "grade", "a\r\n\r\nb", ""}));

    // Beside the main window, kept wholly on a 1280x900 screen whose top 30 pixels are a panel.
    const QRect screen(0, 30, 1280, 870);
    for (const auto& [at, size, want] : std::vector<std::tuple<QPoint, QSize, QPoint>>{
             {{500, 40}, {739, 652}, {500, 40}},  {{799, 40}, {739, 652}, {541, 40}},
             {{799, 400}, {739, 652}, {541, 248}}, {{-20, 0}, {300, 300}, {0, 30}},
             {{900, 40}, {1400, 1000}, {0, 30}}})
        EXPECT_EQ(KeepOnScreen(at, size, screen), want);

    for (const auto& [args, server, words, valid] : std::vector<std::tuple<QStringList, QString, QString, bool>>{
             {{"shop", "farm"}, "", "shop|farm", true},
             {{"--server", "http://h:1", "shop"}, "http://h:1", "shop", true},
             {{"--server=http://h:2", " shop  farm "}, "http://h:2", "shop|farm", true},
             {{"shop", "--server"}, "", "", false}}) {
        const CommandLine cl = ParseCommandLine(args);
        EXPECT_EQ(QStringList({cl.server, cl.words.join('|'), QString::number(cl.valid)}),
                  QStringList({server, words, QString::number(valid)}));
    }
    EXPECT_EQ(ServerLink::chooseBaseUrl("http://a:1"), "http://a:1");
    qputenv("VENDRA_SERVER", "http://env:2");
    EXPECT_EQ(ServerLink::chooseBaseUrl(""), "http://env:2");
    qunsetenv("VENDRA_SERVER");
    EXPECT_EQ(ServerLink::chooseBaseUrl(""), "http://127.0.0.1:8080");
    EXPECT_EQ(ServerLink("http://h:3//").url("/x"), "http://h:3/x");
}

TEST(Login, CommandLineFillsTheIdsKeysLogInClosingSendsNothingAndNoticesShow) {
    EnterPressesButtons filter;
    qApp->installEventFilter(&filter);
    for (const auto& [words, focused] : std::vector<std::pair<QStringList, int>>{
             {{}, 0}, {{"shop"}, 1}, {{"shop", "farm", "extra"}, 2}}) {
        frmIDandPassword w(words);
        w.show();
        QLineEdit* boxes[] = {w.Text1, w.Text2, w.Text3};
        WAIT_FOR(boxes[focused]->hasFocus());
        EXPECT_EQ(QStringList({w.Text1->text(), w.Text2->text()}), QStringList({words.value(0), words.value(1)}));
        if (focused < 2) continue;
        // Enter in the password box is nothing; Tab, then Enter on "확인" logs in.
        QTest::keyClicks(w.Text3, "pw");
        EXPECT_EQ(w.Text3->displayText(), "**");
        QTest::keyClick(w.Text3, Qt::Key_Return);
        EXPECT_TRUE(!w.confirmed() && w.OrdererCI().isEmpty());  // nothing before "확인"
        QTest::keyClick(w.Text3, Qt::Key_Tab);
        WAIT_FOR(w.Command1->hasFocus());
        QTest::keyClick(w.Command1, Qt::Key_Return);
        EXPECT_TRUE(w.confirmed());
        EXPECT_EQ(QStringList({w.OrdererCI(), w.ReceiverCI(), w.PassWord()}), QStringList({"shop", "farm", "pw"}));
    }
    qApp->removeEventFilter(&filter);

    // Closing the login window sends nothing; a newer version and the login notice are shown.
    ScriptedPeer peer;
    peer.on(path::Login, {200, "<success>1</success><dgr>A</dgr><version>Vendra - 1311.01</version>"
                               "<notice>오늘은 점검일입니다</notice>"});
    ServerLink link(peer.url());
    ModalDriver boxes;
    frmMain m(link, {"shop"});
    boxes.onNextModal([](QWidget* w) { w->close(); });
    EXPECT_FALSE(m.Load());
    EXPECT_TRUE(peer.received(path::Login).empty());

    ASSERT_TRUE(logIn(boxes, link));
    EXPECT_EQ(boxes.messages, QStringList({"새 버전이 나왔습니다.Vendra - 1311.01 으로 업그레이드 하십시오.",
                                           "오늘은 점검일입니다"}));
}

TEST_F(LoggedIn, NoticesSheetSendingStoredOrderAndAcceptance) {
    EXPECT_EQ(m->windowTitle(), "Vendra - 1310.29");
    EXPECT_EQ(QStringList({m->OrdererCI(), m->OrdererDgr(), m->ReceiverCI()}), QStringList({"shop", "A", "farm"}));
    EXPECT_TRUE(boxes.messages.isEmpty());  // same version, no login notice
    EXPECT_EQ(press(boxes, m->Command6), QStringList{"공사중"});

    m->ShowNotices();
    EXPECT_EQ(m->notice(), nullptr);
    admin({"notice", "set", "farm", "*", "모두에게"});
    admin({"notice", "set", "farm", "A", "A 등급에게"});
    m->ShowNotices();
    Notice* n = m->notice();
    ASSERT_NE(n, nullptr);
    EXPECT_TRUE(n->isVisible() && n->windowTitle() == "공지사항");
    EXPECT_EQ(n->pos(), m->besidePosition(n->size()));
    n->Text1->setFocus();
    WAIT_FOR(n->Text1->hasFocus());
    QTest::keyClick(n->Text1, 'x');  // read, not edited
    EXPECT_EQ(n->Text1->toPlainText(), "모두에게\n\nA 등급에게");
    QTest::keyClick(n->Text1, Qt::Key_Tab);  // leaves the text for the button
    WAIT_FOR(n->Command1->hasFocus());
    QTest::keyClick(n->Command1, Qt::Key_Escape);  // Esc is "확인"
    WAIT_FOR(m->notice() == nullptr);  // the closed window goes

    // No display list: every offered product of the grade, in price-list order.
    const Date d = DateSerial(2030, 1, 10);
    frmOrder* w = openOrder(boxes, *m, d);
    ASSERT_TRUE(w && w->ab1->RecCount() == 5);
    EXPECT_EQ(QStringList({w->ab1->Cell(3, sheet::Name).toString(), w->ab1->Cell(3, sheet::Unit).toString(),
                           w->ab1->Cell(4, sheet::Unit).toString(), w->outOrdererCI->value().toString()}),
              QStringList({"깐_마늘", "kg", "", "shop"}));
    EXPECT_EQ(w->outDeliverDate->value().toDate(), d);
    EXPECT_EQ(w->pos(), m->besidePosition(w->size()));
    EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry())) << w->frameGeometry().x();

    // 대파 333 x 1.5: 499; 배추 617 "+": 1234 (typed on the locked name: the quantity takes it); 사과 1000 "/".
    for (const auto& [row, fie, text] : std::vector<Typed>{{2, sheet::Quantity, "1.5"}, {0, sheet::Name, "2"},
                                                           {1, sheet::Quantity, "1"}, {1, sheet::Remark, "빨리"}})
        typeInto(w, row, fie, text);
    WAIT_EQ(w->outGsum->value().toCurrency(), C(2733));
    EXPECT_TRUE(w->outNsum->value().toCurrency() == C(4.5) && w->outLsum->value().toLong() == 5);
    // Esc in the grid goes to "확인"; Tab on along the window's order to the message.
    QTest::keyClick(w->ab1->invar1(1 * w->ab1->displayedFields() + sheet::Remark)->Text1(), Qt::Key_Escape);
    WAIT_FOR(w->Command1->hasFocus());
    QTest::keyClick(w->Command1, Qt::Key_Tab);
    WAIT_FOR(w->Command2->hasFocus());
    QTest::keyClick(w->Command2, Qt::Key_Tab);
    WAIT_FOR(w->inMsg->Text1()->hasFocus());
    w->inMsg->setValue("내일 아침 배송");
    EXPECT_EQ(press(boxes, w->Command1), QStringList{"발주 완료"});  // sent: nothing to ask
    WAIT_FOR(w->isClosed());

    const OrdersLoad stored = mdlLoad::LoadOrders(link, d, "shop", "farm");
    ASSERT_TRUE(stored.problem.isEmpty()) << stored.problem.toStdString();
    EXPECT_FALSE(stored.received);
    // Quantity, supply, tax, amount and remark by key; the message is the line without one.
    std::map<QString, Row> byKey;
    for (int i = 0; i < stored.table->RecCount(); ++i)
        for (int j : {1, 4, 5, 6, 7}) byKey[stored.table->Cell(i, 0).toString()] << stored.table->Cell(i, j);
    EXPECT_EQ(byKey, (std::map<QString, Row>{{"배추_포기", {C(2), C(1234), C(123), C(1357), ""}},
                                             {"사과_상자", {C(1), C(909), C(91), C(1000), "빨리"}},
                                             {"대파_단", {C(1.5), C(499), C(0), C(499), ""}},
                                             {"", {C(0), C(0), C(0), C(0), "내일 아침 배송"}}}));

    // Opened again: the order and its message; another date reuses the window without the message.
    w = openOrder(boxes, *m, d);
    ASSERT_NE(w, nullptr);
    WAIT_EQ(w->inMsg->value().toString(), QString("내일 아침 배송"));
    EXPECT_EQ(rowOf(*w->ab1->value(), 1), (Row{"사과", "상자", C(1), C(1000), "/", C(1000), "빨리"}));
    EXPECT_EQ(w->outNsum->value().toCurrency(), C(4.5));  // totals follow the loaded sheet
    const Date next = DateSerial(2030, 1, 11);
    EXPECT_EQ(openOrder(boxes, *m, next), w);
    WAIT_FOR(w->inMsg->value().isEmpty());
    // An order of a message only: stored as one record without a product; its check shows no line.
    w->inMsg->setValue("메시지만");
    EXPECT_EQ(press(boxes, w->Command1), QStringList{"발주 완료"});
    const OrdersLoad only = mdlLoad::LoadOrders(link, next, "shop", "farm");
    ASSERT_EQ(only.table->RecCount(), 1);
    EXPECT_EQ(rowOf(*only.table, 0), (Row{"", C(0), C(0), "", C(0), C(0), C(0), "메시지만"}));
    const Report check = mdlOrder::BuildOrderCheck(only, next, "shop", "farm");
    EXPECT_TRUE(check.table->RecCount() == 2 && check.etc == "메시지만");
    ASSERT_TRUE(w = openOrder(boxes, *m, d));
    WAIT_EQ(w->inMsg->value().toString(), QString("내일 아침 배송"));
    // Accepted by the receiver while the user types: nothing is sent and what was typed stays.
    ASSERT_EQ(admin({"orders", "accept", "farm", "shop", ostrel::fncDate().DtoG(d)}), 0);
    typeInto(w, 1, sheet::Quantity, "7");  // typing replaces the stored 1
    WAIT_EQ(w->ab1->Cell(1, sheet::Quantity).toCurrency(), C(7));
    EXPECT_EQ(press(boxes, w->Command1), QStringList{LockedOrderMessage()});
    EXPECT_FALSE(w->isClosed());
    EXPECT_EQ(w->ab1->Cell(1, sheet::Quantity).toCurrency(), C(7));
    boxes.messageAnswer = QMessageBox::Yes;  // the typed 7 may go
    w->Command2->click();
    WAIT_FOR(w->isClosed());
    boxes.messageAnswer = QMessageBox::Ok;

    // The order check shows the stored order as accepted; opening the date says so and the window goes.
    answerDates(boxes, d);
    tavrin::frmOuthand* v = openViewer(m->Command2, "발주내역");
    ASSERT_TRUE(v);
    ASSERT_EQ(v->value()->RecCount(), 5);
    EXPECT_EQ(v->value()->Cell(4, 7).toCurrency(), C(2856));
    EXPECT_EQ(v->Text2()->text(), "내일 아침 배송");
    EXPECT_TRUE(v->Text1()->text().contains("수주완료"));
    answerDates(boxes, d);
    EXPECT_EQ(press(boxes, m->Command1), QStringList{LockedOrderMessage()});
    WAIT_FOR(!m->orderWindow() || m->orderWindow()->isClosed());
    for (const char* grade : {"*", "A"}) admin({"notice", "set", "farm", grade, ""});
}

// Nothing typed is lost to questions about unsent edits, a hung server, or a forgotten session.
TEST_F(LoggedIn, NothingTypedIsLostToQuestionsHangsOrALostSession) {
    const Date d = DateSerial(2030, 2, 1), other = DateSerial(2030, 2, 2);
    frmOrder* w = openOrder(boxes, *m, d);
    ASSERT_NE(w, nullptr);
    typeInto(w, 0, sheet::Quantity, "3");
    auto kept = [&] {
        return !w->isClosed() && w->isVisible() && w->ab1->Cell(0, sheet::Quantity).toCurrency() == C(3) &&
               w->DeliverDate() == d && w->outDeliverDate->value().toDate() == d;
    };

    // "No" to another "발주입력", to "취소", to closing the main window: all stays.
    boxes.messageAnswer = QMessageBox::No;
    answerDates(boxes, other);
    m->Command1->click();
    WAIT_EQ(boxes.messages.size(), 1);
    w->Command2->click();
    m->close();
    EXPECT_TRUE(m->isVisible() && boxes.messages.size() == 3);
    for (const QString& text : boxes.messages)
        EXPECT_TRUE(text.startsWith("보내지 않은 발주 내용이 있습니다.")) << text.toStdString();
    EXPECT_TRUE(kept());

    // "Yes" to reloading, but the server hangs: the wait window names it, Esc cancels, the sheet stays.
    boxes.messageAnswer = QMessageBox::Yes;
    ASSERT_EQ(::kill(pid_t(pid()), SIGSTOP), 0);
    answerDates(boxes, other);
    QString waitText;
    boxes.onNextModal([&](QWidget* wait) {
        waitText = wait->findChild<QLabel*>()->text();
        QTest::keyClick(wait, Qt::Key_Escape);
    });
    const QString said = press(boxes, m->Command1, 2).value(1);
    ::kill(pid_t(pid()), SIGCONT);
    EXPECT_TRUE(waitText.contains(url())) << waitText.toStdString();
    EXPECT_TRUE(said.contains("취소") && said.endsWith("입력한 내용은 그대로 있습니다.")) << said.toStdString();
    EXPECT_TRUE(kept());

    // The server forgets the session (twenty newer logins push it out of the store, a restart clears the
    // server's memory): the login window comes back with the IDs fixed; logged in, the send goes.
    httplib::Client elsewhere(url().toStdString());
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(elsewhere.Get(std::string(path::Login) + "?OrdererCI=shop&ReceiverCI=farm&PassWord=pw1234"));
    restart();
    boxes.onNextModal([&](QWidget* wl) {
        auto* login = qobject_cast<frmIDandPassword*>(wl);
        ASSERT_TRUE(login);
        EXPECT_EQ(QStringList({login->Text1->text(), login->Text2->text()}), QStringList({"shop", "farm"}));
        EXPECT_TRUE(login->Text1->isReadOnly() && login->Text2->isReadOnly());
        QTest::keyClicks(login->Text3, "pw1234");
        QTest::keyClick(login->Text2, Qt::Key_Return);
    });
    EXPECT_EQ(press(boxes, w->Command1), QStringList{"발주 완료"});
    WAIT_FOR(w->isClosed());
    const OrdersLoad stored = mdlLoad::LoadOrders(link, d, "shop", "farm");
    ASSERT_EQ(stored.table->RecCount(), 1);
    EXPECT_EQ(stored.table->Cell(0, 1).toCurrency(), C(3));
}

TEST(ScriptedSave, ExactBodyWhatCountsAsConfirmedAndWhatIsKept) {
    auto peer = std::make_unique<ScriptedPeer>();
    scriptStore(*peer, 30);
    ServerLink link(peer->url());
    ModalDriver boxes;
    auto m = logIn(boxes, link, "x");
    ASSERT_TRUE(m);
    frmOrder* w = openOrder(boxes, *m, DateSerial(2030, 4, 5));
    ASSERT_TRUE(w && w->ab1->RecCount() == 30);

    // 617 "+" -> 1234; 1000 "/" -> 1364 / 136; 500 tax-free; 100 of the fourth: too large, the amount left alone.
    for (const auto& [row, fie, text] : std::vector<Typed>{{0, sheet::Quantity, "2"}, {1, sheet::Quantity, "1.5"},
                                                           {2, sheet::Quantity, "1"}, {2, sheet::Remark, "급함"},
                                                           {3, sheet::Quantity, "100"}})
        typeInto(w, row, fie, text);
    WAIT_EQ(w->outGsum->value().toCurrency(), C(3234));
    w->inMsg->setValue("a b");
    const QString tooLarge = "4번째 줄(배3)의 금액이 너무 큽니다.";
    WAIT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0], tooLarge);

    // Too large a line, refused, not 2xx, unreadable, the stored order refused: the reason; all typed stays.
    for (const auto& [on, answer, said] : std::vector<std::tuple<const char*, ScriptedPeer::Answer, QString>>{
             {path::OrdersUpdate, {200, "<success>1</success>"}, tooLarge + "\n발주를 보내지 못했습니다."},
             {path::OrdersUpdate, {409, "<success>0</success><failmsg>잠긴 발주입니다</failmsg>"},
              "잠긴 발주입니다 (HTTP 409)\n발주를 보내지 못했습니다. 입력한 내용은 그대로 있습니다."},
             {path::OrdersUpdate, {500, "oops"}, "주문 서버가 요청을 처리하지 못했습니다. (HTTP 500)\n"},
             {path::OrdersUpdate, {200, kUnreadable}, kUnreadableText},
             {path::OrdersSelect, {200, "<received>1</received>"}, LockedOrderMessage()},  // accepted, no lines
             {path::OrdersSelect, {200, kRefusal}, "로그인이 필요합니다\n발주를 보내지 못했습니다."}}) {
        peer->on(on, answer);
        EXPECT_TRUE(press(boxes, w->Command1).value(0).startsWith(said)) << boxes.messages.value(0).toStdString();
        EXPECT_FALSE(w->isClosed());
        EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(2));
        w->ab1->setCell(3, sheet::Quantity, ostrel::Variant());  // the line too large taken back
    }
    const auto bodies = peer->received(path::OrdersUpdate);
    ASSERT_EQ(bodies.size(), 3u);  // none for the line too large, none after the refused check
    const QString body = QString::fromStdString(bodies[0])
                             .replace(QRegularExpression("&RequestTime=\\d{16}&"), "&RequestTime=T&");
    EXPECT_EQ(body, "DeliverDate=2030%2D04%2D05&OrdererCI=shop&ReceiverCI=farm&RecCount=4&RequestTime=T"
                    "&Product_0=%B9%E80%5Fbox&Quantity_0=2&Dg_0=617&Vat_0=%2B&Gg_0=1234&Gv_0=123&Gt_0=1357&Remark_0="
                    "&Product_1=%B9%E81%5Fbox&Quantity_1=1%2E5&Dg_1=1000&Vat_1=%2F&Gg_1=1364&Gv_1=136&Gt_1=1500"
                    "&Remark_1=&Product_2=%B9%E82%5Fbox&Quantity_2=1&Dg_2=500&Vat_2=&Gg_2=500&Gv_2=0&Gt_2=500"
                    "&Remark_2=%B1%DE%C7%D4&Product_3=&Quantity_3=0&Dg_3=0&Vat_3=&Gg_3=0&Gv_3=0&Gt_3=0&Remark_3=a%20b");

    // A peer that sends no success tag: a 2xx reply counts as confirmed.
    scriptStore(*peer, 30);
    peer->on(path::OrdersUpdate, {200, "OK"});
    EXPECT_EQ(press(boxes, w->Command1), QStringList{"발주 완료"});
    WAIT_FOR(w->isClosed());

    // The peer gone while the user types: the address, and all typed stays, also through a failed load.
    w = openOrder(boxes, *m, DateSerial(2030, 4, 6));
    ASSERT_NE(w, nullptr);
    typeInto(w, 0, sheet::Quantity, "4");
    w->inMsg->setValue("메시지");
    peer.reset();
    EXPECT_TRUE(press(boxes, w->Command1).value(0).contains(link.baseUrl()));
    boxes.messageAnswer = QMessageBox::Yes;
    answerDates(boxes, DateSerial(2030, 4, 7));
    const QString said = press(boxes, m->Command1, 2).value(1);
    EXPECT_TRUE(said.contains(link.baseUrl()) && said.endsWith("그대로 있습니다.")) << said.toStdString();
    EXPECT_TRUE(w->isVisible() && !w->isClosed() && w->DeliverDate() == DateSerial(2030, 4, 6));
    EXPECT_EQ(w->ab1->Cell(0, sheet::Quantity).toCurrency(), C(4));
    EXPECT_EQ(w->inMsg->value().toString(), "메시지");
    w->close();  // "Yes": the edits may go
    WAIT_FOR(w->isClosed());
}

// Every read from a peer gone, refusing or unreadable says why, and offers no empty list nor status.
TEST(ScriptedFailures, EveryReadSaysWhyAndOffersNothing) {
    for (const std::optional<std::string>& reply : {std::optional<std::string>(), std::optional(kRefusal),
                                                     std::optional(kUnreadable)}) {
        auto peer = std::make_unique<ScriptedPeer>();
        for (const char* p : {path::Login, path::UnitPricesSelect, path::OrdersSelect, path::DeliverSelect,
                              path::Notice})
            peer->on(p, {200, reply.value_or("")});
        if (!reply) peer.reset();
        ServerLink link(peer ? peer->url() : ScriptedPeer::goneUrl());
        const QString said = !reply ? link.baseUrl() : reply == kRefusal ? "로그인이 필요합니다" : kUnreadableText;
        SCOPED_TRACE(said.toStdString());
        ModalDriver boxes;
        EXPECT_FALSE(logIn(boxes, link));
        frmMain m(link, {});
        m.setLoginValues("shop", "A", "farm");
        m.show();
        m.ShowNotices();  // no notice to show
        EXPECT_EQ(m.notice(), nullptr);
        answerDates(boxes, DateSerial(2030, 5, 1));
        m.Command1->click();  // no order sheet
        WAIT_EQ(boxes.messages.size(), 2);
        WAIT_FOR(!m.orderWindow() || m.orderWindow()->isClosed());
        m.Command3->click();  // no selection list: had there been one, nothing would close it
        WAIT_EQ(boxes.messages.size(), 3);
        for (const QString& text : boxes.messages) EXPECT_TRUE(text.contains(said)) << text.toStdString();
        EXPECT_TRUE(boxes.messages[2].endsWith("발주 품목을 불러오지 못했습니다."));

        // The reports open empty, with the reason in their extra line and no status.
        answerDates(boxes, DateSerial(2030, 5, 1));
        tavrin::frmOuthand* v = openViewer(m.Command2, "발주내역");
        ASSERT_TRUE(v);
        EXPECT_EQ(v->value()->RecCount(), 2);
        EXPECT_TRUE(v->Text2()->text().contains(said) && v->Text2()->text().endsWith(" 발주 내역을 불러오지 못했습니다."));
        EXPECT_FALSE(v->Text1()->text().contains("미수주") || v->Text1()->text().contains("수주완료"));
        answerDates(boxes, DateSerial(2031, 1, 1), DateSerial(2031, 1, 31));
        ASSERT_TRUE(v = openViewer(m.Command4, "구매내역"));
        EXPECT_EQ(v->value()->RecCount(), 5);
        EXPECT_TRUE(v->Text2()->text().contains(said) && v->Text2()->text().endsWith(" 매입 내역을 불러오지 못했습니다."));
        closeViewers();
    }
}
