#pragma once
// One synchronous HTTP request per call, and the name=value pieces of a request body or query.
#include "ostrel/Variant.h"

#include <QString>
#include <cstdint>

namespace corvane {

class fncGetAndPost {
public:
    static constexpr int kTries = 3;
    static constexpr int kDefaultConnectTimeoutMs = 5000;
    static constexpr int kDefaultTotalTimeoutMs = 30000;
    static constexpr int64_t kDefaultMaxReplyBytes = 64LL * 1024 * 1024;

    // GET `url`, or `url` + "?" + `parameter` when there is one, with the header
    // "Content: charset=euc-kr". True when a reply was read, whatever its HTTP status; after three
    // failed tries `responseText` is "" and the result false. A reply above the size limit
    // raises error 7 without retrying.
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
    int64_t MaxReplyBytes() const { return maxReplyBytes_; }
    void setMaxReplyBytes(int64_t bytes) { maxReplyBytes_ = bytes; }

    // Tries made by the last call on this instance, and the cause of its last failure ("" when
    // the last try succeeded).
    int LastTries() const { return lastTries_; }
    QString LastError() const { return lastError_; }

    // Cookies live in memory for the whole run, shared by every instance; this forgets them all.
    static void ClearCookies();

private:
    bool send(bool post, const QString& url, const QString& parameter, QString& responseText) const;

    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    int totalTimeoutMs_ = kDefaultTotalTimeoutMs;
    int64_t maxReplyBytes_ = kDefaultMaxReplyBytes;
    mutable int lastTries_ = 0;
    mutable QString lastError_;
};

}  // namespace corvane
