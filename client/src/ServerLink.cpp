#include "vendra/ServerLink.h"

#include "ostrel/RuntimeError.h"
#include "vendra/order/Protocol.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace vendra {

// Shown while a call waits for the server; Esc (or closing it) cancels the call.
class WaitWindow : public QDialog {
public:
    explicit WaitWindow(const QString& baseUrl) {
        setObjectName(QStringLiteral("WaitWindow"));
        setWindowTitle(QStringLiteral("기다리는 중"));
        setModal(true);
        auto* text = new QLabel(QStringLiteral("주문 서버(%1)의 응답을 기다리고 있습니다.\n"
                                               "Esc 키를 누르면 기다리지 않고 취소합니다.").arg(baseUrl), this);
        text->setObjectName(QStringLiteral("Label1"));
        (new QVBoxLayout(this))->addWidget(text);
        connect(this, &QDialog::rejected, this, [this] { cancelled = true; });
    }
    bool cancelled = false;
};

namespace {
// Busy pointer for as long as a request blocks its caller.
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

bool ok(int status) { return status >= 200 && status < 300; }
}  // namespace

ServerLink::ServerLink(QString baseUrl) : base_(std::move(baseUrl)) {
    while (base_.endsWith(QLatin1Char('/'))) base_.chop(1);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        web_.setWaitHook([this](int elapsedMs) { return waiting(elapsedMs); });
}

QString ServerLink::url(const char* path) const { return base_ + QString::fromLatin1(path); }

Reply ServerLink::get(const char* path, const QString& query) { return exchange(false, path, query); }

Reply ServerLink::post(const char* path, const QString& body) { return exchange(true, path, body); }

Reply ServerLink::exchange(bool post, const char* path, const QString& parameter) {
    Reply r = once(post, path, parameter);
    if (r.status != 403 || !relogin_ || relogging_ || qstrcmp(path, path::Login) == 0) return r;
    relogging_ = true;
    const bool again = relogin_();
    relogging_ = false;
    return again ? once(post, path, parameter) : r;
}

Reply ServerLink::once(bool post, const char* path, const QString& parameter) {
    BusyCursor busy;
    WaitWindow* outer = waitWindow_;  // a call made while another waits has a window of its own
    waitWindow_ = nullptr;
    Reply r;
    r.answered = post ? web_.SendPost(url(path), parameter, r.text) : web_.SendGet(url(path), parameter, r.text);
    r.status = web_.LastStatus();
    r.cancelled = web_.LastCancelled();
    delete waitWindow_;
    waitWindow_ = outer;
    return r;
}

bool ServerLink::waiting(int elapsedMs) {
    if (!waitWindow_ && elapsedMs >= kWaitWindowAfterMs) {
        waitWindow_ = new WaitWindow(base_);
        waitWindow_->show();
    }
    // Paint and run timers; the keyboard and mouse only once the wait window, which is modal, is up.
    QCoreApplication::processEvents(waitWindow_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !(waitWindow_ && waitWindow_->cancelled);
}

QString ServerLink::chooseBaseUrl(const QString& fromCommandLine) {
    if (!fromCommandLine.isEmpty()) return fromCommandLine;
    const QString env = qEnvironmentVariable("VENDRA_SERVER");
    if (!env.isEmpty()) return env;
    return QStringLiteral("http://127.0.0.1:8080");
}

QString ServerLink::chooseCaFile(const QString& fromCommandLine) {
    if (!fromCommandLine.isEmpty()) return fromCommandLine;
    return qEnvironmentVariable("VENDRA_CA_FILE");
}

QString UnreachableMessage(const QString& baseUrl) {
    return QStringLiteral("주문 서버(%1)에 연결할 수 없습니다.").arg(baseUrl);
}

QString ReplyProblem(const Reply& r, const QString& baseUrl) {
    if (r.cancelled) return QStringLiteral("주문 서버(%1)의 응답을 기다리지 않고 취소했습니다.").arg(baseUrl);
    if (!r.answered) return UnreachableMessage(baseUrl);
    if (ok(r.status)) return QString();
    QString why;
    ReadReply([&] { why = corvane::fncXML().GetTag(r.text, u"failmsg").toString(); });
    if (why.isEmpty()) why = QStringLiteral("주문 서버가 요청을 처리하지 못했습니다.");
    return why + QStringLiteral(" (HTTP %1)").arg(r.status);
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
