#pragma once
// The one link to the order server for the whole run: its base URL and the shared instances of the
// stateless web classes (the single time stamp source keeps stamps distinct).
#include "corvane/fncGetAndPost.h"
#include "corvane/fncTimeStamp.h"
#include "corvane/fncXML.h"

#include <QString>
#include <functional>

namespace vendra {

// Result of one exchange: whether any reply was read, and the reply text ("" when none).
struct Reply {
    bool answered = false;
    QString text;
};

class ServerLink {
public:
    // `baseUrl` is scheme and host (and port), without a trailing "/": "http://127.0.0.1:8080".
    explicit ServerLink(QString baseUrl);

    const QString& baseUrl() const { return base_; }
    QString url(const char* path) const;

    // Blocking exchanges; the mouse pointer shows busy while they wait.
    Reply get(const char* path, const QString& query);
    Reply post(const char* path, const QString& body);

    QString stamp() { return stamp_.MakeTimeStamp(); }

    corvane::fncGetAndPost& web() { return web_; }
    const corvane::fncXML& xml() const { return xml_; }

    // The server base from the command line (--server), else VENDRA_SERVER, else the local default.
    static QString chooseBaseUrl(const QString& fromCommandLine);

private:
    QString base_;
    corvane::fncGetAndPost web_;
    corvane::fncTimeStamp stamp_;
    corvane::fncXML xml_;
};

// Korean text for the user when the server at `baseUrl` did not answer.
QString UnreachableMessage(const QString& baseUrl);
// Runs `read`, which takes what it needs out of a reply. When the reply cannot be read (the web
// library, or the tables built from it, raise a run-time error), returns the Korean message saying
// so with the error's description; otherwise "".
QString ReadReply(const std::function<void()>& read);

}  // namespace vendra
