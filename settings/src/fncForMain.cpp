#include "sembrin/fncForMain.h"

#include "Store.h"
#include "ostrel/Cp949.h"
#include "ostrel/TrimSpaces.h"
#include "ostrel/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

namespace sembrin {

bool fncForMain::LoadIni(QString PathName, QString FileName) const {
    // Either separator ends a folder: hosts written for the other platform pass "\".
    if (!PathName.endsWith(QLatin1Char('\\')) && !PathName.endsWith(QLatin1Char('/')))
        PathName += QLatin1Char('/');
    if (PathName.endsWith(QLatin1Char('\\'))) PathName[PathName.size() - 1] = QLatin1Char('/');
    const QString full = PathName + FileName;
    if (FileName.isEmpty() || !QFileInfo(full).isFile()) return false;

    QFile file(full);
    if (!file.open(QIODevice::ReadOnly))
        throw ostrel::RuntimeError::pathFileAccess(full);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ostrel::RuntimeError::pathFileAccess(full);

    auto& settings = detail::store().settings;
    // A line ends at CR LF, LF or a lone CR.
    bytes.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray& line : bytes.split('\n')) {
        const QString text = ostrel::cp949::decode(line);
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq < 1) continue;  // no "=", or a line that starts with it
        settings.set(ostrel::trimSpaces(text.left(eq)).toString(),
                     ostrel::trimSpaces(text.mid(eq + 1)).toString());
    }
    return true;
}

}  // namespace sembrin
