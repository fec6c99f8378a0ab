#include "vendra/ServerLink.h"

#include "ostrel/RuntimeError.h"

#include <QApplication>
#include <QCursor>

namespace vendra {

namespace {
// Busy pointer for as long as a request blocks the user-interface thread.
class BusyCursor {
public:
    BusyCursor() {
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            active_ = true;
        }
    }
    ~BusyCursor() {
        if (active_) QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool active_ = false;
};
}  // namespace

ServerLink::ServerLink(QString baseUrl) : base_(std::move(baseUrl)) {
    while (base_.endsWith(QLatin1Char('/'))) base_.chop(1);
}

QString ServerLink::url(const char* path) const { return base_ + QString::fromLatin1(path); }

Reply ServerLink::get(const char* path, const QString& query) {
    BusyCursor busy;
    Reply r;
    r.answered = web_.SendGet(url(path), query, r.text);
    return r;
}

Reply ServerLink::post(const char* path, const QString& body) {
    BusyCursor busy;
    Reply r;
    r.answered = web_.SendPost(url(path), body, r.text);
    return r;
}

QString ServerLink::chooseBaseUrl(const QString& fromCommandLine) {
    if (!fromCommandLine.isEmpty()) return fromCommandLine;
    const QString env = qEnvironmentVariable("VENDRA_SERVER");
    if (!env.isEmpty()) return env;
    return QStringLiteral("http://127.0.0.1:8080");
}

QString UnreachableMessage(const QString& baseUrl) {
    return QStringLiteral("주문 서버(%1)에 연결할 수 없습니다.").arg(baseUrl);
}

QString ReadReply(const std::function<void()>& read) {
    try {
        read();
        return QString();
    } catch (const ostrel::RuntimeError& e) {
        QString s = QStringLiteral("주문 서버의 응답을 읽을 수 없습니다.");
        if (!e.description().isEmpty()) s += QStringLiteral("\n(") + e.description() + QLatin1Char(')');
        return s;
    }
}

}  // namespace vendra
