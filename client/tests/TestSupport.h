#pragma once
// Helpers of the client tests: answering panels and windows, and the real order server.
#include "ModalDriver.h"
#include "ScriptedPeer.h"
#include "vendra/ServerLink.h"
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

// Queue on `driver`: confirm the date panel with `from`, or the period panel with `from` to `to`.
void answerDates(ModalDriver& driver, ostrel::Date from, ostrel::Date to = {});

// Clicks `b` with no message shown yet; the messages once `n` have come.
QStringList press(ModalDriver& boxes, QAbstractButton* b, int n = 1);

// Clicks `b`; the report viewer with that title once it shows, or nullptr. Closing every viewer.
tavrin::frmOuthand* openViewer(QAbstractButton* b, const QString& title);
void closeViewers();

// Logged in with `password` as shop at farm: the main window shown, or nullptr.
std::unique_ptr<frmMain> logIn(ModalDriver& driver, ServerLink& link, const QString& password = "pw1234");

// The real order server shared by the suite: farm sells five products to shop (grade A, pw1234).
class Store : public ::testing::Test {
public:
    static QString url();
    // Runs one administration command on the store; its exit code.
    static int admin(const QStringList& args);
    // The serving process's id (to pause it); a restart on the same address forgets every session.
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

// Logged in to the store as shop, the main window shown.
class LoggedIn : public Store {
protected:
    void SetUp() override { Store::SetUp(); ASSERT_TRUE(m = logIn(boxes, link)); }
    ServerLink link{url()};
    ModalDriver boxes;
    std::unique_ptr<frmMain> m;
};

}  // namespace vendra::test
