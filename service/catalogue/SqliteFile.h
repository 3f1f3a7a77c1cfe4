#pragma once
// The service's own catalogue file: a thin RAII wrapper over the SQLite C API for the few
// statements the catalogue writes. (The client's database goes through platform/db.)
#include <QString>
#include <QVariant>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace brevant::service {

class SqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SqliteFile {
public:
    explicit SqliteFile(const QString& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void exec(const QString& sql);

    class Statement {
    public:
        Statement(SqliteFile& db, const QString& sql);
        ~Statement();
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        Statement& bind(int index, const QVariant& value); // 1-based; null QVariant -> NULL
        bool step();                                       // true while a row is available
        void reset();
        qint64 integer(int column) const;
        QString text(int column) const;

    private:
        SqliteFile& db_;
        sqlite3_stmt* stmt_ = nullptr;
    };

    sqlite3* handle() const { return db_; }

private:
    [[noreturn]] void fail(const QString& what) const;
    sqlite3* db_ = nullptr;
};

} // namespace brevant::service
