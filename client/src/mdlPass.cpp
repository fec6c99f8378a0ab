#include "vendra/mdlPass.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/Requests.h"
#include "vendra/frmMain.h"

#include "corvane/ValueText.h"

namespace vendra::mdlPass {

bool IsNewerVersion(const QString& serverVersion, const QString& caption) {
    // Binary comparison of UTF-16 code units; an absent version is "" and never newer.
    return QString::compare(serverVersion, caption, Qt::CaseSensitive) > 0;
}

bool Login(frmMain& main, ServerLink& server, const QString& ordererCI, const QString& receiverCI,
           const QString& passWord) {
    const Reply r = server.get(path::Login, LoginQuery(server.web(), ordererCI, receiverCI, passWord, server.stamp()));
    // An empty box would leave the user guessing: say which server did not answer, and how.
    if (const QString problem = ReplyProblem(r, server.baseUrl()); !problem.isEmpty()) {
        ostrel::showMessage(problem, &main);
        return false;
    }
    QString version, notice, dgr, failmsg;
    bool success = false;
    const QString unreadable = ReadReply([&] {
        const corvane::fncXML& x = server.xml();
        version = x.GetTag(r.text, u"version").toString();
        notice = x.GetTag(r.text, u"notice").toString();
        const ostrel::Variant ok = x.GetTag(r.text, u"success", corvane::valuetype::Boolean);
        success = ok.isBoolean() && ok.toBool();
        dgr = x.GetTag(r.text, u"dgr").toString();
        failmsg = x.GetTag(r.text, u"failmsg").toString();
    });
    if (!unreadable.isEmpty()) {
        ostrel::showMessage(unreadable, &main);
        return false;
    }
    if (IsNewerVersion(version, main.windowTitle()))
        ostrel::showMessage(QStringLiteral("새 버전이 나왔습니다.") + version + QStringLiteral(" 으로 업그레이드 하십시오."), &main);
    if (!notice.isEmpty()) ostrel::showMessage(notice, &main);
    if (success) {
        main.setLoginValues(ordererCI, dgr, receiverCI);
        return true;
    }
    ostrel::showMessage(failmsg.isEmpty() ? QStringLiteral("로그인하지 못했습니다.") : failmsg, &main);
    return false;
}

}  // namespace vendra::mdlPass
