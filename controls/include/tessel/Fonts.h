#pragma once
// The Korean fonts the controls name, and what stands in for them here.
#include <QFont>
#include <QString>

namespace tessel {

inline const QString kGulim = QStringLiteral("굴림");      // proportional
inline const QString kGulimChe = QStringLiteral("굴림체");  // fixed pitch: cells and labels

// Registers "굴림" -> NanumGothic and "굴림체" -> NanumGothicCoding as QFont substitutions.
// Idempotent; every control calls it on creation, programs may call it at start.
void registerFontSubstitutions();
// The font of a cell: "굴림체" at `pointSize`.
QFont cellFont(double pointSize);
// "굴림" at `pointSize`.
QFont captionFont(double pointSize);

}  // namespace tessel
