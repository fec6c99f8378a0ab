#include "tessel/Stru.h"

#include "ostrel/RuntimeError.h"

namespace tessel {

using ostrel::RuntimeError;
using ostrel::Variant;

InputProcessRef toInputProcess(const Variant& v) {
    if (!v.isObject()) return nullptr;
    return std::dynamic_pointer_cast<InputProcess>(v.toObject());
}

Variant fromInputProcess(const InputProcessRef& p) {
    if (!p) return Variant();
    return Variant(ostrel::ObjectRef(p));
}

FieldType fieldType(const QString& letter) {
    const QString code = letter.toUpper();
    if (code == QLatin1String("C")) return FieldType::Text;
    if (code == QLatin1String("N")) return FieldType::Number;
    if (code == QLatin1String("D")) return FieldType::Date;
    if (code == QLatin1String("B")) return FieldType::Boolean;
    return FieldType::Other;
}

namespace {
QString extraText(const Variant& extra) {
    if (const QString* s = extra.stringIf()) return s->toUpper();
    return {};
}
}  // namespace

bool FieldDef::isLocked() const {
    const QString s = extraText(extra);
    return s == QLatin1String("LOCKED") || s == QLatin1String("NOTSTOP");
}

bool FieldDef::isNotStop() const { return extraText(extra) == QLatin1String("NOTSTOP"); }

InputProcessRef FieldDef::inputProcess() const { return toInputProcess(extra); }

Variant FieldDef::toVariant() const {
    std::vector<Variant> items{Variant(type), Variant(int16_t(width)), Variant(int16_t(dec)), Variant(title)};
    if (!extra.isEmpty()) items.push_back(extra);
    return Variant::array(std::move(items));
}

FieldDef FieldDef::fromVariant(const Variant& def) {
    const ostrel::VArray* a = def.arrayIf();
    if (!a) throw RuntimeError::typeMismatch(QStringLiteral("field definition is not an array"));
    if (a->items.size() < 4) throw RuntimeError::outOfRange(QStringLiteral("field definition needs four elements"));
    FieldDef f;
    const auto& it = a->items;
    f.type = it[0].toString();
    f.kind = fieldType(f.type);
    f.width = it[1].toInteger();
    f.dec = it[2].toInteger();
    f.title = it[3].isObject() ? QString() : it[3].toString();
    if (it.size() > 4) f.extra = it[4];
    return f;
}

Variant fieldDef(const QString& type, int width, int dec, const QString& title, const Variant& extra) {
    return FieldDef{type, width, dec, title, extra, fieldType(type)}.toVariant();
}

Variant makeStru(std::vector<Variant> fields) { return Variant::array(std::move(fields)); }

Variant makeStru(const std::vector<FieldDef>& fields) {
    std::vector<Variant> items;
    items.reserve(fields.size());
    for (const FieldDef& f : fields) items.push_back(f.toVariant());
    return Variant::array(std::move(items));
}

int struCount(const Variant& stru) {
    const ostrel::VArray* a = stru.arrayIf();
    if (!a) throw RuntimeError::typeMismatch(QStringLiteral("column structure is not an array"));
    return int(a->items.size());
}

std::vector<FieldDef> readStru(const Variant& stru) {
    struCount(stru);
    std::vector<FieldDef> out;
    for (const Variant& def : stru.arrayIf()->items) out.push_back(FieldDef::fromVariant(def));
    return out;
}

}  // namespace tessel
