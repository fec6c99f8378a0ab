#include "vendra/frmMain.h"

#include "vendra/Messages.h"
#include "vendra/Notice.h"
#include "vendra/ServerLink.h"
#include "vendra/Requests.h"
#include "vendra/Reports.h"
#include "vendra/Version.h"
#include "vendra/frmIDandPassword.h"
#include "vendra/frmOrder.h"
#include "vendra/mdlOrder.h"
#include "vendra/mdlPass.h"
#include "vendra/mdlPdSelect.h"

#include "tessel/Fonts.h"
#include "tessel/Twips.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QWindow>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vendra {

frmMain::frmMain(ServerLink& server, QStringList commandWords, QWidget* parent)
    : QWidget(parent), server_(server), commandWords_(std::move(commandWords)) {
    tessel::registerFontSubstitutions();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vendra - ") + VersionText());
    pannel_.setParentWindow(this);

    auto cellRow = [this](QGridLayout* grid, int row, const QString& caption, const char* labelName,
                          const char* cellName, QLabel*& lbl, tessel::outvar*& cell) {
        lbl = new QLabel(caption, this);
        lbl->setObjectName(QString::fromLatin1(labelName));
        lbl->setFont(tessel::captionFont(11));
        cell = new tessel::outvar(this);
        cell->setObjectName(QString::fromLatin1(cellName));
        cell->setValueType(QStringLiteral("c"));
        cell->setLength(16);
        cell->setFixedSize(cell->size());  // the cell sizes itself; the layout must keep it
        grid->addWidget(lbl, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(cell, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    };
    auto* cells = new QGridLayout;
    cellRow(cells, 0, QStringLiteral("발주처 :"), "lblOrdererCI", "outOrdererCI", lblOrdererCI, outOrdererCI);
    cellRow(cells, 1, QStringLiteral("단  가 :"), "lblDgr", "outOrdererDgr", lblDgr, outOrdererDgr);
    cellRow(cells, 2, QStringLiteral("수주처 :"), "lblReceiverCI", "outReceiverCI", lblReceiverCI, outReceiverCI);

    auto button = [this](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFont(tessel::captionFont(11));
        b->setMinimumHeight(34);
        return b;
    };
    Command1 = button(QStringLiteral("발주입력"), "Command1");
    Command2 = button(QStringLiteral("발주확인"), "Command2");
    Command3 = button(QStringLiteral("발주 품목 선택"), "Command3");
    Command4 = button(QStringLiteral("매입 품목 내역"), "Command4");
    Command5 = button(QStringLiteral("세액의 날짜별 합계"), "Command5");
    Command6 = button(QStringLiteral("도움말 홈페이지 연결"), "Command6");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cells);
    layout->addSpacing(8);
    for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5, Command6}) layout->addWidget(b);
    layout->addStretch();

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command4);
    setTabOrder(Command4, Command5);
    setTabOrder(Command5, Command6);
    setTabOrder(Command6, outOrdererCI);
    setTabOrder(outOrdererCI, outOrdererDgr);
    setTabOrder(outOrdererDgr, outReceiverCI);
    setTabOrder(outReceiverCI, Command3);

    connect(Command1, &QPushButton::clicked, this, [this] { mdlOrder::OpenOrderEntry(*this); });
    connect(Command2, &QPushButton::clicked, this, [this] { mdlOrder::ShowOrderCheck(*this); });
    connect(Command3, &QPushButton::clicked, this, [this] { mdlPdSelect::SelectOrderItems(*this); });
    connect(Command4, &QPushButton::clicked, this, [this] { mdlNy::ShowPurchaseHistory(*this); });
    connect(Command5, &QPushButton::clicked, this, [this] { mdlNy::ShowTaxTotalsByDate(*this); });
    // The help page link is not built yet.
    connect(Command6, &QPushButton::clicked, this, &frmMain::underConstruction);
    resize(300, 360);
    server_.setRelogin([this] { return relogin(); });
}

frmMain::~frmMain() {
    server_.setRelogin(nullptr);
    // Windows that stand beside this one go with it.
    delete notice_.data();
    delete order_.data();
}

void frmMain::closeEvent(QCloseEvent* e) {
    // The program ends with this window: the windows beside it close too.
    if (order_ && !order_->isClosed()) {
        order_->close();
        if (order_ && !order_->isClosed()) {
            e->ignore();  // the order window is sending; it closes when done
            return;
        }
    }
    if (notice_) notice_->close();
    QWidget::closeEvent(e);
}

bool frmMain::Load() {
    QString orderer, receiver, password;
    {
        frmIDandPassword login(commandWords_, this);
        login.setWindowTitle(QStringLiteral("로그인 - ") + VersionText());
        login.exec();
        if (!login.confirmed()) return false;  // closed without "확인": no login is sent
        orderer = login.OrdererCI();
        receiver = login.ReceiverCI();
        password = login.PassWord();
    }
    const bool ok = mdlPass::Login(*this, server_, orderer, receiver, password);
    password.fill(QChar(0));
    return ok;
}

bool frmMain::relogin() {
    if (OrdererCI().isEmpty()) return false;  // never logged in
    QString password;
    {
        // The same IDs: the session was lost, not the user.
        frmIDandPassword login({OrdererCI(), ReceiverCI()}, this);
        login.setWindowTitle(QStringLiteral("다시 로그인 - 주문 서버가 로그인을 잊었습니다"));
        login.Text1->setReadOnly(true);
        login.Text2->setReadOnly(true);
        login.exec();
        if (!login.confirmed()) return false;
        password = login.PassWord();
    }
    const bool ok = mdlPass::Login(*this, server_, OrdererCI(), ReceiverCI(), password);
    password.fill(QChar(0));
    return ok;
}

QString frmMain::requestNotice(const QString& dgr) {
    const Reply r = server_.post(path::Notice, NoticeBody(server_.web(), ReceiverCI(), dgr, server_.stamp()));
    QString notice;
    if (!ReplyProblem(r, server_.baseUrl()).isEmpty()) return notice;
    ReadReply([&] { notice = server_.xml().ExtractTag(r.text, u"notice"); });  // an unreadable notice is no notice
    return notice;
}

void frmMain::ShowNotices() {
    const QString n1 = requestNotice(QStringLiteral("*"));
    const QString n2 = requestNotice(OrdererDgr());
    const QString text = CombineNotices(n1, n2);
    if (text.isEmpty()) return;
    if (!notice_) notice_ = new Notice;
    notice_->setText(text);
    // Beside where the window system put this window, once it has.
    if (QWindow* h = windowHandle(); h && isVisible()) {
        QDeadlineTimer placed(1000);
        while (!h->isExposed() && !placed.hasExpired())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    notice_->move(besidePosition(notice_->size()));
    notice_->show();
    QApplication::beep();
}

QPoint KeepOnScreen(QPoint topLeft, QSize frameSize, const QRect& available) {
    const int x = std::max(available.left(), std::min(topLeft.x(), available.right() + 1 - frameSize.width()));
    const int y = std::max(available.top(), std::min(topLeft.y(), available.bottom() + 1 - frameSize.height()));
    return QPoint(x, y);
}

QPoint frmMain::besidePosition(QSize size) const {
    const QRect f = frameGeometry();
    const QPoint beside(f.left() + f.width() + tessel::twipsToPixels(100), f.top());
    const QScreen* s = screen();
    if (!s) return beside;
    // The other window's frame is taken to be as wide as this one's.
    const QSize frame = size + (f.size() - geometry().size());
    return KeepOnScreen(beside, frame, s->availableGeometry());
}

QString frmMain::OrdererCI() const { return outOrdererCI->value().toString(); }
QString frmMain::OrdererDgr() const { return outOrdererDgr->value().toString(); }
QString frmMain::ReceiverCI() const { return outReceiverCI->value().toString(); }

void frmMain::setLoginValues(const QString& ordererCI, const QString& dgr, const QString& receiverCI) {
    outOrdererCI->setValue(ordererCI);
    outOrdererDgr->setValue(dgr);
    outReceiverCI->setValue(receiverCI);
}

Notice* frmMain::notice() const { return notice_.data(); }
frmOrder* frmMain::orderWindow() const { return order_.data(); }

frmOrder* frmMain::ensureOrderWindow() {
    if (!order_ || order_->isClosed()) order_ = new frmOrder(*this);
    return order_;
}

void frmMain::underConstruction() { ostrel::showMessage(QStringLiteral("공사중"), this); }

}  // namespace vendra
