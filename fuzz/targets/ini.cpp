// LoadIni's line reader over any settings file (code page 949 bytes): every line with "=" after
// its first character sets its trimmed key to its trimmed value, the last line for a key winning.
#include "FuzzSupport.h"

#include "ostrel/Cp949.h"
#include "ostrel/TrimSpaces.h"
#include "sembrin/fncForMain.h"
#include "sembrin/pptPublicValue.h"

#include "Store.h"  // the settings start empty for every input

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

namespace {

QTemporaryDir& folder() {
    // In memory where the system offers it: the file is written once per input.
    static QTemporaryDir dir(QFileInfo::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/vendra-ini-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/vendra-ini-XXXXXX"));
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sembrin::detail::store().settings.clear();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = folder().path();
    {
        QFile file(path + QStringLiteral("/fuzz.ini"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    }
    const bool loaded = sembrin::fncForMain().LoadIni(path, QStringLiteral("fuzz.ini"));
    FUZZ_EXPECT(loaded, QStringLiteral("an existing file was not loaded"));

    // The last value of each key, keys compared as the accessors compare them (upper case).
    QHash<QString, QString> last;
    QByteArray normalised = bytes;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray& line : normalised.split('\n')) {
        const QString text = ostrel::cp949::decode(line);
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq < 1) continue;
        last.insert(ostrel::trimSpaces(QStringView(text).left(eq)).toString().toUpper(),
                    ostrel::trimSpaces(QStringView(text).mid(eq + 1)).toString());
    }
    sembrin::pptPublicValue store;
    for (auto it = last.constBegin(); it != last.constEnd(); ++it) {
        QString key = it.key();
        const QString value = store.inisetting(key).toString();
        FUZZ_EXPECT(value == it.value(), QStringLiteral("%1 read as [%2], stored [%3]").arg(key, it.value(), value));
    }
    return 0;
}
