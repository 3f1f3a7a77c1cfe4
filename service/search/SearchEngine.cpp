#include "service/search/SearchEngine.h"

#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <sqlite3.h>

namespace brevant::service {

SearchEngine::SearchEngine(const QString& databasePath, int timeLimitMs)
    : timeLimitMs_(timeLimitMs) {
    connection_.openReadOnly(databasePath, {"Job Information", "Jobs Detail"});
    // A clause can be made expensive on purpose (cross joins of the detail table); cut it off.
    sqlite3_progress_handler(connection_.nativeHandle(), 10000, &SearchEngine::progress, this);
}

int SearchEngine::progress(void* self) {
    auto* engine = static_cast<SearchEngine*>(self);
    return engine->clock_.isValid() && engine->clock_.elapsed() > engine->timeLimitMs_ ? 1 : 0;
}

SearchEngine::Result SearchEngine::run(const QString& whereClause) {
    Result result;
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
