#include "platform/db/sqlite/SqliteTextIndex.h"

#include "platform/db/Backend.h"
#include "platform/db/DbError.h"

namespace brevant::db::sqlite {

namespace {

// One index row per source row. Its rowid is the source row's rowid times 8 plus the source's
// number, so a trigger finds the row to replace without a scan. Compaction copies tables with
// VACUUM INTO, which keeps row ids, so the numbers stay valid across compactions.
constexpr int kMaxSources = 8;

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// The indexed text of one row, in terms of a row alias.
QString rowText(const TextIndexSource& s, const QString& alias) {
    QStringList parts;
    for (const QString& c : s.columns)
        parts << QStringLiteral("coalesce(%1.%2,'')").arg(alias, quoted(c));
    return parts.join(QStringLiteral("||' '||"));
}

QString insertFor(const TextIndex& index, int kind, const QString& alias) {
    const TextIndexSource& s = index.sources[size_t(kind)];
    return QStringLiteral("INSERT INTO %1(rowid, job, body) VALUES (%2.rowid*8+%3, %2.%4, %5);")
        .arg(quoted(index.name), alias)
        .arg(kind)
        .arg(quoted(s.key), rowText(s, alias));
}

QString deleteFor(const TextIndex& index, int kind) {
    return QStringLiteral("DELETE FROM %1 WHERE rowid = old.rowid*8+%2;")
        .arg(quoted(index.name))
        .arg(kind);
}

QString triggersSql(const TextIndex& index) {
    QString sql;
    for (int kind = 0; kind < int(index.sources.size()); ++kind) {
        const TextIndexSource& s = index.sources[size_t(kind)];
        const QString t = quoted(s.table);
        const QString name = index.name + QLatin1Char('_') + s.table;
        QStringList watched{quoted(s.key)};
        for (const QString& c : s.columns)
            watched << quoted(c);
        sql += QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER INSERT ON %2 BEGIN %3 END;\n")
                   .arg(quoted(name + QStringLiteral("_ai")), t,
                        insertFor(index, kind, QStringLiteral("new")));
        sql += QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER DELETE ON %2 BEGIN %3 END;\n")
                   .arg(quoted(name + QStringLiteral("_ad")), t, deleteFor(index, kind));
        sql += QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER UPDATE OF %2 ON %3 BEGIN %4 "
                              "%5 END;\n")
                   .arg(quoted(name + QStringLiteral("_au")), watched.join(QStringLiteral(", ")), t,
                        deleteFor(index, kind), insertFor(index, kind, QStringLiteral("new")));
    }
    return sql;
}

QString fillSql(const TextIndex& index) {
    QString sql = QStringLiteral("DELETE FROM %1;\n").arg(quoted(index.name));
    for (int kind = 0; kind < int(index.sources.size()); ++kind) {
        const TextIndexSource& s = index.sources[size_t(kind)];
        sql += QStringLiteral("INSERT INTO %1(rowid, job, body) SELECT r.rowid*8+%2, r.%3, %4 "
                              "FROM %5 r;\n")
                   .arg(quoted(index.name))
                   .arg(kind)
                   .arg(quoted(s.key), rowText(s, QStringLiteral("r")), quoted(s.table));
    }
    return sql;
}

bool inStep(Backend& backend, const TextIndex& index) {
    // One statement, so the counts come from one moment.
    QStringList sources;
    for (const TextIndexSource& s : index.sources)
        sources << QStringLiteral("(SELECT count(*) FROM %1)").arg(quoted(s.table));
    const auto rows =
        backend.queryNative(QStringLiteral("SELECT %1 = (SELECT count(*) FROM %2)")
                                .arg(sources.join(QLatin1Char('+')), quoted(index.name)),
                            {});
    return !rows.empty() && rows.front().value(0).toLongLong() != 0;
}

} // namespace

void ensureFts5Index(Backend& backend, const TextIndex& index) {
    if (index.sources.empty() || index.sources.size() > size_t(kMaxSources))
        throw DbError(errors::Unspecified,
                      QStringLiteral("A text index covers 1 to %1 tables.").arg(kMaxSources));
    const bool exists = backend.tableExists(index.name);
    if (exists && inStep(backend, index)) {
        backend.executeNative(triggersSql(index));
        return;
    }
    // One transaction: a start that is cut short leaves no half-built index behind.
    QString sql = QStringLiteral("BEGIN;\n");
    if (!exists)
        sql += QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(job UNINDEXED, body, "
                              "tokenize = 'unicode61 remove_diacritics 2', prefix = '2 3');\n")
                   .arg(quoted(index.name));
    sql += triggersSql(index) + fillSql(index) + QStringLiteral("COMMIT;\n");
    try {
        backend.executeNative(sql);
    } catch (...) {
        try {
            backend.executeNative(QStringLiteral("ROLLBACK;"));
        } catch (...) {
        }
        throw;
    }
}

QString fts5MatchExpression(const QStringList& words) {
    QStringList terms;
    for (QString word : words)
        terms.append(QLatin1Char('"') + word.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                     QStringLiteral("\"*"));
    return terms.join(QLatin1Char(' '));
}

std::vector<qint64> searchFts5Index(Backend& backend, const TextIndex& index,
                                    const QStringList& words) {
    std::vector<qint64> keys;
    const QString match = fts5MatchExpression(words);
    if (match.isEmpty())
        return keys;
    for (const auto& row : backend.queryNative(
             QStringLiteral("SELECT DISTINCT job FROM %1 WHERE %1 MATCH ?1 AND job IS NOT NULL")
                 .arg(quoted(index.name)),
             {match}))
        keys.push_back(row.value(0).toLongLong());
    return keys;
}

} // namespace brevant::db::sqlite
