#include "ostrel/fncFileName.h"

#include <QDir>

namespace ostrel {

void fncFileName::SplitPathFile(const QString& sFullName, QString& sPath, QString& sFile) const {
    qsizetype cut = std::max(sFullName.lastIndexOf(QLatin1Char('\\')), sFullName.lastIndexOf(QLatin1Char('/')));
    if (cut < 0) {
        sPath = QLatin1Char('.') + QDir::separator();
        sFile = sFullName;
        return;
    }
    sPath = sFullName.left(cut + 1);
    sFile = sFullName.mid(cut + 1);
}

void fncFileName::SplitPathBodyExt(const QString& sFullName, QString& sPath, QString& sBody, QString& sExt) const {
    QString file;
    SplitPathFile(sFullName, sPath, file);
    qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        sBody = file;
        sExt.clear();
        return;
    }
    sBody = file.left(dot);
    sExt = file.mid(dot + 1);
}

}  // namespace ostrel
