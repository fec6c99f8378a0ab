#include "vendra/frmOrder.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/OrderSheet.h"
#include "vendra/Requests.h"
#include "vendra/frmMain.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"

#include "ostrel/RuntimeError.h"
#include "vendra/order/Protocol.h"
#include "vendra/order/Vat.h"
#include "ostrel/clsWaitMessage.h"
#include "tessel/Fonts.h"
#include "tessel/KeyCode.h"
#include "tessel/MouseHelper.h"
#include "tessel/ab.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace vendra {

namespace {

// Controls of the tessel library size themselves; layouts must keep that size.
template <class W>
W* fixed(W* w) {
    w->setFixedSize(w->size());
    return w;
}

tessel::outvar* makeOut(QWidget* parent, const char* name, const char* type, int length, int dec = 0) {
    auto* o = new tessel::outvar(parent);
    o->setObjectName(QString::fromLatin1(name));
    o->setValueType(QString::fromLatin1(type));
    o->setDec(dec);
    o->setLength(length);
    return fixed(o);
}
}  // namespace

frmOrder::frmOrder(frmMain& main, QWidget* parent) : QWidget(parent, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("frmOrder"));
    setWindowTitle(QStringLiteral("발주 입력"));
    setAttribute(Qt::WA_DeleteOnClose);

    outDeliverDate = makeOut(this, "outDeliverDate", "d", 8);
    outOrdererCI = makeOut(this, "outOrdererCI", "c", 16);
    outReceiverCI = makeOut(this, "outReceiverCI", "c", 16);

    ab1 = new tessel::ab(this);
    ab1->setObjectName(QStringLiteral("ab1"));
    ab1->setNOF(sheet::NOF);
    ab1->setMaxrow(20);
    ab1->setStru(OrderSheetStru());
    ab1->setLineLock(true);
    fixed(ab1);
    // The product name is locked: a quantity typed on it would be lost.
    for (int row = 0; row < ab1->maxrow(); ++row) textBox(row, sheet::Name)->installEventFilter(this);

    outLsum = makeOut(this, "outLsum", "n", 5);
    outNsum = makeOut(this, "outNsum", "n", 10, 1);
    outGsum = makeOut(this, "outGsum", "n", 13);

    Label1 = new QLabel(QStringLiteral("송신문:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(tessel::captionFont(11));
    inMsg = new tessel::invar(this);
    inMsg->setObjectName(QStringLiteral("inMsg"));
    inMsg->setValueType(QStringLiteral("c"));
    inMsg->setLength(80);
    fixed(inMsg);

    Command1 = new QPushButton(QStringLiteral("확인"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("취소"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {Command1, Command2}) {
        b->setFont(tessel::captionFont(11));
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }

    auto* head = new QHBoxLayout;
    head->addWidget(outDeliverDate);
    head->addWidget(outOrdererCI);
    head->addWidget(outReceiverCI);
    head->addStretch();
    auto* totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(outLsum);
    totals->addWidget(outNsum);
    totals->addWidget(outGsum);
    auto* msg = new QHBoxLayout;
    msg->addWidget(Label1);
    msg->addWidget(inMsg);
    msg->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(ab1);
    layout->addLayout(totals);
    layout->addLayout(msg);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(ab1, outOrdererCI);
    setTabOrder(outOrdererCI, outReceiverCI);
    setTabOrder(outReceiverCI, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, inMsg);

    connect(ab1, &tessel::ab::CellModified, this, &frmOrder::ab1_CellModified);
    // Esc in the grid goes on to "확인", as the grid hands its exits to the window.
    connect(ab1, &tessel::ab::abexit, this, [this](int& key) {
        if (key == tessel::vk::Esc) Command1->setFocus(Qt::TabFocusReason);
    });
    connect(inMsg, &tessel::invar::Modified, this, [this] { unsent_ = true; });
    connect(Command1, &QPushButton::clicked, this, &frmOrder::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmOrder::unload);
    forwardWheelEvents();
}

void frmOrder::setDeliverDate(ostrel::Date d) {
    deliverDate_ = d;
    reloadPending_ = true;
}
void frmOrder::setOrdererCI(const QString& s) {
    ordererCI_ = s;
    reloadPending_ = true;
}
void frmOrder::setOrdererDgr(const QString& s) {
    ordererDgr_ = s;
    reloadPending_ = true;
}
void frmOrder::setReceiverCI(const QString& s) {
    receiverCI_ = s;
    reloadPending_ = true;
}

void frmOrder::showAndActivate() {
    show();
    raise();
    activateWindow();
    // Also when the window system does not report the activation (or reports it late).
    QTimer::singleShot(0, this, &frmOrder::Form_Activate);
}

bool frmOrder::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && reloadPending_)
        QTimer::singleShot(0, this, &frmOrder::Form_Activate);
    return QWidget::event(e);
}

void frmOrder::Form_Activate() {
    if (!reloadPending_ || busy_) return;
    reloadPending_ = false;
    busy_ = true;
    outDeliverDate->setValue(deliverDate_);
    outOrdererCI->setValue(ordererCI_);
    outReceiverCI->setValue(receiverCI_);

    mdlOrder::SheetLoad load =
        mdlOrder::BuildOrderSheet(main_.server(), deliverDate_, ordererCI_, ordererDgr_, receiverCI_);
    busy_ = false;
    if (!load.problem.isEmpty()) {
        if (unsent_) {
            // The typed sheet stays, with the date and IDs it belongs to.
            deliverDate_ = loaded_.deliverDate;
            ordererCI_ = loaded_.ordererCI;
            ordererDgr_ = loaded_.ordererDgr;
            receiverCI_ = loaded_.receiverCI;
            outDeliverDate->setValue(deliverDate_);
            outOrdererCI->setValue(ordererCI_);
            outReceiverCI->setValue(receiverCI_);
            message(load.problem + QStringLiteral("\n입력한 내용은 그대로 있습니다."));
            return;
        }
        // Without the server's lists the sheet would be empty, and sending it would wipe the order.
        message(load.problem);
        unload();
        return;
    }
    loaded_ = {deliverDate_, ordererCI_, ordererDgr_, receiverCI_};
    ab1->setValue(load.sheet.table);
    // The message belongs to the date: one from another date must not be carried over.
    inMsg->setValue(load.sheet.hasMessage ? ostrel::Variant(load.sheet.message) : ostrel::Variant());
    UpdateTotals();
    unsent_ = false;
    if (load.received) {
        message(LockedOrderMessage());
        unload();
        return;
    }
    ab1->setFocus(Qt::OtherFocusReason);
    emit sheetReady();
}

void frmOrder::UpdateTotals() {
    const ostrel::TableRef t = ab1->value();
    ostrel::Currency n, g;
    const int count = t ? t->RecCount() : 0;
    for (int i = 0; i < count; ++i) {
        n += CellCurrency(t->cellRef(i, sheet::Quantity));
        g += CellCurrency(t->cellRef(i, sheet::Amount));
    }
    outNsum->setValue(n);
    outGsum->setValue(g);
    outLsum->setValue(int32_t(count));
}

void frmOrder::ab1_CellModified(int& rec, int& fie, ostrel::Variant&, bool&) {
    unsent_ = true;
    try {
        if (fie == sheet::Quantity) {
            const ostrel::Currency amount = LineAmount(CellCurrency(ab1->Cell(rec, sheet::Quantity)),
                                                       CellCurrency(ab1->Cell(rec, sheet::Price)));
            ab1->setPCell(rec, sheet::Amount, amount);
        }
    } catch (const ostrel::RuntimeError&) {
        // A quantity so large that its amount overflows: say so and leave the amount alone.
        message(AmountTooLargeMessage(rec, ab1->Cell(rec, sheet::Name).toString()));
    }
    UpdateTotals();
}

void frmOrder::Command1_Click() {
    if (busy_) return;
    busy_ = true;
    struct Done {
        bool& b;
        ~Done() { b = false; }
    } done{busy_};
    // An edit still in progress belongs to the order.
    ab1->CloseMe();
    inMsg->CloseMe();

    ServerLink& server = main_.server();
    const OrdersLoad stored = mdlLoad::LoadOrders(server, deliverDate_, ordererCI_, receiverCI_);
    if (!stored.problem.isEmpty()) {
        message(stored.problem + QStringLiteral("\n발주를 보내지 못했습니다. 입력한 내용은 그대로 있습니다."));
        return;
    }
    if (stored.received) {
        message(LockedOrderMessage());
        return;
    }

    mdlOrder::SaveOutcome outcome;
    {
        ostrel::clsWaitMessage wait;
        wait.setCaption(QStringLiteral("전송중"));
        try {
            const QString text = inMsg->value().isEmpty() ? QString() : inMsg->value().toString();
            const std::vector<OrderLine> lines = CollectOrderLines(*ab1->value(), text);
            const QString body =
                OrdersUpdateBody(server.web(), deliverDate_, ordererCI_, receiverCI_, server.stamp(), lines);
            const Reply r = server.post(path::OrdersUpdate, body);
            outcome = mdlOrder::JudgeSaveReply(r, server.baseUrl());
        } catch (const ostrel::RuntimeError& e) {
            // An amount beyond the currency: nothing is sent.
            outcome.confirmed = false;
            outcome.message = e.description() + QStringLiteral("\n발주를 보내지 못했습니다. 입력한 내용은 그대로 있습니다.");
        }
    }
    if (!outcome.confirmed) {
        // Everything typed stays in the window, so nothing is lost.
        message(outcome.message);
        emit sheetReady();
        return;
    }
    unsent_ = false;
    message(QStringLiteral("발주 완료"));
    busy_ = false;
    unload();
}

void frmOrder::message(const QString& text) {
    lastMessage_ = text;
    ostrel::showMessage(text, this);
}

void frmOrder::unload() { close(); }

void frmOrder::closeEvent(QCloseEvent* e) {
    if (busy_) {
        e->ignore();  // never while a request of this window is under way
        return;
    }
    if (unsent_ && !ostrel::askYesNo(QStringLiteral("보내지 않은 발주 내용이 있습니다.\n버리고 창을 닫을까요?"), this)) {
        e->ignore();
        return;
    }
    closed_ = true;
    QWidget::closeEvent(e);
}

QWidget* frmOrder::textBox(int row, int fie) const { return ab1->invar1(row * ab1->displayedFields() + fie)->Text1(); }

bool frmOrder::eventFilter(QObject* watched, QEvent* e) {
    // A pending move goes first: the grid then hands the key to the cell the move lands on.
    if (e->type() != QEvent::KeyPress || ab1->nextkey() != 0) return QWidget::eventFilter(watched, e);
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->text().isEmpty() || !k->text().at(0).isPrint() || (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    for (int row = 0; row < ab1->maxrow(); ++row) {
        if (textBox(row, sheet::Name) != watched) continue;
        QWidget* quantity = textBox(row, sheet::Quantity);
        quantity->setFocus(Qt::OtherFocusReason);
        const std::unique_ptr<QEvent> copy(e->clone());
        QCoreApplication::sendEvent(quantity, copy.get());
        return true;
    }
    return false;
}

void frmOrder::forwardWheelEvents() {
    MouseHelper1 = new tessel::MouseHelper(this);
    MouseHelper1->setObjectName(QStringLiteral("MouseHelper1"));
    connect(MouseHelper1, &tessel::MouseHelper::MouseWheel, this, [this](int&, int& delta) {
        ab1->MouseWheel(qBound(-32768, delta, 32767));  // the grid takes a 16-bit direction
    });
}

}  // namespace vendra
