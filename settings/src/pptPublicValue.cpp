#include "sembrin/pptPublicValue.h"

#include "Store.h"
#include "ostrel/TrimSpaces.h"

namespace sembrin {

using detail::store;
using ostrel::Variant;

QString pptPublicValue::ZepProgramVersion() const { return store().programVersion; }
void pptPublicValue::setZepProgramVersion(const QString& v) { store().programVersion = v; }
QString pptPublicValue::ZepPath() const { return store().path; }
void pptPublicValue::setZepPath(const QString& v) { store().path = v; }
QString pptPublicValue::ZepName() const { return store().name; }
void pptPublicValue::setZepName(const QString& v) { store().name = v; }
QString pptPublicValue::ZepExt() const { return store().ext; }
void pptPublicValue::setZepExt(const QString& v) { store().ext = v; }
QString pptPublicValue::ZepFullName() const { return store().fullName; }
void pptPublicValue::setZepFullName(const QString& v) { store().fullName = v; }

ostrel::DatabaseRef pptPublicValue::ZepDb() const { return store().db; }
void pptPublicValue::setZepDb(ostrel::DatabaseRef db) { store().db = std::move(db); }
ostrel::WorkspaceRef pptPublicValue::ZepWs() const { return store().ws; }
void pptPublicValue::setZepWs(ostrel::WorkspaceRef ws) { store().ws = std::move(ws); }

bool pptPublicValue::ZepReadOnly() const { return store().readOnly; }
void pptPublicValue::setZepReadOnly(bool v) { store().readOnly = v; }

Variant pptPublicValue::inisetting(const QString& key) const {
    return store().settings.value(key.toUpper());
}

void pptPublicValue::setInisetting(const QString& key, const Variant& value) {
    // Null stays null; anything else becomes its text, upper-cased and trimmed.
    Variant stored = value.isNull() ? value : Variant(ostrel::trimSpaces(value.toString().toUpper()).toString());
    store().settings.set(key.toUpper(), stored);
}

Variant pptPublicValue::PublicValue(const QString& key) const {
    return store().publicValues.value(key.toUpper());
}

void pptPublicValue::setPublicValue(const QString& key, const Variant& value) {
    store().publicValues.set(key.toUpper(), value);
}

}  // namespace sembrin
