#pragma once
// Helpers of the client tests: driving modal windows, the real order server on a free loopback
// port, and a scripted peer for replies the real server never sends.
#include "vendra/frmMain.h"

#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QList>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>
#include <gtest/gtest.h>

namespace ostrel {
// Failure messages show values as text.
inline void PrintTo(const Variant& v, std::ostream* os) {
    *os << (v.isEmpty() ? "<empty>" : v.isNull() ? "<null>" : v.toString().toStdString());
}
}  // namespace ostrel

namespace tavrin {
class frmOuthand;
}

namespace vendra::test {

inline ostrel::Currency C(double v) { return ostrel::Currency::fromDouble(v); }

// Records compare field by field, as Variants do (empty = "" = 0).
using Row = QList<ostrel::Variant>;
Row rowOf(const ostrel::clsTable& t, int i);
// A table of `nof` fields holding `rows`, at its first record.
ostrel::TableRef table(int nof, std::vector<std::vector<ostrel::Variant>> rows);

// Runs `act` once on the first visible modal window that is not a message box.
void whenModal(std::function<void(QWidget*)> act);
// Confirms the date panel with `d`, the period panel with `from` to `to`, once it comes up.
void answerDate(ostrel::Date d);
void answerPeriod(ostrel::Date from, ostrel::Date to);

// While it lives, runs `act` on each modal window of type W as it comes up, with its 0-based count.
template <class W>
class WhenShown {
public:
    explicit WhenShown(std::function<void(W*, int)> act) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act] {
            auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!w || !w->isVisible() || w->property("seen").toBool()) return;
            w->setProperty("seen", true);
            act(w, seen_++);
        });
        timer_.start(5);
    }
    int seen() const { return seen_; }

private:
    QTimer timer_;
    int seen_ = 0;
};

// Answers every message box with OK, keeping the texts in order.
class MessageBoxes : public WhenShown<QMessageBox> {
public:
    MessageBoxes()
        : WhenShown([this](QMessageBox* box, int) {
              texts_ << box->text();
              QMetaObject::invokeMethod(box, [box] { box->button(QMessageBox::Ok)->click(); }, Qt::QueuedConnection);
          }) {}
    QStringList texts() const { return texts_; }
    int count() const { return int(texts_.size()); }
    void clear() { texts_.clear(); }

private:
    QStringList texts_;
};

// The visible report viewer with that title, or nullptr; closing every viewer.
tavrin::frmOuthand* viewerTitled(const QString& title);
void closeViewers();

// The login window answered with `password` for `orderer` at "farm"; the main window, shown, or
// nullptr when the login failed.
std::unique_ptr<frmMain> logIn(ServerLink& link, const QString& password = "pw1234", const QString& orderer = "shop");

// The real order server on its own store, shared by the suite: farm sells five products to shop
// (grade A, password pw1234).
class Store : public ::testing::Test {
public:
    static QString url();
    // Runs one administration command on the store; its exit code.
    static int admin(const QStringList& args);

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override { ASSERT_FALSE(url().isEmpty()) << "order server did not start"; }
    void TearDown() override { closeViewers(); }

private:
    struct Server;
    static Server* server_;
};

// A peer answering fixed replies per path from its own thread; keeps every request body/query.
class ScriptedPeer {
public:
    struct Answer {
        int status = 200;
        std::string body;
    };
    ScriptedPeer();
    ~ScriptedPeer();
    void on(const std::string& path, Answer a);
    QString url() const;
    // Raw bodies (POST) or queries (GET) received for `path`, in order.
    std::vector<std::string> received(const std::string& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The address of a peer that has gone: nothing listens there.
QString goneUrl();

}  // namespace vendra::test
