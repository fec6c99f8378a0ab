#include "sembrin/fncDbBackup.h"

#include "ostrel/Database.h"
#include "ostrel/Progress.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/Variant.h"
#include "ostrel/fncDb.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace sembrin {

using namespace ostrel;

namespace {

const QString kMark = QStringLiteral("의");

// year년month월day일 at the start of `s` (numbers after optional spaces); the zero date otherwise.
Date dateInName(const QString& s) {
    qsizetype y = s.indexOf(u'년');
    qsizetype m = y < 0 ? -1 : s.indexOf(u'월', y + 1);
    qsizetype d = m < 0 ? -1 : s.indexOf(u'일', m + 1);
    if (d < 0) return {};
    try {
        return DateSerial(static_cast<int>(Val(s.left(y))), static_cast<int>(Val(s.mid(y + 1, m - y - 1))),
                          static_cast<int>(Val(s.mid(m + 1, d - m - 1))));
    } catch (const RuntimeError&) {
        return {};  // a year the calendar cannot hold is no date
    }
}

Date fromDateTime(const QDateTime& t) {
    Date day = DateSerial(t.date().year(), t.date().month(), t.date().day());
    return Date(day.serial + TimeSerial(t.time().hour(), t.time().minute(), t.time().second()));
}

}  // namespace

fncDbBackup::fncDbBackup(std::function<Date()> now) : now_(now ? std::move(now) : std::function<Date()>(Now)) {}

QString fncDbBackup::date2ymd(Date dDate) const {
    return QStringLiteral("%1년%2월%3일").arg(Year(dDate)).arg(Month(dDate)).arg(Day(dDate));
}

bool fncDbBackup::Is의Ymd(const QString& s) const {
    qsizetype at = s.indexOf(kMark);
    return at >= 0 && !dateInName(s.mid(at + 1)).isZero();
}

void fncDbBackup::dbBackUp(const QString& sPath, const QString& sName, const QString& sExt) const {
    auto wm = feedback().openProgress();
    wm->setCaption(QStringLiteral("장부 백업 중"));
    QString folder = sPath;
    while (folder.endsWith(u'/') || folder.endsWith(u'\\')) folder.chop(1);
    const QString source = folder + u'/' + sName + u'.' + sExt;
    const QString backup = folder + QStringLiteral("/backup/");
    auto copyName = [&](Date d, const QString& suffix) {
        return backup + sName + kMark + u' ' + date2ymd(d) + suffix + u'.' + sExt;
    };
    const QString temp = backup + sName + kMark + QStringLiteral(" 복사중.") + sExt;

    QFileInfo info(source);
    if (!info.exists()) throw RuntimeError::fileNotFound(source);
    if (!QDir().mkpath(backup)) throw RuntimeError::pathNotFound(backup);
    const Date today = DateOnly(now_());
    const Date changed = DateOnly(fromDateTime(info.lastModified()));
    const QString todayStart = copyName(today, QStringLiteral("초기"));
    fncDb f;
    // A copy takes its dated name only once it is whole and checked.
    auto copy = [&](const QString& from, const QString& to) {
        wm->setMessage(to + QStringLiteral(" 복사 중"));
        Database::Backup(from, temp);
        f.RenameUncon(temp, to);
    };
    if (changed == today) {
        copy(source, todayStart);
    } else {
        const QString day = copyName(changed, {});
        copy(source, day);
        f.KillUncon(copyName(changed, QStringLiteral("초기")));
        copy(day, todayStart);
    }

    // Clean-up: the ten newest dated copies of this database remain.
    struct Entry { QString file; Date date; };
    std::vector<Entry> entries;
    const QStringList files =
        QDir(backup).entryList({sName + kMark + QStringLiteral("*.") + sExt}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        Date d = dateInName(file.mid(sName.size() + 1));
        if (!d.isZero()) entries.push_back({file, d});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.date < b.date; });
    for (size_t i = 0; i + 10 < entries.size(); ++i) f.KillUncon(backup + entries[i].file);
}

}  // namespace sembrin
