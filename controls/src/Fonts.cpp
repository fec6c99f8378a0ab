#include "tessel/Fonts.h"

namespace tessel {

void registerFontSubstitutions() {
    static const bool done = [] {
        QFont::insertSubstitution(kGulim, QStringLiteral("NanumGothic"));
        QFont::insertSubstitution(kGulimChe, QStringLiteral("NanumGothicCoding"));
        return true;
    }();
    (void)done;
}

QFont cellFont(double pointSize) {
    registerFontSubstitutions();
    QFont f(kGulimChe);
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(pointSize > 0 ? pointSize : 1);
    return f;
}

QFont captionFont(double pointSize) {
    registerFontSubstitutions();
    QFont f(kGulim);
    f.setPointSizeF(pointSize > 0 ? pointSize : 1);
    return f;
}

}  // namespace tessel
