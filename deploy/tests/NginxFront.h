#pragma once
// nginx from Debian's package on a free loopback port, with the deployment's own site and a fresh
// self-signed certificate, in front of one upstream; stopped when it goes. Runs on a folder of its
// own beside the system's nginx, which it never touches.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vendra::deploy::test {

class NginxFront {
public:
    explicit NginxFront(int upstreamPort);
    ~NginxFront();
    NginxFront(const NginxFront&) = delete;
    NginxFront& operator=(const NginxFront&) = delete;

    // "" when it runs; else what failed, with nginx's own words.
    const QString& problem() const { return problem_; }
    int port() const { return port_; }
    QString url(const char* path) const;
    // The certificate nginx presents: the CA file a client trusts it by.
    QString caFile() const { return dir_.filePath(QStringLiteral("cert/cert.pem")); }
    // What the site's access log holds so far.
    QByteArray accessLog() const;
    // A self-signed certificate nginx does not present.
    QString otherCaFile() const { return dir_.filePath(QStringLiteral("other/cert.pem")); }

private:
    bool run(const QString& program, const QStringList& args);

    QTemporaryDir dir_;
    QProcess nginx_;
    int port_ = 0;
    QString problem_;
};

}  // namespace vendra::deploy::test
