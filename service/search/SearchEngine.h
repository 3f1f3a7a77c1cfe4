#pragma once
// Runs the WHERE clause of a search request, exactly as the client wrote it, over the
// catalogue's tables [Job Information] and [Jobs Detail]. The clause is the client's text, so
// it goes through the Jet translator on a read-only connection whose authorizer lets it read
// those two tables and nothing else, run nothing but one SELECT, and only for a bounded time.
#include "platform/db/Connection.h"

#include <QElapsedTimer>
#include <QString>
#include <QVector>

namespace brevant::service {

class SearchEngine {
public:
    explicit SearchEngine(const QString& databasePath, int timeLimitMs = 3000);

    // Longer clauses are refused without being translated.
    static constexpr qsizetype MaxClauseLength = 64 * 1024;

    struct Result {
        bool ok = false;
        QString error;
        QVector<int> jobIds; // in the clause's order
    };
    Result run(const QString& whereClause);

private:
    static int progress(void* self);

    brevant::db::Connection connection_;
    QElapsedTimer clock_;
    int timeLimitMs_;
};

} // namespace brevant::service
