#include "platform/db/pg/PgSession.h"

#include <QLocale>
#include <QSet>
#include <libpq-fe.h>
#include <poll.h>

namespace brevant::db::pg {

namespace {

struct ParamArrays {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    explicit ParamArrays(const Params& p) {
        values.reserve(p.size());
        lengths.reserve(p.size());
        for (const auto& v : p) {
            values.push_back(v ? v->constData() : nullptr);
            lengths.push_back(v ? int(v->size()) : 0);
        }
        formats.assign(p.size(), 0);
    }
};

bool succeeded(const PGresult* r) {
    const ExecStatusType s = PQresultStatus(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

// The declared types of a statement's parameters: numeric for one under a unary minus ("-$3",
// as a negative literal is translated), which the server could not resolve from "- unknown";
// every other one is left for the server to infer from where it stands.
std::vector<unsigned> parameterTypes(const QByteArray& sql, int count) {
    std::vector<unsigned> types(size_t(count), 0);
    for (qsizetype i = sql.indexOf('$'); i >= 0; i = sql.indexOf('$', i + 1)) {
        qsizetype j = i + 1;
        int n = 0;
        while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9')
            n = n * 10 + (sql[j++] - '0');
        if (n < 1 || n > count)
            continue;
        qsizetype k = i - 1;
        while (k >= 0 && sql[k] == ' ')
            --k;
        if (k < 0 || sql[k] != '-')
            continue;
        --k;
        while (k >= 0 && sql[k] == ' ')
            --k;
        // Unary when nothing that ends an operand comes before the minus.
        if (k < 0 || QByteArrayView("(,=<>+-*/").contains(sql[k]))
            types[size_t(n - 1)] = 1700; // numeric
    }
    return types;
}

// Notices ("relation already exists, skipping") are of no use to the program.
void quietNotices(void*, const char*) {}

} // namespace

Params textParams(const QVariantList& values) {
    Params out;
    out.reserve(size_t(values.size()));
    for (const QVariant& v : values) {
        if (v.isNull()) {
            out.emplace_back(std::nullopt);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Double:
            out.emplace_back(
                QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toUtf8());
            break;
        case QMetaType::Bool:
            out.emplace_back(QByteArray(v.toBool() ? "1" : "0"));
            break;
        default:
            out.emplace_back(v.toString().toUtf8());
        }
    }
    return out;
}

int Result::rows() const {
    return r_ ? PQntuples(r_.get()) : 0;
}
int Result::columns() const {
    return r_ ? PQnfields(r_.get()) : 0;
}
bool Result::isNull(int row, int column) const {
    return PQgetisnull(r_.get(), row, column) != 0;
}
QByteArrayView Result::text(int row, int column) const {
    return {PQgetvalue(r_.get(), row, column), PQgetlength(r_.get(), row, column)};
}
QString Result::name(int column) const {
    return QString::fromUtf8(PQfname(r_.get(), column));
}
unsigned Result::table(int column) const {
    return PQftable(r_.get(), column);
}
int Result::tableColumn(int column) const {
    return PQftablecol(r_.get(), column);
}
unsigned Result::type(int column) const {
    return PQftype(r_.get(), column);
}
long long Result::affected() const {
    const char* n = r_ ? PQcmdTuples(r_.get()) : "";
    return *n ? QByteArray(n).toLongLong() : 0;
}
void Result::clear(PGresult* r) {
    PQclear(r);
}

Session::~Session() {
    close();
}

void Session::open(const QString& conninfo, bool passwordAllowed) {
    close();
    const QByteArray info = conninfo.toUtf8();
    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(info.constData(), &parseError);
    if (!options) {
        const QString why = QString::fromUtf8(parseError ? parseError : "out of memory").trimmed();
        PQfreemem(parseError);
        throw PgFailure("08001", Condition::ConnectionLost, why);
    }
    bool hasPassword = false;
    for (const PQconninfoOption* o = options; o->keyword; ++o)
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val)
            hasPassword = true;
    PQconninfoFree(options);
    if (hasPassword && !passwordAllowed)
        throw PgFailure("28000", Condition::Other,
                        QStringLiteral("The project store's locator holds a password; keep it "
                                       "in ~/.pgpass or the environment instead."));

    PGconn* conn = PQconnectdb(info.constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        PQfinish(conn);
        throw PgFailure("08001", Condition::ConnectionLost, why);
    }
    PQsetNoticeProcessor(conn, quietNotices, nullptr);
    if (PQsetClientEncoding(conn, "UTF8") != 0) {
        PQfinish(conn);
        throw PgFailure("08001", Condition::ConnectionLost,
                        QStringLiteral("The server does not accept UTF-8."));
    }
    conn_ = conn;
}

void Session::close() {
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
    cache_.clear();
}

void Session::fail(PGresult* result) {
    Result owned(result);
    if (PQstatus(conn_) == CONNECTION_BAD)
        cache_.clear(); // a new session would know none of them
    raise(conn_, result);
}

Result Session::run(QByteArrayView sql) {
    if (!conn_)
        raise(nullptr, nullptr);
    const QByteArray text = sql.toByteArray();
    PGresult* r = PQexec(conn_, text.constData());
    // With several statements the last result is returned; a failure stops the rest.
    if (!r || !succeeded(r))
        fail(r);
    return Result(r);
}

void Session::copyIn(const QByteArray& sql) {
    if (!conn_)
        raise(nullptr, nullptr);
    PGresult* r = PQexec(conn_, sql.constData());
    if (!r || PQresultStatus(r) != PGRES_COPY_IN)
        fail(r);
    PQclear(r);
}

void Session::copyData(QByteArrayView data) {
    if (PQputCopyData(conn_, data.data(), int(data.size())) != 1)
        raise(conn_, nullptr);
}

long long Session::copyEnd(const char* abandonReason) {
    if (PQputCopyEnd(conn_, abandonReason) != 1)
        raise(conn_, nullptr);
    PGresult* r = PQgetResult(conn_);
    // Whatever else the server sends for the COPY is read, so the session is ready again.
    while (PGresult* more = PQgetResult(conn_))
        PQclear(more);
    if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
        fail(r);
    return Result(r).affected();
}

const QByteArray& Session::prepared(const QByteArray& sql, int paramCount) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) {
        it->lastUse = ++uses_;
        return it->name;
    }
    if (cache_.size() >= CacheLimit)
        evictOne();
    const QByteArray name = "brevant_" + QByteArray::number(++names_);
    const std::vector<unsigned> types = parameterTypes(sql, paramCount);
    PGresult* r = PQprepare(conn_, name.constData(), sql.constData(), paramCount, types.data());
    if (!r || !succeeded(r))
        fail(r);
    PQclear(r);
    it = cache_.insert(sql, Prepared{name, ++uses_});
    return it->name;
}

void Session::evictOne() {
    auto oldest = cache_.begin();
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->lastUse < oldest->lastUse)
            oldest = it;
    // Fails only in an aborted transaction; the statement then lives on unused until the
    // session ends, which costs the server a little memory and nothing else.
    PQclear(PQexec(conn_, ("DEALLOCATE " + oldest->name).constData()));
    cache_.erase(oldest);
}

Result Session::run(const QByteArray& sql, const Params& params) {
    if (!conn_)
        raise(nullptr, nullptr);
    const QByteArray name = prepared(sql, int(params.size()));
    const ParamArrays p(params);
    PGresult* r = PQexecPrepared(conn_, name.constData(), int(params.size()), p.values.data(),
                                 p.lengths.data(), p.formats.data(), 0);
    if (!r || !succeeded(r))
        fail(r);
    return Result(r);
}

std::vector<long long> Session::runBatch(const std::vector<Statement>& batch) {
    if (!conn_)
        raise(nullptr, nullptr);
    std::vector<long long> affected;
    affected.reserve(batch.size());
    // Prepared beforehand, one round trip per new shape: a batch repeats few shapes. While
    // they fit the cache, preparing one never evicts another of the same batch (the oldest
    // goes first).
    QSet<QByteArray> shapes;
    for (const Statement& s : batch)
        shapes.insert(s.sql);
    if (shapes.size() > CacheLimit)
        throw PgFailure("54000", Condition::Other,
                        QStringLiteral("A batch holds more statement shapes than a session "
                                       "keeps prepared."));
    std::vector<QByteArray> names;
    names.reserve(batch.size());
    for (const Statement& s : batch)
        names.push_back(prepared(s.sql, int(s.params.size())));

    if (PQenterPipelineMode(conn_) != 1)
        raise(conn_, nullptr);
    PGresult* failure = nullptr;
    for (size_t from = 0; from < batch.size() && !failure; from += PipelineChunk) {
        const size_t to = std::min(batch.size(), from + size_t(PipelineChunk));
        size_t sent = from;
        for (; sent < to; ++sent) {
            const ParamArrays p(batch[sent].params);
            if (!PQsendQueryPrepared(conn_, names[sent].constData(), int(batch[sent].params.size()),
                                     p.values.data(), p.lengths.data(), p.formats.data(), 0))
                break;
        }
        if (!PQpipelineSync(conn_)) {
            PQexitPipelineMode(conn_);
            raise(conn_, nullptr);
        }
        // One result and a null per statement sent, then the sync point.
        for (size_t i = from; i < sent; ++i) {
            PGresult* r = PQgetResult(conn_);
            if (!r)
                break;
            if (PQresultStatus(r) == PGRES_PIPELINE_ABORTED) {
                PQclear(r);
            } else if (!succeeded(r)) {
                if (!failure)
                    failure = r;
                else
                    PQclear(r);
            } else {
                affected.push_back(Result(r).affected());
            }
            while (PGresult* extra = PQgetResult(conn_))
                PQclear(extra);
        }
        for (;;) {
            PGresult* r = PQgetResult(conn_);
            if (!r) {
                if (PQstatus(conn_) == CONNECTION_BAD)
                    break;
                continue;
            }
            const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync)
                break;
        }
        if (sent < to && !failure) {
            PQexitPipelineMode(conn_);
            fail(nullptr);
        }
    }
    PQexitPipelineMode(conn_);
    if (failure)
        fail(failure);
    return affected;
}

int Session::socket() const {
    return conn_ ? PQsocket(conn_) : -1;
}

std::optional<Notification> Session::nextNotification() {
    if (!conn_)
        return std::nullopt;
    if (!PQconsumeInput(conn_))
        fail(nullptr);
    PGnotify* n = PQnotifies(conn_);
    if (!n)
        return std::nullopt;
    Notification out{QString::fromUtf8(n->relname), QString::fromUtf8(n->extra), n->be_pid};
    PQfreemem(n);
    return out;
}

int Session::backendPid() const {
    return conn_ ? PQbackendPID(conn_) : 0;
}

bool Session::connected() const {
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

bool Session::alive() {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
        return false;
    // The farewell message and the end of the stream may take two reads; a session that keeps
    // sending (it never does while idle) is taken as alive after a few.
    for (int i = 0; i < 4; ++i) {
        pollfd p{PQsocket(conn_), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0)
            break;
        if (!PQconsumeInput(conn_))
            break;
    }
    return PQstatus(conn_) == CONNECTION_OK;
}

bool Session::inTransaction() const {
    if (!conn_)
        return false;
    const PGTransactionStatusType s = PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

bool Session::inFailedTransaction() const {
    return conn_ && PQtransactionStatus(conn_) == PQTRANS_INERROR;
}

} // namespace brevant::db::pg
