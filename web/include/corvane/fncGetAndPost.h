#pragma once
// One synchronous HTTP request per call, and the name=value pieces of a request body or query.
#include "ostrel/Variant.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace corvane {

class fncGetAndPost {
public:
    static constexpr int kTries = 3;
    static constexpr int kDefaultConnectTimeoutMs = 5000;
    static constexpr int kDefaultTotalTimeoutMs = 30000;
    static constexpr int kDefaultCallTimeoutMs = 20000;
    static constexpr int64_t kDefaultMaxReplyBytes = 64LL * 1024 * 1024;

    // GET `url`, or `url` + "?" + `parameter` when there is one, with the header
    // "Content: charset=euc-kr". True when a reply was read, whatever its HTTP status (LastStatus);
    // after three failed tries, when the whole call outlasts CallTimeout, or when the wait hook
    // cancels it, `responseText` is "" and the result false. A reply above the size limit raises
    // error 7 without retrying.
    bool SendGet(const QString& url, const QString& parameter, QString& responseText) const;
    // POST `parameter` as the body to `url` with "Content-Type: application/x-www-form-urlencoded";
    // otherwise as SendGet.
    bool SendPost(const QString& url, const QString& parameter, QString& responseText) const;

    // subject + "_" + i + "=" + the encoded value.
    QString IndexedParaForm(const QString& subject, int i, const ostrel::Variant& vValue) const;
    // subject + "=" + the value's text, percent-encoded when the value is a string.
    QString ParaForm(const QString& subject, const ostrel::Variant& vValue) const;
    QString URLEncode(const QString& strInput) const;

    // Limits of one try: connecting, and the whole exchange (connect, send, reply).
    int ConnectTimeout() const { return connectTimeoutMs_; }
    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    int TotalTimeout() const { return totalTimeoutMs_; }
    void setTotalTimeout(int ms) { totalTimeoutMs_ = ms; }
    // Limit of a whole call, all its tries together.
    int CallTimeout() const { return callTimeoutMs_; }
    void setCallTimeout(int ms) { callTimeoutMs_ = ms; }
    int64_t MaxReplyBytes() const { return maxReplyBytes_; }
    void setMaxReplyBytes(int64_t bytes) { maxReplyBytes_ = bytes; }
    // The certificates an https server is checked against: a PEM file of trusted certificate
    // authorities (a supplier's own CA, or a self-signed certificate), instead of the system's;
    // "" for the system's. The check itself is always on.
    QString CaFile() const { return caFile_; }
    void setCaFile(const QString& path) { caFile_ = path; }

    // Called on the calling thread about every 20 ms while a call waits, with the milliseconds
    // since the call began; returning false cancels the call. The call stays synchronous: the hook
    // is where a caller keeps its windows painted or offers a way out.
    using WaitHook = std::function<bool(int elapsedMs)>;
    void setWaitHook(WaitHook hook) { waitHook_ = std::move(hook); }

    // Tries made by the last call on this instance, the cause of its last failure ("" when the
    // last try succeeded), the HTTP status of the reply it read (0 when none), and whether the
    // wait hook cancelled it.
    int LastTries() const { return lastTries_; }
    QString LastError() const { return lastError_; }
    int LastStatus() const { return lastStatus_; }
    bool LastCancelled() const { return lastCancelled_; }

    // Cookies live in memory for the whole run, shared by every instance; this forgets them all.
    static void ClearCookies();

private:
    bool send(bool post, const QString& url, const QString& parameter, QString& responseText) const;

    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    int totalTimeoutMs_ = kDefaultTotalTimeoutMs;
    int callTimeoutMs_ = kDefaultCallTimeoutMs;
    WaitHook waitHook_;
    int64_t maxReplyBytes_ = kDefaultMaxReplyBytes;
    QString caFile_;
    mutable int lastTries_ = 0;
    mutable QString lastError_;
    mutable int lastStatus_ = 0;
    mutable bool lastCancelled_ = false;
};

}  // namespace corvane
