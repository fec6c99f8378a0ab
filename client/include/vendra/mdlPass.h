#pragma once
// The login request and its version check and login notice.
#include <QString>

namespace vendra {

class ServerLink;
class frmMain;

namespace mdlPass {

// Sends the login; on success writes the three login cells of `main` and returns true. Every
// refusal, an unanswered request and an unreadable reply are explained in a message box.
bool Login(frmMain& main, ServerLink& server, const QString& ordererCI, const QString& receiverCI,
           const QString& passWord);

// Whether the server's version text announces a newer client than `caption` (ordinal comparison).
bool IsNewerVersion(const QString& serverVersion, const QString& caption);

}  // namespace mdlPass
}  // namespace vendra
