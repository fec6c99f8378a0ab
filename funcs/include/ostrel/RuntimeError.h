#pragma once
// The one failure type of every library: a run-time error with its number and description.
#include <QString>
#include <exception>
#include <string>

namespace ostrel {

// The error numbers every library raises. Each has one standard description (RuntimeError's
// factories below); the database engine's numbers join this list, never a list of their own.
namespace err {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int OutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int Internal = 51;
inline constexpr int FileNotFound = 53;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int Printer = 482;
}  // namespace err

class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description);

    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

    // The standard errors, with their standard descriptions; `detail` is appended when given.
    static RuntimeError invalidArgument(const QString& detail = {});
    static RuntimeError overflow(const QString& detail = {});
    static RuntimeError outOfRange(const QString& detail = {});
    static RuntimeError typeMismatch(const QString& detail = {});
    static RuntimeError fileNotFound(const QString& detail = {});
    static RuntimeError invalidUseOfNull(const QString& detail = {});
    static RuntimeError outOfMemory(const QString& detail = {});
    static RuntimeError internal(const QString& detail = {});
    static RuntimeError pathFileAccess(const QString& detail = {});
    static RuntimeError pathNotFound(const QString& detail = {});
    static RuntimeError printer(const QString& detail = {});

private:
    int number_;
    QString description_;
    std::string what_;
};

}  // namespace ostrel
