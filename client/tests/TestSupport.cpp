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
#include <httplib.h>
#include <map>
#include <mutex>
#include <thread>

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

void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || qobject_cast<QMessageBox*>(modal)) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(5);
}

void answerDate(ostrel::Date d) {
    whenModal([d](QWidget* w) {
        if (auto* p = qobject_cast<keplin::panInd*>(w)) {
            p->setdDate(d);
            QTest::keyClick(p->button1(), Qt::Key_Return);
        }
    });
}

void answerPeriod(ostrel::Date from, ostrel::Date to) {
    whenModal([from, to](QWidget* w) {
        if (auto* p = qobject_cast<keplin::panIn2ds*>(w)) {
            p->setdDate1(from);
            p->setdDate2(to);
            QTest::keyClick(p->button1(), Qt::Key_Return);
        }
    });
}

tavrin::frmOuthand* viewerTitled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<tavrin::frmOuthand*>(w); v && v->isVisible() && v->windowTitle() == title) return v;
    return nullptr;
}

void closeViewers() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<tavrin::frmOuthand*>(w)) v->close();
}

std::unique_ptr<frmMain> logIn(ServerLink& link, const QString& password, const QString& orderer) {
    auto m = std::make_unique<frmMain>(link, QStringList{orderer, "farm"});
    whenModal([password](QWidget* w) {
        if (auto* login = qobject_cast<frmIDandPassword*>(w)) {
            login->Text3->setText(password);
            QTest::keyClick(login->Text2, Qt::Key_Return);  // Enter in an ID box presses "확인"
        }
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
    server_->process.start(VENDRA_SERVER_BIN, {"--db", server_->dir.filePath("store.db"), "serve", "--host",
                                               "127.0.0.1", "--port", "0", "--quiet"});
    // The server prints its address once it listens.
    QByteArray line;
    while (!line.contains('\n') && server_->process.waitForReadyRead(20000))
        line += server_->process.readAllStandardOutput();
    const auto m = QRegularExpression("(http://[0-9.]+:[0-9]+)").match(QString::fromUtf8(line));
    if (m.hasMatch()) server_->url = m.captured(1);
}

void Store::TearDownTestSuite() {
    server_->process.terminate();
    server_->process.waitForFinished(10000);
    delete server_;
    server_ = nullptr;
}

struct ScriptedPeer::Impl {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;
    std::map<std::string, Answer> answers;
    std::map<std::string, std::vector<std::string>> received;

    void serve(const httplib::Request& req, httplib::Response& res, bool post) {
        std::lock_guard<std::mutex> lock(mutex);
        const size_t q = req.target.find('?');
        received[req.path].push_back(post ? req.body : q == std::string::npos ? "" : req.target.substr(q + 1));
        const auto it = answers.find(req.path);
        res.status = it == answers.end() ? 404 : it->second.status;
        res.set_content(it == answers.end() ? "not here" : it->second.body, "text/plain; charset=utf-8");
    }
};

ScriptedPeer::ScriptedPeer() : d_(std::make_unique<Impl>()) {
    d_->server.Get(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { d_->serve(q, r, false); });
    d_->server.Post(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { d_->serve(q, r, true); });
    d_->port = d_->server.bind_to_any_port("127.0.0.1");
    d_->thread = std::thread([this] { d_->server.listen_after_bind(); });
    // A stop before the thread listens would be lost and leave it listening for ever.
    while (!d_->server.is_running()) std::this_thread::yield();
}

ScriptedPeer::~ScriptedPeer() {
    d_->server.stop();
    d_->thread.join();
}

void ScriptedPeer::on(const std::string& path, Answer a) {
    std::lock_guard<std::mutex> lock(d_->mutex);
    d_->answers[path] = std::move(a);
}

QString ScriptedPeer::url() const { return QStringLiteral("http://127.0.0.1:%1").arg(d_->port); }

std::vector<std::string> ScriptedPeer::received(const std::string& path) const {
    std::lock_guard<std::mutex> lock(d_->mutex);
    const auto it = d_->received.find(path);
    return it == d_->received.end() ? std::vector<std::string>{} : it->second;
}

QString goneUrl() { return ScriptedPeer().url(); }

}  // namespace vendra::test
