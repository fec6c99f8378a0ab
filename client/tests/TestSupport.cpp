#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <httplib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

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

MessageBoxes::MessageBoxes() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible() || box->property("answered").toBool()) continue;
            box->setProperty("answered", true);
            texts_ << box->text();
            QMetaObject::invokeMethod(box, [box] { box->button(QMessageBox::Ok)->click(); }, Qt::QueuedConnection);
        }
    });
    timer_.start(5);
}

MessageBoxes::~MessageBoxes() { timer_.stop(); }

TestServer::TestServer() { db_ = dir_.filePath(QStringLiteral("store.db")); }

TestServer::~TestServer() { stop(); }

int TestServer::admin(const QStringList& args, QString* output) {
    QProcess p;
    p.start(QStringLiteral(VENDRA_SERVER_BIN), QStringList{QStringLiteral("--db"), db_} + args);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) return -1;
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

void TestServer::seedBasic() {
    admin({QStringLiteral("orderer"), QStringLiteral("add"), QStringLiteral("farm"), QStringLiteral("shop"),
           QStringLiteral("A"), QStringLiteral("--password"), QStringLiteral("pw1234")});
}

void TestServer::prices(const QString& csv) {
    const QString file = dir_.filePath(QStringLiteral("prices.csv"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    f.write(csv.toUtf8());
    f.close();
    admin({QStringLiteral("prices"), QStringLiteral("import"), QStringLiteral("farm"), file});
}

bool TestServer::start(const QStringList& extra) {
    proc_.setProcessChannelMode(QProcess::SeparateChannels);
    proc_.start(QStringLiteral(VENDRA_SERVER_BIN),
                QStringList{QStringLiteral("--db"), db_, QStringLiteral("serve"), QStringLiteral("--host"),
                            QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0"),
                            QStringLiteral("--quiet")} +
                    extra);
    if (!proc_.waitForStarted(10000)) return false;
    QByteArray line;
    QElapsedTimer t;
    t.start();
    while (!line.contains('\n') && t.elapsed() < 20000) {
        if (!proc_.waitForReadyRead(200) && proc_.state() != QProcess::Running) return false;
        line += proc_.readAllStandardOutput();
    }
    const auto m = QRegularExpression(QStringLiteral("(http://[0-9.]+:[0-9]+)")).match(QString::fromUtf8(line));
    if (!m.hasMatch()) return false;
    url_ = m.captured(1);
    return true;
}

void TestServer::stop() {
    if (proc_.state() == QProcess::NotRunning) return;
    proc_.terminate();
    if (!proc_.waitForFinished(10000)) {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
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
        std::string raw;
        if (post) {
            raw = req.body;
        } else {
            const size_t q = req.target.find('?');
            raw = q == std::string::npos ? std::string() : req.target.substr(q + 1);
        }
        received[req.path].push_back(raw);
        auto it = answers.find(req.path);
        if (it == answers.end()) {
            res.status = 404;
            res.set_content("not here", "text/plain");
            return;
        }
        res.status = it->second.status;
        res.set_content(it->second.body, "text/plain; charset=utf-8");
    }
};

ScriptedPeer::ScriptedPeer() : d_(std::make_unique<Impl>()) {
    d_->server.Get(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { d_->serve(q, r, false); });
    d_->server.Post(R"(.*)", [this](const httplib::Request& q, httplib::Response& r) { d_->serve(q, r, true); });
    d_->port = d_->server.bind_to_any_port("127.0.0.1");
    d_->thread = std::thread([this] { d_->server.listen_after_bind(); });
    // Bound already: connections wait in the backlog until the thread accepts them.
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
    auto it = d_->received.find(path);
    return it == d_->received.end() ? std::vector<std::string>{} : it->second;
}

int closedPort() {
    // Bind to a free port and give it back: nothing listens there afterwards.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

}  // namespace testsupport
