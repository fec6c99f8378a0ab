#include "sembrin/pptZepPublicValue.h"

#include "Store.h"

namespace sembrin {

사업자 pptZepPublicValue::ZepPv사용자() const { return detail::store().user; }
void pptZepPublicValue::setZepPv사용자(const 사업자& v) { detail::store().user = v; }

bool pptZepPublicValue::ZepPv전자송장서버연결정상() const { return detail::store().invoiceServerOk; }
void pptZepPublicValue::setZepPv전자송장서버연결정상(bool v) { detail::store().invoiceServerOk = v; }

}  // namespace sembrin
