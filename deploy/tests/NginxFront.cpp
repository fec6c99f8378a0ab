#include "NginxFront.h"
#include "ServerRig.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vendra::deploy::test {

namespace {

const QString kDeploy = QStringLiteral(VENDRA_DEPLOY_DIR);

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

NginxFront::NginxFront(int upstreamPort) {
    const QString nginx = QStandardPaths::findExecutable(QStringLiteral("nginx"), {"/usr/sbin", "/usr/bin"});
    if (nginx.isEmpty()) {
        problem_ = QStringLiteral("no nginx in /usr/sbin (scripts/setup installs it)");
        return;
    }
    if (!run(kDeploy + "/self-signed-cert", {dir_.filePath("cert")}) ||
        !run(kDeploy + "/self-signed-cert", {dir_.filePath("other")}))
        return;
    port_ = server::test::FreeLoopbackPort();
    const QString prefix = dir_.filePath(QStringLiteral("nginx"));
    if (!run(kDeploy + "/render-nginx",
             {"standalone", prefix, "--listen", QStringLiteral("127.0.0.1:%1").arg(port_), "--cert", caFile(), "--key",
              dir_.filePath("cert/key.pem"), "--upstream", QStringLiteral("127.0.0.1:%1").arg(upstreamPort)}))
        return;
    nginx_.setProcessChannelMode(QProcess::MergedChannels);
    nginx_.start(nginx, {"-p", prefix, "-c", prefix + "/nginx.conf", "-g", "daemon off;"});
    const bool up = nginx_.waitForStarted(5000) &&
                    QTest::qWaitFor([&] { return accepts(port_) || nginx_.state() == QProcess::NotRunning; }, 10000);
    if (!up || nginx_.state() == QProcess::NotRunning)
        problem_ = QStringLiteral("nginx did not start: ") + QString::fromLocal8Bit(nginx_.readAll());
}

NginxFront::~NginxFront() {
    if (nginx_.state() == QProcess::NotRunning) return;
    nginx_.terminate();
    if (!nginx_.waitForFinished(10000)) nginx_.kill();
    nginx_.waitForFinished(5000);
}

QString NginxFront::url(const char* path) const {
    return QStringLiteral("https://127.0.0.1:%1%2").arg(port_).arg(QString::fromLatin1(path));
}

QByteArray NginxFront::accessLog() const {
    QFile log(dir_.filePath(QStringLiteral("nginx/access.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool NginxFront::run(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return true;
    problem_ = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll()) + p.errorString();
    return false;
}

}  // namespace vendra::deploy::test
