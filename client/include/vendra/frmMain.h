#pragma once
// The main window: the three login cells every request reads, and one button per function.
#include "keplin/fncPannel.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tessel {
class outvar;
}

namespace vendra {

class ServerLink;
class Notice;
class frmOrder;

// `topLeft` moved the least to keep a window of `frameSize` inside `available`.
QPoint KeepOnScreen(QPoint topLeft, QSize frameSize, const QRect& available);

class frmMain : public QWidget {
    Q_OBJECT
public:
    frmMain(ServerLink& server, QStringList commandWords, QWidget* parent = nullptr);
    ~frmMain() override;

    // The login: shows the login window modally and sends the login. False when the user left the
    // login window without "확인" or the login failed; the program then ends.
    bool Load();
    // Fetches the notice for all grades and the one for the orderer's grade and, when there is
    // any text, shows it beside this window.
    void ShowNotices();

    QString OrdererCI() const;
    QString OrdererDgr() const;
    QString ReceiverCI() const;
    void setLoginValues(const QString& ordererCI, const QString& dgr, const QString& receiverCI);

    // Top-left for a window of `size` placed beside this one: same top, 100 twips right of its
    // right edge, moved back as far as needed to keep it (frame included) on this window's screen.
    QPoint besidePosition(QSize size) const;

    ServerLink& server() { return server_; }
    keplin::fncPannel& pannel() { return pannel_; }
    Notice* notice() const;
    frmOrder* orderWindow() const;
    frmOrder* ensureOrderWindow();

    tessel::outvar* outOrdererCI;
    tessel::outvar* outOrdererDgr;
    tessel::outvar* outReceiverCI;
    QLabel* lblOrdererCI;
    QLabel* lblDgr;
    QLabel* lblReceiverCI;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    bool relogin();
    QString requestNotice(const QString& dgr);
    void underConstruction();

    ServerLink& server_;
    QStringList commandWords_;
    keplin::fncPannel pannel_;
    QPointer<Notice> notice_;
    QPointer<frmOrder> order_;
};

}  // namespace vendra
