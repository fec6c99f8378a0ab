#pragma once
// The login window: orderer ID, receiver ID and password, shown modally at start-up.
#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vendra {

class frmIDandPassword : public QDialog {
    Q_OBJECT
public:
    // `commandWords` pre-fill the two IDs: the first word the orderer, the second the receiver.
    explicit frmIDandPassword(const QStringList& commandWords, QWidget* parent = nullptr);

    // Empty until "확인" is pressed.
    QString OrdererCI() const { return ordererCI_; }
    QString ReceiverCI() const { return receiverCI_; }
    QString PassWord() const { return passWord_; }
    // True only when the window was left through "확인"; closing it any other way is no login.
    bool confirmed() const { return confirmed_; }

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command1;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Command1_Click();

    QString ordererCI_, receiverCI_, passWord_;
    bool confirmed_ = false;
};

}  // namespace vendra
