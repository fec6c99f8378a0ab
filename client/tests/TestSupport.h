#pragma once
// Helpers of the client tests: driving modal windows, answering message boxes, the real order
// server on a free loopback port, and a scripted peer for replies the real server never sends.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QWidget;

namespace testsupport {

// Runs `act` on the first visible modal window that is not a message box (a panel or the login).
void whenModal(std::function<void(QWidget*)> act);

// Answers every message box with OK while it lives, keeping the texts in order.
class MessageBoxes {
public:
    MessageBoxes();
    ~MessageBoxes();
    QStringList texts() const { return texts_; }
    int count() const { return int(texts_.size()); }
    void clear() { texts_.clear(); }

private:
    QTimer timer_;
    QStringList texts_;
};

// The real order server on its own store in a temporary folder.
class TestServer {
public:
    TestServer();
    ~TestServer();

    // Runs one administration command on the store; its exit code. Output goes to `output`.
    int admin(const QStringList& args, QString* output = nullptr);
    // Receiver "farm", orderer "shop" of grade "A" with the password "pw1234".
    void seedBasic();
    void prices(const QString& csvUtf8);  // "name,unit,grade,price,flag" lines
    // Serves on a free port; returns false when the server did not come up.
    bool start(const QStringList& extra = {});
    void stop();
    QString url() const { return url_; }
    QString dir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString db_;
    QProcess proc_;
    QString url_;
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

// A loopback port with nothing listening on it.
int closedPort();

}  // namespace testsupport
