#pragma once
// A partner's code, group and sort key, from copies of the non-withdrawn partners (see IdleCache).
#include "sorvic/IdleCache.h"

#include <QString>

namespace sorvic {

class fncGrc {
public:
    explicit fncGrc(Clock now = {});

    QString grc2code(const QString& sGrc);   // "" when not found
    QString grc2group(const QString& sGrc);  // the partner's `gr`; "" when not found
    QString GrcOrder(const QString& sGrc);   // as fncPrj's sort keys

private:
    ostrel::Date now() const;
    Clock now_;
    IdleCache code_, group_, order_;
};

}  // namespace sorvic
