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

}  // namespace ostrel
