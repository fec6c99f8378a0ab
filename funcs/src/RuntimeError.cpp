#include "ostrel/RuntimeError.h"

namespace ostrel {

RuntimeError::RuntimeError(int number, QString description)
    : number_(number), description_(std::move(description)),
      what_(QStringLiteral("%1: %2").arg(number_).arg(description_).toStdString()) {}

static QString withDetail(const char* base, const QString& detail) {
    QString text = QString::fromLatin1(base);
    if (!detail.isEmpty()) text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return text;
}

RuntimeError RuntimeError::invalidArgument(const QString& detail) {
    return {err::InvalidArgument, withDetail("Invalid procedure call or argument", detail)};
}
RuntimeError RuntimeError::overflow(const QString& detail) {
    return {err::Overflow, withDetail("Overflow", detail)};
}
RuntimeError RuntimeError::outOfRange(const QString& detail) {
    return {err::OutOfRange, withDetail("Subscript out of range", detail)};
}
RuntimeError RuntimeError::typeMismatch(const QString& detail) {
    return {err::TypeMismatch, withDetail("Type mismatch", detail)};
}
RuntimeError RuntimeError::fileNotFound(const QString& detail) {
    return {err::FileNotFound, withDetail("File not found", detail)};
}
RuntimeError RuntimeError::invalidUseOfNull(const QString& detail) {
    return {err::InvalidUseOfNull, withDetail("Invalid use of Null", detail)};
}

RuntimeError RuntimeError::outOfMemory(const QString& detail) {
    return {err::OutOfMemory, withDetail("Out of memory", detail)};
}
RuntimeError RuntimeError::internal(const QString& detail) {
    return {err::Internal, withDetail("Internal error", detail)};
}
RuntimeError RuntimeError::pathFileAccess(const QString& detail) {
    return {err::PathFileAccess, withDetail("Path/File access error", detail)};
}
RuntimeError RuntimeError::pathNotFound(const QString& detail) {
    return {err::PathNotFound, withDetail("Path not found", detail)};
}
RuntimeError RuntimeError::printer(const QString& detail) {
    return {err::Printer, withDetail("Printer error", detail)};
}


static const char* engineText(int number) {
    switch (number) {
    case err::DbTableExists: return "Table already exists";
    case err::DbUpdateWithoutEdit: return "Update or CancelUpdate without AddNew or Edit";
    case err::DbNoCurrentRecord: return "No current record";
    case err::DbDuplicateKey: return "The changes would create duplicate values in a unique index";
    case err::DbFileNotFound: return "Could not find file";
    case err::DbReadOnly: return "Cannot update; database or object is read-only";
    case err::DbDiskFull: return "System resource exceeded";
    case err::DbFileInUse: return "Could not use the file; file already in use";
    case err::DbNotADatabase: return "Unrecognized database format or damaged file";
    case err::DbUnknownField: return "Too few parameters; unknown field name";
    case err::DbSyntax: return "Syntax error in query expression";
    case err::DbTableNotFound: return "The engine cannot find the input table";
    case err::DbUndefinedFunction: return "Undefined function in expression";
    case err::DbFieldTooSmall: return "The field is too small to accept the amount of data";
    case err::DbRecordDeleted: return "Record is deleted";
    case err::DbDuplicateField: return "Cannot define field more than once";
    case err::DbDatabaseExists: return "Database already exists";
    case err::DbLocked: return "Could not update; currently locked";
    case err::DbNotSupported: return "Operation is not supported for this type of object";
    case err::DbInvalidField: return "Invalid field data type or size";
    case err::DbNoFields: return "No field defined; cannot append table definition";
    case err::DbItemNotFound: return "Item not found in this collection";
    case err::DbIndexExists: return "Index already exists";
    case err::DbZeroLength: return "Field cannot be a zero-length string";
    case err::DbExclusiveElsewhere: return "The database has been opened exclusively by another user";
    case err::DbClosed: return "Object invalid or no longer set";
    default: return "Database engine error";
    }
}

RuntimeError RuntimeError::engine(int number, const QString& detail) {
    return {number, withDetail(engineText(number), detail)};
}

}  // namespace ostrel
