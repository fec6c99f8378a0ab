#include "vendra/mdlPass.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/Requests.h"
#include "vendra/frmMain.h"

#include "corvane/ValueText.h"
#include "ostrel/RuntimeError.h"

namespace vendra::mdlPass {

bool IsNewerVersion(const QString& serverVersion, const QString& caption) {
    // Binary comparison of UTF-16 code units; an absent version is "" and never newer.
    return QString::compare(serverVersion, caption, Qt::CaseSensitive) > 0;
}

bool Login(frmMain& main, ServerLink& server, const QString& ordererCI, const QString& receiverCI,
           const QString& passWord) {
    Reply r;
    QString version, notice, dgr, failmsg;
    bool success = false;
    try {
        const QString query = LoginQuery(server.web(), ordererCI, receiverCI, passWord, server.stamp());
        r = server.get(path::Login, query);
        const corvane::fncXML& x = server.xml();
        version = x.GetTag(r.text, u"version").toString();
        notice = x.GetTag(r.text, u"notice").toString();
        const ostrel::Variant ok = x.GetTag(r.text, u"success", corvane::valuetype::Boolean);
        success = ok.isBoolean() && ok.toBool();
        dgr = x.GetTag(r.text, u"dgr").toString();
        failmsg = x.GetTag(r.text, u"failmsg").toString();
    } catch (const ostrel::RuntimeError& e) {
        ShowMessage(&main, MalformedReplyMessage(e.description()));
        return false;
    }

    if (!r.answered) {
        // An empty box would leave the user guessing: say which server did not answer.
        ShowMessage(&main, UnreachableMessage(server.baseUrl()));
        return false;
    }
    if (IsNewerVersion(version, main.windowTitle()))
        ShowMessage(&main, QStringLiteral("새 버전이 나왔습니다.") + version + QStringLiteral(" 으로 업그레이드 하십시오."));
    if (!notice.isEmpty()) ShowMessage(&main, notice);
    if (success) {
        main.setLoginValues(ordererCI, dgr, receiverCI);
        return true;
    }
    ShowMessage(&main, failmsg.isEmpty() ? QStringLiteral("로그인하지 못했습니다.") : failmsg);
    return false;
}

}  // namespace vendra::mdlPass
