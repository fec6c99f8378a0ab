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

// The database engine's numbers (RuntimeError::engine gives each its standard description).
inline constexpr int DbEngine = 3000;             // any other engine failure; the engine's text follows
inline constexpr int DbTableExists = 3010;        // a table of that name exists
inline constexpr int DbUpdateWithoutEdit = 3020;  // Update without AddNew or Edit
inline constexpr int DbNoCurrentRecord = 3021;    // at EOF, or on an empty record set
inline constexpr int DbDuplicateKey = 3022;       // a unique index refuses the value
inline constexpr int DbFileNotFound = 3024;       // no database file at that path
inline constexpr int DbReadOnly = 3027;           // writing through a read-only database or record set
inline constexpr int DbDiskFull = 3035;           // the disk or the engine ran out of room
inline constexpr int DbFileInUse = 3045;          // exclusive open while others hold the file shared
inline constexpr int DbNotADatabase = 3049;       // not a database file, or a damaged one
inline constexpr int DbUnknownField = 3061;       // a name in the SQL text is no field of the table
inline constexpr int DbSyntax = 3075;             // SQL or criteria text the engine cannot read
inline constexpr int DbTableNotFound = 3078;      // the SQL text names a missing table
inline constexpr int DbUndefinedFunction = 3085;  // a function the engine does not know
inline constexpr int DbFieldTooSmall = 3163;      // a text longer than the field's size
inline constexpr int DbRecordDeleted = 3167;      // the current record was deleted
inline constexpr int DbDuplicateField = 3191;     // a field defined twice
inline constexpr int DbDatabaseExists = 3204;     // creating a database over an existing file
inline constexpr int DbLocked = 3218;             // another connection holds a lock for too long
inline constexpr int DbNotSupported = 3251;       // not supported for this kind of record set
inline constexpr int DbInvalidField = 3259;       // a field type code or size the engine has not
inline constexpr int DbNoFields = 3264;           // a table definition without fields
inline constexpr int DbItemNotFound = 3265;       // no table, field or index of that name
inline constexpr int DbIndexExists = 3284;        // an index of that name exists on the table
inline constexpr int DbZeroLength = 3315;         // "" into a field that does not allow it
inline constexpr int DbExclusiveElsewhere = 3356; // the file is opened exclusively elsewhere
inline constexpr int DbClosed = 3420;             // the database or record set was closed
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
    // A database engine error (one of the Db numbers above) with its standard description.
    static RuntimeError engine(int number, const QString& detail = {});

private:
    int number_;
    QString description_;
    std::string what_;
};

}  // namespace ostrel
