#pragma once
// The order window of one delivery date: the order sheet in an editable grid, the totals, the
// message to the receiver, and sending.
#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tessel {
class ab;
class MouseHelper;
class invar;
class outvar;
}  // namespace tessel

namespace vendra {

class frmMain;

class frmOrder : public QWidget {
    Q_OBJECT
public:
    explicit frmOrder(frmMain& main, QWidget* parent = nullptr);

    ostrel::Date DeliverDate() const { return deliverDate_; }
    void setDeliverDate(ostrel::Date d);
    QString OrdererCI() const { return ordererCI_; }
    void setOrdererCI(const QString& s);
    QString OrdererDgr() const { return ordererDgr_; }
    void setOrdererDgr(const QString& s);
    QString ReceiverCI() const { return receiverCI_; }
    void setReceiverCI(const QString& s);

    // Shows the window, raises it, and builds the sheet for the values set.
    void showAndActivate();
    // What activation does once new values were set: headers, sheet, acceptance check. Later
    // activations (after a message box, or coming back from the main window) keep what is typed.
    void Form_Activate();
    // Walks the grid: total quantity, total amount and the number of rows.
    void UpdateTotals();

    tessel::outvar* outDeliverDate;
    tessel::outvar* outOrdererCI;
    tessel::outvar* outReceiverCI;
    tessel::ab* ab1;
    tessel::outvar* outLsum;
    tessel::outvar* outNsum;
    tessel::outvar* outGsum;
    QLabel* Label1;
    tessel::invar* inMsg;
    QPushButton* Command1;
    QPushButton* Command2;
    tessel::MouseHelper* MouseHelper1;

    // Last message shown by this window (tests read it after the box was closed).
    QString lastMessage() const { return lastMessage_; }
    // Closed and waiting to be deleted: "발주입력" then needs a new window.
    bool isClosed() const { return closed_; }
    // Something was typed since the sheet was loaded or sent.
    bool hasUnsentEdits() const { return unsent_; }

signals:
    // After a completed or refused send, and after the sheet was built.
    void sheetReady();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // Typing on a product name, which is locked, types into the quantity of that line.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Command1_Click();
    void ab1_CellModified(int& rec, int& fie, ostrel::Variant& oldvalue, bool& internaledit);
    void message(const QString& text);
    void unload();
    void forwardWheelEvents();
    QWidget* textBox(int row, int fie) const;

    frmMain& main_;
    ostrel::Date deliverDate_;
    QString ordererCI_, ordererDgr_, receiverCI_;
    bool reloadPending_ = false;
    bool busy_ = false;
    bool closed_ = false;
    bool unsent_ = false;
    QString lastMessage_;
    // What the sheet on screen was loaded for; a failed load goes back to it.
    struct Loaded {
        ostrel::Date deliverDate;
        QString ordererCI, ordererDgr, receiverCI;
    } loaded_;
};

}  // namespace vendra
