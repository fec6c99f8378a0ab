#include "vendra/order/Protocol.h"

namespace vendra {

QString LockedOrderMessage() { return QStringLiteral("상대방이 이미 수주를 했기 때문에 수정할 수 없습니다."); }

}  // namespace vendra
