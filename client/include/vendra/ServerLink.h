#pragma once
// The one link to the order server for the whole run: its base URL and the shared instances of the
// stateless web classes (the single time stamp source keeps stamps distinct).
#include "corvane/fncGetAndPost.h"
#include "corvane/fncTimeStamp.h"
#include "corvane/fncXML.h"

#include <QString>
#include <functional>

namespace vendra {

// Result of one exchange: whether any reply was read, its HTTP status (0 when none), whether the
// user cancelled the wait, and the reply text ("" when none).
struct Reply {
    bool answered = false;
    int status = 0;
    bool cancelled = false;
    QString text;
};

class ServerLink {
public:
    // Waiting this long for a reply brings up the wait window.
    static constexpr int kWaitWindowAfterMs = 1000;

    // `baseUrl` is scheme and host (and port), without a trailing "/": "http://127.0.0.1:8080".
    explicit ServerLink(QString baseUrl);

    const QString& baseUrl() const { return base_; }
    QString url(const char* path) const;

    // Synchronous exchanges. While one waits, the windows keep painting; after a second a wait
    // window names the server and Esc there cancels. A 403 (a lost session) asks `relogin` once and,
    // when it logged in again, repeats the request once.
    Reply get(const char* path, const QString& query);
    Reply post(const char* path, const QString& body);

    // Logs in again after the server forgot the session; true when it did.
    void setRelogin(std::function<bool()> relogin) { relogin_ = std::move(relogin); }

    QString stamp() { return stamp_.MakeTimeStamp(); }

    corvane::fncGetAndPost& web() { return web_; }
    const corvane::fncXML& xml() const { return xml_; }

    // The server base from the command line (--server), else VENDRA_SERVER, else the local default.
    static QString chooseBaseUrl(const QString& fromCommandLine);
    // The CA file an https server's certificate is checked against, from the command line
    // (--ca-file), else VENDRA_CA_FILE, else "" (the system's certificate authorities).
    static QString chooseCaFile(const QString& fromCommandLine);

private:
    Reply exchange(bool post, const char* path, const QString& parameter);
    Reply once(bool post, const char* path, const QString& parameter);
    bool waiting(int elapsedMs);

    QString base_;
    corvane::fncGetAndPost web_;
    corvane::fncTimeStamp stamp_;
    corvane::fncXML xml_;
    std::function<bool()> relogin_;
    bool relogging_ = false;
    class WaitWindow* waitWindow_ = nullptr;  // of the call under way, once shown
};

// Korean text for the user when the server at `baseUrl` did not answer.
QString UnreachableMessage(const QString& baseUrl);
// Why `r` cannot be used as a reply: not answered, cancelled, or a status other than 2xx (with the
// reply's failmsg when it has one, and the status); "" when it can.
QString ReplyProblem(const Reply& r, const QString& baseUrl);
// Runs `read`, which takes what it needs out of a reply. When the reply cannot be read (the web
// library, or the tables built from it, raise a run-time error), returns the Korean message saying
// so with the error's description; otherwise "".
QString ReadReply(const std::function<void()>& read);

}  // namespace vendra
