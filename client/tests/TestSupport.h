#pragma once
// Helpers of the client tests: answering the panels and the login, and the real order server on a
// free loopback port.
#include "ModalDriver.h"
#include "ScriptedPeer.h"
#include "vendra/frmMain.h"

#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"

#include <QList>
#include <QPushButton>
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

// Queue on `d`: confirm the date panel with `d`, the period panel with `from` to `to`.
void answerDate(ModalDriver& driver, ostrel::Date d);
void answerPeriod(ModalDriver& driver, ostrel::Date from, ostrel::Date to);
// Queue on `d`: answer the login window with `password`.
void answerLogin(ModalDriver& driver, const QString& password);

// The visible report viewer with that title, or nullptr; closing every viewer.
tavrin::frmOuthand* viewerTitled(const QString& title);
void closeViewers();

// The login window answered with `password` for `orderer` at "farm"; the main window, shown, or
// nullptr when the login failed.
std::unique_ptr<frmMain> logIn(ModalDriver& driver, ServerLink& link, const QString& password = "pw1234",
                               const QString& orderer = "shop");

// The real order server on its own store, shared by the suite: farm sells five products to shop
// (grade A, password pw1234).
class Store : public ::testing::Test {
public:
    static QString url();
    // Runs one administration command on the store; its exit code.
    static int admin(const QStringList& args);
    // The serving process: its id (to pause it), and a restart on the same address, which forgets
    // every session.
    static qint64 pid();
    static void restart();

protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override { ASSERT_FALSE(url().isEmpty()) << "order server did not start"; }
    void TearDown() override { closeViewers(); }

private:
    static void serve(const QString& port);
    struct Server;
    static Server* server_;
};

}  // namespace vendra::test
