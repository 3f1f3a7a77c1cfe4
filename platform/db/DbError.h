#pragma once
// The error every database operation throws. It carries a number and a description in the
// form the client shows them ("System Error" boxes print number and description), and a
// portable condition that code may act on whatever engine holds the store.
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

// What went wrong, in terms every store engine can report. Code decides on these, never on
// the engine's message text.
enum class Condition {
    None,                 // not the engine's failure (closed object, unknown field, ...)
    UniqueViolation,      // a unique key or primary key refused the row
    UndefinedTable,       // the statement names a table the store does not have
    LockTimeout,          // another connection held the lock past the wait
    SerializationFailure, // the transaction's snapshot went stale; retry it whole
    Deadlock,             // the engine broke a deadlock by failing this transaction
    ConnectionLost,       // the connection to the store went away
    DiskFull,             // no room left for the store
    Other,                // any other failure of the engine
};

class DbError : public std::runtime_error {
public:
    DbError(long number, const QString& description, Condition condition = Condition::None,
            int nativeCode = 0);

    long number() const { return number_; }
    const QString& description() const { return description_; }
    Condition condition() const { return condition_; }
    // The engine's own code behind the error (for logs and tests), 0 when there is none.
    int nativeCode() const { return nativeCode_; }

private:
    long number_;
    QString description_;
    Condition condition_;
    int nativeCode_;
};

} // namespace brevant::db
