#include "sorvic/fncGrc.h"

#include "sorvic/fncPrj.h"

namespace sorvic {

namespace {
QHash<QString, QString> partners(const char* field) {
    return loadNamed(QStringLiteral("SELECT * FROM grc WHERE not deleted"), QStringLiteral("grc"),
                     QString::fromLatin1(field));
}
}  // namespace

fncGrc::fncGrc(Clock now) : now_(std::move(now)) {}

ostrel::Date fncGrc::now() const { return now_ ? now_() : ostrel::Now(); }

QString fncGrc::grc2code(const QString& sGrc) { return code_.get(now(), [] { return partners("code"); }).value(sGrc); }
QString fncGrc::grc2group(const QString& sGrc) { return group_.get(now(), [] { return partners("gr"); }).value(sGrc); }
QString fncGrc::GrcOrder(const QString& sGrc) {
    return orderKey(order_.get(now(), [] { return partners("code"); }), sGrc);
}

}  // namespace sorvic
