#pragma once
// Shared helpers of the server tests: temporary store files.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace vendra::server::test {

class TempStoreDir {
public:
    TempStoreDir() { dir_.setAutoRemove(true); }
    QString path(const QString& name = QStringLiteral("store.db")) const { return dir_.filePath(name); }
    std::string pathStd(const QString& name = QStringLiteral("store.db")) const { return path(name).toStdString(); }

private:
    QTemporaryDir dir_;
};

inline ostrel::Currency cur(double v) { return ostrel::Currency::fromDouble(v); }

}  // namespace vendra::server::test
