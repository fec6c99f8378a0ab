#pragma once
#include "ostrel/Variant.h"

#include <QString>

namespace sembrin {

class fncPublicValue {
public:
    // The host's main object, shared by the whole process.
    ostrel::ObjectRef objMainCom() const;
    void setObjMainCom(ostrel::ObjectRef obj);

    // True when the setting reads "TRUE" in any letter case; a missing key gives false.
    bool IsTrueInisetting(const QString& key) const;
};

}  // namespace sembrin
