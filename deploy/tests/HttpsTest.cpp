// The client's web layer over HTTPS through the deployment's nginx site in front of a real server:
// the certificate is checked by default and trusted through the CA file option; the site passes
// sessions and order updates through, keeps passwords out of its log, and refuses a body above the
// server's limit the server's way.
#include "NginxFront.h"
#include "ServerRig.h"
#include "SqliteStore.h"

#include <vendra/ServerLink.h>
#include <vendra/Startup.h>

#include <corvane/fncGetAndPost.h>
#include <corvane/fncXML.h>
#include <vendra/order/Protocol.h>

#include <WaitFor.h>
#include <gtest/gtest.h>

#include <memory>

using namespace vendra::server;
using namespace vendra::server::test;
using vendra::deploy::test::NginxFront;

namespace {

const QString kLogin = QStringLiteral("OrdererCI=shop&ReceiverCI=farm&PassWord=pw");

class HttpsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempStoreDir;
        {
            SqliteStore seed(dir_->path());
            AddOrderer(seed, "farm", "shop", "A", "pw");
        }
        server_ = new ServerProcess(dir_->pathStd());
        front_ = new NginxFront(server_->port());
    }
    static void TearDownTestSuite() {
        delete front_;
        delete server_;
        delete dir_;
    }
    void SetUp() override {
        ASSERT_GT(server_->port(), 0) << "the order server did not start";
        ASSERT_TRUE(front_->problem().isEmpty()) << front_->problem().toStdString();
        corvane::fncGetAndPost::ClearCookies();
    }

    static bool success(const QString& reply) { return corvane::fncXML().GetTag(reply, u"success", 11).toBool(); }

    static TempStoreDir* dir_;
    static ServerProcess* server_;
    static NginxFront* front_;
};
TempStoreDir* HttpsTest::dir_ = nullptr;
ServerProcess* HttpsTest::server_ = nullptr;
NginxFront* HttpsTest::front_ = nullptr;

TEST_F(HttpsTest, CertificateIsCheckedAndTrustedThroughTheCaFileOnly) {
    enum class Ca { Presented, None, Other, Missing };
    const struct {
        const char* name;
        Ca ca;
        bool answered;
        const char* errorPart;  // in LastError when not answered
    } cases[] = {
        {"the certificate nginx presents", Ca::Presented, true, ""},
        {"the system's authorities alone", Ca::None, false, "certificate"},
        {"another self-signed certificate", Ca::Other, false, "certificate"},
        {"a CA file that is not there", Ca::Missing, false, "missing-ca.pem"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        corvane::fncGetAndPost web;
        EXPECT_TRUE(web.CaFile().isEmpty()) << "the system's authorities by default";
        switch (c.ca) {
            case Ca::Presented: web.setCaFile(front_->caFile()); break;
            case Ca::None: break;
            case Ca::Other: web.setCaFile(front_->otherCaFile()); break;
            case Ca::Missing: web.setCaFile(front_->caFile() + "/missing-ca.pem"); break;
        }
        QString reply = QStringLiteral("left over");
        EXPECT_EQ(web.SendGet(front_->url(vendra::path::Login), kLogin, reply), c.answered);
        if (c.answered) {
            EXPECT_EQ(web.LastStatus(), 200);
            EXPECT_TRUE(success(reply)) << reply.toStdString();
        } else {
            EXPECT_EQ(reply, "");
            EXPECT_EQ(web.LastStatus(), 0);
            EXPECT_TRUE(web.LastError().contains(QString::fromLatin1(c.errorPart), Qt::CaseInsensitive))
                << web.LastError().toStdString();
            EXPECT_EQ(web.LastTries(), 1) << "a certificate that does not check out is not tried again";
        }
    }
}

// The client's own option: --ca-file FILE or --ca-file=FILE, else VENDRA_CA_FILE, else the system's.
TEST_F(HttpsTest, ClientTakesItsCaFileFromTheCommandLineElseTheEnvironment) {
    const QString ca = front_->caFile();
    const struct {
        const char* name;
        QStringList args;
        QString environment;
        bool answered;
    } cases[] = {
        {"--ca-file FILE", {"--ca-file", ca, "shop"}, {}, true},
        {"--ca-file=FILE", {"shop", "--ca-file=" + ca}, {}, true},
        {"VENDRA_CA_FILE", {"shop"}, ca, true},
        {"the command line before the environment", {"--ca-file", ca, "shop"}, front_->otherCaFile(), true},
        {"neither", {"shop"}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.environment.isEmpty())
            qunsetenv("VENDRA_CA_FILE");
        else
            qputenv("VENDRA_CA_FILE", c.environment.toLocal8Bit());
        const vendra::CommandLine cl = vendra::ParseCommandLine(c.args);
        ASSERT_TRUE(cl.valid);
        EXPECT_EQ(cl.words.value(0), "shop") << "the option and its value are no IDs";
        vendra::ServerLink link(front_->url(""));
        link.web().setCaFile(vendra::ServerLink::chooseCaFile(cl.caFile));
        EXPECT_EQ(link.get(vendra::path::Login, kLogin).answered, c.answered);
    }
    qunsetenv("VENDRA_CA_FILE");
    const vendra::CommandLine missing = vendra::ParseCommandLine({"shop", "--ca-file"});
    EXPECT_FALSE(missing.valid);
    EXPECT_TRUE(missing.error.contains("--ca-file")) << missing.error.toStdString();
}

TEST_F(HttpsTest, SessionAndOrderUpdatesPassThroughToTheInstance) {
    corvane::fncGetAndPost web;
    web.setCaFile(front_->caFile());
    const QString update = front_->url(vendra::path::OrdersUpdate);
    const QString body = OrderUpdateBody("2024-05-01", {{"배추", "3", "1000", "+", "3000", "300", "3300", "비고"}});
    QString reply;
    ASSERT_TRUE(web.SendPost(update, body, reply));
    EXPECT_EQ(web.LastStatus(), 403) << "no session yet";

    ASSERT_TRUE(web.SendGet(front_->url(vendra::path::Login), kLogin, reply));
    ASSERT_TRUE(success(reply)) << reply.toStdString();
    // The log names the login without the password its query carries.
    WAIT_FOR(front_->accessLog().contains(vendra::path::Login));
    EXPECT_FALSE(front_->accessLog().contains("PassWord")) << front_->accessLog().toStdString();
    // Several requests, so that nginx reuses its kept-alive connection to the instance.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(web.SendPost(update, body, reply));
        EXPECT_EQ(web.LastStatus(), 200);
        EXPECT_TRUE(success(reply)) << reply.toStdString();
    }
}

TEST_F(HttpsTest, BodyAboveTheServerLimitIsRefusedInTagText) {
    corvane::fncGetAndPost web;
    web.setCaFile(front_->caFile());
    const struct {
        qsizetype bytes;
        int status;
    } cases[] = {{1024 * 1024 - 64, 403}, {1024 * 1024 + 1, 413}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        QString reply;
        ASSERT_TRUE(web.SendPost(front_->url(vendra::path::OrdersUpdate), QString(c.bytes, QLatin1Char('x')), reply));
        EXPECT_EQ(web.LastStatus(), c.status);
        EXPECT_FALSE(success(reply));
        EXPECT_FALSE(corvane::fncXML().GetTag(reply, u"failmsg").toString().isEmpty()) << reply.toStdString();
    }
}

}  // namespace
