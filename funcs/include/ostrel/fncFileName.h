#pragma once
// Splits a file path into folder, name and extension.
#include <QString>

namespace ostrel {

class fncFileName {
public:
    // Splits at the last path separator ("\" or "/"): `sPath` keeps it, `sFile` is the rest. A name
    // without a separator gives the current folder ("." and the native separator) as `sPath`.
    void SplitPathFile(const QString& sFullName, QString& sPath, QString& sFile) const;
    // As SplitPathFile, then the file name at its last "." into body and extension (without the point).
    void SplitPathBodyExt(const QString& sFullName, QString& sPath, QString& sBody, QString& sExt) const;
};

}  // namespace ostrel
