#include "sembrin/fncPublicValue.h"

#include "Store.h"

namespace sembrin {

ostrel::ObjectRef fncPublicValue::objMainCom() const { return detail::store().mainCom; }
void fncPublicValue::setObjMainCom(ostrel::ObjectRef obj) { detail::store().mainCom = std::move(obj); }

bool fncPublicValue::IsTrueInisetting(const QString& key) const {
    ostrel::Variant v = detail::store().settings.value(key.toUpper());
    const QString* text = v.stringIf();
    return text && text->compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

}  // namespace sembrin
