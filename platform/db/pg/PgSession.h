#pragma once
// One session with a PostgreSQL server over libpq (internal to platform/db). Statements go out
// with their values as out-of-line text parameters; each statement text (its shape: the values
// are never in it) is prepared once per session and reused. A batch of statements can go out
// pipelined, in one round trip. Failures throw PgFailure (PgError.h).
#include "platform/db/pg/PgError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

namespace brevant::db::pg {

// One value per parameter as text; nullopt is NULL.
using Params = std::vector<std::optional<QByteArray>>;

// The text form of translated values (null, qlonglong, double, QString, bool): numbers as
// their shortest exact decimal, booleans as 1/0.
Params textParams(const QVariantList& values);

class Result {
public:
    explicit Result(PGresult* r = nullptr) : r_(r, &clear) {}
    PGresult* get() const { return r_.get(); }
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QByteArrayView text(int row, int column) const;
    QString name(int column) const;
    unsigned table(int column) const; // Oid of the table the column comes from, 0 for none
    int tableColumn(int column) const;
    unsigned type(int column) const;
    // Rows an INSERT, UPDATE or DELETE affected, 0 for anything else.
    long long affected() const;

private:
    static void clear(PGresult* r);
    std::shared_ptr<PGresult> r_;
};

struct Statement {
    QByteArray sql; // $1, $2 ... placeholders
    Params params;
};

struct Notification {
    QString channel;
    QString payload;
    int senderPid = 0;
};

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // conninfo: "key=value ..." text, a postgresql:// URI or "service=name". The password must
    // come from ~/.pgpass or the environment (PGPASSWORD, PGPASSFILE), never from the locator,
    // which lives in the settings file; one holding a password is refused unless
    // passwordAllowed (a locator typed on the command line, kept in memory only). sslmode and
    // the rest are libpq's own.
    void open(const QString& conninfo, bool passwordAllowed = false);
    void close();
    bool isOpen() const { return conn_ != nullptr; }

    // Simple query protocol, no parameters; may hold several statements (schema text).
    Result run(QByteArrayView sql);
    // One statement through the session's prepared statement for its text.
    Result run(const QByteArray& sql, const Params& params);
    // The statements in order, pipelined (a sync point every PipelineChunk statements); the
    // rows each one affected. The first failure is thrown once its chunk has been read back;
    // what follows it in the chunk does not run, later chunks are not sent. Outside a
    // transaction each chunk commits as one.
    std::vector<long long> runBatch(const std::vector<Statement>& batch);

    // COPY ... FROM STDIN: copyIn starts it, copyData sends data (rows in the statement's
    // format, in any slices), copyEnd finishes it and gives the rows the server took. With a
    // reason, copyEnd abandons it instead and throws the server's answer (the transaction is
    // then failed).
    void copyIn(const QByteArray& sql);
    void copyData(QByteArrayView data);
    long long copyEnd(const char* abandonReason = nullptr);

    // The socket to wait on for notifications (LISTEN), -1 when closed.
    int socket() const;
    // Reads what the server sent without waiting; the next notification received, if any.
    std::optional<Notification> nextNotification();
    // False when the session is closed or the server dropped it. What the server sent while the
    // session was idle (its farewell and the end of the stream after a restart or
    // pg_terminate_backend) is read first, without waiting, so a drop is seen before a
    // statement is sent into it.
    bool alive();
    // The server process serving the session (pg_backend_pid()), 0 when closed.
    int backendPid() const;
    // True while libpq holds the session as working (nothing is read).
    bool connected() const;
    // True inside a transaction block (also one a failure has aborted).
    bool inTransaction() const;
    // True when the session's transaction failed and waits for its ROLLBACK.
    bool inFailedTransaction() const;
    PGconn* handle() const { return conn_; }

    static constexpr int CacheLimit = 128;
    static constexpr int PipelineChunk = 64;

private:
    // The name of the prepared statement for sql, preparing it when it is new.
    const QByteArray& prepared(const QByteArray& sql, int paramCount);
    void evictOne();
    [[noreturn]] void fail(PGresult* result);

    PGconn* conn_ = nullptr;
    struct Prepared {
        QByteArray name;
        quint64 lastUse = 0;
    };
    QHash<QByteArray, Prepared> cache_;
    quint64 uses_ = 0;
    quint64 names_ = 0;
};

} // namespace brevant::db::pg
