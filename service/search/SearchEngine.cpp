#include "service/search/SearchEngine.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <sqlite3.h>

namespace brevant::service {

SearchEngine::SearchEngine(const QString& databasePath, int timeLimitMs)
    : timeLimitMs_(timeLimitMs) {
    connection_.openReadOnly(databasePath, {"Job Information", "Jobs Detail"});
    // A clause can be made expensive on purpose (cross joins of the detail table); cut it off.
    sqlite3* handle = db::sqliteHandle(connection_);
    sqlite3_progress_handler(handle, 10000, &SearchEngine::progress, this);
    // ...and keep it from making huge values (randomblob(2000000000) and the like).
    // Matching is quadratic at worst, so patterns stay short too.
    sqlite3_limit(handle, SQLITE_LIMIT_LENGTH, 1 << 16);
    sqlite3_limit(handle, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 1000);
    // The read-only connection's authorizer allows only the functions a query needs, so
    // printf('%.*c', 900000000, 'x') (which spins inside one call, where the progress handler
    // never runs) and fts3_tokenizer('simple') (which hands out a process address) are refused
    // when the clause is prepared.
}

int SearchEngine::progress(void* self) {
    auto* engine = static_cast<SearchEngine*>(self);
    return engine->clock_.isValid() && engine->clock_.elapsed() > engine->timeLimitMs_ ? 1 : 0;
}

SearchEngine::Result SearchEngine::run(const QString& whereClause) {
    Result result;
    // The dialog's clauses are a few hundred characters; a huge one only costs time before the
    // progress handler could act (translating and preparing it).
    if (whereClause.size() > MaxClauseLength) {
        result.error = QString("search clause of %1 characters, over %2")
                           .arg(whereClause.size())
                           .arg(MaxClauseLength);
        return result;
    }
    const QString sql = "SELECT [Job Information].Job_ID FROM [Job Information] " + whereClause;
    clock_.start();
    try {
        brevant::db::Recordset rs;
        rs.open(sql, connection_);
        for (; !rs.eof(); rs.moveNext())
            result.jobIds << rs.field(0).toInt();
        rs.close();
        result.ok = true;
    } catch (const brevant::db::DbError& e) {
        result.error = e.description();
    }
    clock_.invalidate();
    return result;
}

} // namespace brevant::service
