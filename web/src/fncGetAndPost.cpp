#include "corvane/fncGetAndPost.h"

#include "corvane/UrlEncoding.h"
#include "corvane/ValueText.h"

#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"

#include <QByteArray>
#include <QFile>
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>

using ostrel::RuntimeError;
using ostrel::Variant;

namespace corvane {

namespace {


// The cookie jar of the run, and its TLS sessions: one curl share handle that every request
// attaches to. It lives in memory only; nothing is read from or written to disk.
class CookieJar {
public:
    static CookieJar& instance() {
        static CookieJar jar;
        return jar;
    }
    CURLSH* share() const { return share_; }

private:
    CookieJar() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieJar::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieJar::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        // A request after the first to a server resumes its TLS session instead of a full handshake
        // (curl resumes only under the same certificate checks).
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    ~CookieJar() { curl_share_cleanup(share_); }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CookieJar*>(self)->mutexes_[data % kLocks].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CookieJar*>(self)->mutexes_[data % kLocks].unlock();
    }

    static constexpr int kLocks = 8;
    CURLSH* share_ = nullptr;
    std::mutex mutexes_[kLocks];
};

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct Reply {
    QByteArray body;
    int64_t limit = 0;
    bool tooLarge = false;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* reply = static_cast<Reply*>(user);
    const size_t n = size * count;
    if (static_cast<int64_t>(reply->body.size()) + static_cast<int64_t>(n) > reply->limit) {
        reply->tooLarge = true;
        return 0;  // makes curl stop with a write error
    }
    reply->body.append(data, static_cast<qsizetype>(n));
    return n;
}

// The target as bytes curl accepts: code page 949 like the values, and the bytes a URL cannot
// carry raw (controls, space, non-ASCII) percent-encoded.
QByteArray targetBytes(const QString& target) {
    const QByteArray raw = ostrel::cp949::encode(target);
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(raw.size());
    for (char c : raw) {
        auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) {
            out.append('%');
            out.append(hex[b >> 4]);
            out.append(hex[b & 0xF]);
        } else {
            out.append(c);
        }
    }
    return out;
}

// The charset parameter of a Content-Type value, lower-cased ("" when there is none).
QByteArray charsetOf(const char* contentType) {
    if (!contentType) return {};
    QByteArray ct = QByteArray(contentType).toLower();
    qsizetype p = ct.indexOf("charset=");
    if (p < 0) return {};
    QByteArray cs = ct.mid(p + 8);
    qsizetype end = cs.indexOf(';');
    if (end >= 0) cs.truncate(end);
    cs = cs.trimmed();
    if (cs.size() >= 2 && (cs.startsWith('"') || cs.startsWith('\''))) cs = cs.mid(1, cs.size() - 2);
    return cs;
}

QString decodeReply(const QByteArray& body, const QByteArray& charset) {
    static const QByteArray korean[] = {"euc-kr", "euckr", "cp949", "uhc", "ks_c_5601-1987", "x-windows-949",
                                        "windows-949", "ks_c_5601", "ksc5601"};
    for (const QByteArray& name : korean)
        if (charset == name) return ostrel::cp949::decode(body);
    if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii")
        return QString::fromLatin1(body);
    QByteArrayView bytes(body);
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);  // a byte order mark is no text
    return QString::fromUtf8(bytes);
}

constexpr int kWaitSliceMs = 20;

// Runs one transfer to its end, giving `hook` a turn between slices of waiting. Sets `cancelled`
// and stops early when the hook says so.
CURLcode perform(CURL* easy, const std::function<bool()>& hook, bool& cancelled) {
    cancelled = false;
    if (!hook) return curl_easy_perform(easy);
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi) throw RuntimeError::outOfMemory(QStringLiteral("no HTTP request object"));
    curl_multi_add_handle(multi.get(), easy);
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* m = curl_multi_info_read(multi.get(), &left))
                if (m->msg == CURLMSG_DONE) result = m->data.result;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, kWaitSliceMs, nullptr);
        if (!hook()) {
            cancelled = true;
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

}  // namespace

bool fncGetAndPost::SendGet(const QString& url, const QString& parameter, QString& responseText) const {
    return send(false, url, parameter, responseText);
}

bool fncGetAndPost::SendPost(const QString& url, const QString& parameter, QString& responseText) const {
    return send(true, url, parameter, responseText);
}

bool fncGetAndPost::send(bool post, const QString& url, const QString& parameter, QString& responseText) const {
    CookieJar& jar = CookieJar::instance();
    const QByteArray target = targetBytes(post || parameter.isEmpty() ? url : url + QLatin1Char('?') + parameter);
    // The body goes out as code page 949, the encoding the requests declare; encoded pieces are
    // plain ASCII anyway.
    const QByteArray body = post ? ostrel::cp949::encode(parameter) : QByteArray();

    std::unique_ptr<curl_slist, ListDeleter> headers;
    {
        curl_slist* list = nullptr;
        if (post) {
            list = curl_slist_append(list, "Content-Type: application/x-www-form-urlencoded");
            list = curl_slist_append(list, "Expect:");  // no 100-continue round trip on large bodies
        } else {
            list = curl_slist_append(list, "Content: charset=euc-kr");
        }
        headers.reset(list);
    }

    const QByteArray caFile = QFile::encodeName(caFile_);

    lastTries_ = 0;
    lastError_.clear();
    lastStatus_ = 0;
    lastCancelled_ = false;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto elapsedMs = [start] {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    };
    std::function<bool()> hook;
    if (waitHook_) hook = [this, &elapsedMs] { return waitHook_(elapsedMs()); };
    // A try left with only a few milliseconds cannot get an answer; curl may also end the last try a
    // millisecond before this clock reaches the call limit.
    constexpr int kShortestRetryMs = 50;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        const int remaining = callTimeoutMs_ - elapsedMs();
        if (remaining <= 0 || (attempt > 1 && remaining < kShortestRetryMs)) {
            lastError_ = QStringLiteral("no reply within %1 ms").arg(callTimeoutMs_);
            break;
        }
        lastTries_ = attempt;
        std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
        if (!easy) throw RuntimeError::outOfMemory(QStringLiteral("no HTTP request object"));
        CURL* h = easy.get();
        char errorText[CURL_ERROR_SIZE] = {};
        Reply reply;
        reply.limit = maxReplyBytes_;

        curl_easy_setopt(h, CURLOPT_URL, target.constData());
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(connectTimeoutMs_, remaining)));
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(std::min(totalTimeoutMs_, remaining)));
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxReplyBytes_));
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile.isEmpty()) curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
        curl_easy_setopt(h, CURLOPT_SHARE, jar.share());
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");  // cookie engine on, in memory only
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &collect);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
        if (post) {
            curl_easy_setopt(h, CURLOPT_POST, 1L);
            curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
            curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.constData());
        } else {
            curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        }

        bool cancelled = false;
        const CURLcode rc = perform(h, hook, cancelled);
        if (cancelled) {
            lastCancelled_ = true;
            lastError_ = QStringLiteral("cancelled");
            break;
        }
        if (rc == CURLE_OK) {
            char* contentType = nullptr;
            curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType);
            long status = 0;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
            lastStatus_ = static_cast<int>(status);
            responseText = decodeReply(reply.body, charsetOf(contentType));
            return true;
        }
        if (reply.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
            responseText.clear();
            lastError_ = QStringLiteral("reply larger than %1 bytes").arg(maxReplyBytes_);
            throw RuntimeError::outOfMemory(
                QStringLiteral("%1 from %2").arg(lastError_, QString::fromLatin1(target)));
        }
        lastError_ = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(rc));
        // A certificate that does not check out, or a CA file that cannot be read, stays so.
        if (rc == CURLE_PEER_FAILED_VERIFICATION || rc == CURLE_SSL_CACERT_BADFILE) break;
    }
    responseText.clear();
    return false;
}

QString fncGetAndPost::IndexedParaForm(const QString& subject, int i, const Variant& vValue) const {
    return ParaForm(subject + QLatin1Char('_') + QString::number(i), vValue);
}

QString fncGetAndPost::ParaForm(const QString& subject, const Variant& vValue) const {
    QString t = ValueToString(vValue);
    if (vValue.isString()) t = corvane::URLEncode(t);
    return subject + QLatin1Char('=') + t;
}

QString fncGetAndPost::URLEncode(const QString& strInput) const { return corvane::URLEncode(strInput); }

void fncGetAndPost::ClearCookies() {
    CookieJar& jar = CookieJar::instance();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return;
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, jar.share());
    curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace corvane
