#pragma once
// The error every database operation throws. It carries a number and a description in the
// form the client shows them ("System Error" boxes print number and description).
#include <QString>
#include <stdexcept>

namespace brevant::db {

// Numbers follow the provider's conventions so messages keep their familiar look.
namespace errors {
constexpr long Unspecified = -2147467259;        // general failure (file missing, I/O, busy)
constexpr long CommandError = -2147217900;       // syntax error or unknown table/column
constexpr long IntegrityViolation = -2147217873; // unique key or NOT NULL refused
constexpr long PermissionDenied = -2147217911;   // the read-only mode refused the statement
constexpr long ItemNotFound = 3265;              // no field of that name or ordinal
constexpr long NoCurrentRecord = 3021;           // read at BOF/EOF
constexpr long ObjectClosed = 3704;              // operation on a closed object
} // namespace errors

class DbError : public std::runtime_error {
public:
    DbError(long number, const QString& description, int sqliteCode = 0);

    long number() const { return number_; }
    const QString& description() const { return description_; }
    // The SQLite result code behind the error, 0 when it did not come from SQLite.
    int sqliteCode() const { return sqliteCode_; }

private:
    long number_;
    QString description_;
    int sqliteCode_;
};

// Maps an SQLite result code (primary or extended) to the error number shown to the user.
long errorNumberFor(int sqliteCode);

} // namespace brevant::db
