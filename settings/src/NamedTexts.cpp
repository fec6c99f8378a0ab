// The short named texts of the tables TAG and Properties.
#include "Store.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncString.h"
#include "sembrin/pptPublicValue.h"

namespace sembrin {

namespace {

constexpr int kValueBytes = 50;

ostrel::Database& database() {
    if (!detail::store().db) throw ostrel::RuntimeError::engine(ostrel::err::DbClosed, QStringLiteral("ZepDb"));
    return *detail::store().db;
}

// The record of that title becomes current; the title travels as a bound value.
bool findTitle(ostrel::Recordset& rs, const QString& title) { return rs.FindFirst(QStringLiteral("title=?"), {title}); }

QString readText(const char* table, const QString& title) {
    if (!detail::store().db) return {};
    ostrel::Recordset rs = database().OpenRecordset(QString::fromLatin1(table));
    return findTitle(rs, title) ? rs["value"].toString() : QString();  // a null value reads as ""
}

void writeText(const char* table, const QString& title, const QString& value) {
    ostrel::Recordset rs = database().OpenRecordset(QString::fromLatin1(table));
    if (findTitle(rs, title)) {
        rs.Edit();
    } else {
        rs.AddNew();
        rs.setValue("title", title);
    }
    rs.setValue("value", ostrel::fncString().leftDB(value, kValueBytes));
    rs.Update();
}

void deleteText(const char* table, const QString& title) {
    ostrel::Recordset rs = database().OpenRecordset(QString::fromLatin1(table));
    if (findTitle(rs, title)) rs.Delete();
}

}  // namespace

QString pptPublicValue::ZepTag(const QString& sTitle) const { return readText("TAG", sTitle); }
void pptPublicValue::setZepTag(const QString& sTitle, const QString& value) { writeText("TAG", sTitle, value); }
void pptPublicValue::DelZepTag(const QString& sTitle) { deleteText("TAG", sTitle); }
QString pptPublicValue::ZepProperties(const QString& sTitle) const { return readText("Properties", sTitle); }
void pptPublicValue::setZepProperties(const QString& sTitle, const QString& value) {
    writeText("Properties", sTitle, value);
}
void pptPublicValue::DelZepProperties(const QString& sTitle) { deleteText("Properties", sTitle); }

}  // namespace sembrin
