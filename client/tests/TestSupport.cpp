#include "TestSupport.h"

#include "vendra/frmIDandPassword.h"

#include "keplin/panBase.h"
#include "tavrin/frmOuthand.h"
#include "tessel/button.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace vendra::test {

Row rowOf(const ostrel::clsTable& t, int i) {
    Row r;
    for (int j = 0; j < t.NOF(); ++j) r << t.Cell(i, j);
    return r;
}

ostrel::TableRef table(int nof, std::vector<std::vector<ostrel::Variant>> rows) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(nof);
    for (auto& r : rows) t->AppendRec(ostrel::Variant::array(std::move(r)));
    t->MoveFirst();
    return t;
}

void answerDates(ModalDriver& driver, ostrel::Date from, ostrel::Date to) {
    driver.onNextModal([from, to](QWidget* w) {
        auto* day = qobject_cast<keplin::panInd*>(w);
        auto* period = qobject_cast<keplin::panIn2ds*>(w);
        ASSERT_TRUE(day || period);
        if (day) day->setdDate(from);
        if (period) period->setdDate1(from);
        if (period) period->setdDate2(to);
        QTest::keyClick(day ? day->button1() : period->button1(), Qt::Key_Return);
    });
}

QStringList press(ModalDriver& boxes, QAbstractButton* b, int n) {
    boxes.messages.clear();
    b->click();
    (void)QTest::qWaitFor([&] { return boxes.messages.size() >= n; }, 10000);
    return boxes.messages;
}

tavrin::frmOuthand* openViewer(QAbstractButton* b, const QString& title) {
    b->click();
    tavrin::frmOuthand* found = nullptr;
    (void)QTest::qWaitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* v = qobject_cast<tavrin::frmOuthand*>(w); v && v->isVisible() && v->windowTitle() == title)
                found = v;
        return found != nullptr;
    }, 10000);
    return found;
}

void closeViewers() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<tavrin::frmOuthand*>(w)) v->close();
}

std::unique_ptr<frmMain> logIn(ModalDriver& driver, ServerLink& link, const QString& password) {
    auto m = std::make_unique<frmMain>(link, QStringList{"shop", "farm"});
    driver.onNextModal([password](QWidget* w) {
        auto* login = qobject_cast<frmIDandPassword*>(w);
        ASSERT_TRUE(login);
        QTest::keyClicks(login->Text3, password);
        QTest::keyClick(login->Text2, Qt::Key_Return);  // Enter in an ID box presses "확인"
    });
    if (!m->Load()) return nullptr;
    m->show();
    return m;
}

struct Store::Server {
    QTemporaryDir dir;
    QProcess process;
    QString url;
};
Store::Server* Store::server_ = nullptr;

QString Store::url() { return server_->url; }

int Store::admin(const QStringList& args) {
    QProcess p;
    p.start(VENDRA_SERVER_BIN, QStringList{"--db", server_->dir.filePath("store.db")} + args);
    p.closeWriteChannel();
    return p.waitForFinished(60000) ? p.exitCode() : -1;
}

void Store::SetUpTestSuite() {
    server_ = new Server;
    admin({"orderer", "add", "farm", "shop", "A", "--password", "pw1234"});
    const QString csv = server_->dir.filePath("prices.csv");
    QFile f(csv);
    if (f.open(QIODevice::WriteOnly))
        f.write("name,unit,grade,price,vat\n배추,포기,A,617,+\n사과,상자,A,1000,/\n대파,단,A,333,\n"
                "깐_마늘,kg,A,9000,\n양파,,A,500,\n배추,포기,B,700,+\n");
    f.close();
    admin({"prices", "import", "farm", csv});
    serve("0");
}

void Store::serve(const QString& port) {
    server_->process.start(VENDRA_SERVER_BIN, {"--db", server_->dir.filePath("store.db"), "serve", "--host",
                                               "127.0.0.1", "--port", port, "--quiet"});
    // The server prints its address once it listens.
    QByteArray line;
    while (!line.contains('\n') && server_->process.waitForReadyRead(20000))
        line += server_->process.readAllStandardOutput();
    const auto m = QRegularExpression("(http://[0-9.]+:[0-9]+)").match(QString::fromUtf8(line));
    server_->url = m.hasMatch() ? m.captured(1) : QString();
}

qint64 Store::pid() { return server_->process.processId(); }

void Store::restart() {
    const QString port = server_->url.section(':', -1);
    server_->process.terminate();
    server_->process.waitForFinished(10000);
    serve(port);
}

void Store::TearDownTestSuite() {
    server_->process.terminate();
    server_->process.waitForFinished(10000);
    delete server_;
    server_ = nullptr;
}

}  // namespace vendra::test
