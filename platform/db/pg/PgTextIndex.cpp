#include "platform/db/pg/PgTextIndex.h"

#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgError.h"
#include "platform/db/pg/PgSession.h"

namespace brevant::db::pg {

namespace {

// Serialises index work of all programs on one database; the two-key form with a key of its
// own (the Desktop schema holds (…, 1)).
constexpr const char* kIndexLock = "SELECT pg_advisory_xact_lock(1112692321, 2)";

QByteArray ident(const QString& name) {
    return '"' + name.toLower().toUtf8().replace('"', "\"\"") + '"';
}

QByteArray literal(const QByteArray& text) {
    return '\'' + QByteArray(text).replace('\'', "''") + '\'';
}

// The names of the index's objects, all in the store's schema.
struct Names {
    explicit Names(const TextIndex& index)
        : table(ident(index.name)), words(ident(index.name + QStringLiteral("_words"))),
          doc(ident(index.name + QStringLiteral("_doc"))),
          query(ident(index.name + QStringLiteral("_query"))) {}
    QByteArray trigger(const TextIndexSource& s) const {
        return table.chopped(1) + '_' + s.table.toLower().toUtf8() + '"';
    }
    QByteArray table, words, doc, query;
};

// The indexed text of one row, in terms of a row alias.
QByteArray rowText(const TextIndexSource& s, const QByteArray& alias) {
    QByteArrayList parts;
    for (const QString& c : s.columns)
        parts << "coalesce(" + alias + '.' + ident(c) + "::text, '')";
    return parts.join(" || ' ' || ");
}

// The schema that holds unaccent, creating the extension in the store's own schema when the
// database has none. Runs inside the index's transaction.
QByteArray unaccentSchema(Session& session) {
    const char* find = "SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON "
                       "n.oid = e.extnamespace WHERE e.extname = 'unaccent'";
    Result r = session.run(find, Params{});
    if (r.rows() == 0) {
        try {
            session.run(QByteArrayView("CREATE EXTENSION unaccent"));
        } catch (const PgFailure& e) {
            if (e.condition() == Condition::ConnectionLost)
                throw;
            throw DbError(errors::Unspecified,
                          QStringLiteral("The project store's database lacks the unaccent "
                                         "extension that the local search needs, and this "
                                         "user may not create it (%1). Have the database's "
                                         "owner run CREATE EXTENSION unaccent once.")
                              .arg(e.description()),
                          Condition::Other);
        }
        r = session.run(find, Params{});
    }
    return '"' + r.text(0, 0).toByteArray().replace('"', "\"\"") + '"';
}

QByteArray functionsSql(const TextIndex& index, const Names& n, const QByteArray& ext) {
    QByteArray sql;
    // The collation makes lower() and the character classes Unicode's, whatever the locale the
    // database was created with; it is deterministic, as regular expressions require.
    sql += "CREATE COLLATION IF NOT EXISTS jet_search (provider = icu, locale = 'und');\n";
    sql += "CREATE OR REPLACE FUNCTION " + n.words +
           "(t text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE\n"
           "RETURN regexp_replace(lower(" +
           ext + ".unaccent(" + literal(ext + ".unaccent") +
           "::regdictionary, t) COLLATE jet_search), '[^[:alnum:]]+', ' ', 'g');\n";
    sql += "CREATE OR REPLACE FUNCTION " + n.doc +
           "(t text) RETURNS tsvector LANGUAGE sql IMMUTABLE PARALLEL SAFE\n"
           "RETURN to_tsvector('simple', left(" +
           n.words + "(coalesce(t, '')), " + QByteArray::number(kIndexedTextLimit) + "));\n";
    // Every word a phrase of its pieces, the last one a prefix; all words required. A word
    // with no letter or digit left is a word no row holds: nothing is found.
    sql += "CREATE OR REPLACE FUNCTION " + n.query +
           "(words text[]) RETURNS tsquery LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $f$\n"
           "DECLARE w text; t text; terms text[] := '{}';\n"
           "BEGIN\n"
           "    FOREACH w IN ARRAY words LOOP\n"
           "        t := btrim(" +
           n.words +
           "(w));\n"
           "        IF t IS NULL OR t = '' THEN RETURN NULL; END IF;\n"
           "        terms := terms || ('''' || replace(t, ' ', ''' <-> ''') || ''':*');\n"
           "    END LOOP;\n"
           "    IF cardinality(terms) = 0 THEN RETURN NULL; END IF;\n"
           "    RETURN to_tsquery('simple', array_to_string(terms, ' & '));\n"
           "END $f$;\n";
    for (int kind = 0; kind < int(index.sources.size()); ++kind) {
        const TextIndexSource& s = index.sources[size_t(kind)];
        const QByteArray key = ident(s.key);
        const QByteArray k = QByteArray::number(kind);
        // Rows with the same text have the same tsvector: deleting any one of them is right.
        sql += "CREATE OR REPLACE FUNCTION " + n.trigger(s) +
               "() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
               "BEGIN\n"
               "    IF TG_OP <> 'INSERT' AND OLD." +
               key +
               " IS NOT NULL THEN\n"
               "        DELETE FROM " +
               n.table + " WHERE ctid = (SELECT ctid FROM " + n.table + " WHERE job = OLD." + key +
               " AND kind = " + k + " AND body = " + n.doc + '(' + rowText(s, "OLD") +
               ") LIMIT 1);\n"
               "    END IF;\n"
               "    IF TG_OP <> 'DELETE' AND NEW." +
               key +
               " IS NOT NULL THEN\n"
               "        INSERT INTO " +
               n.table + " (kind, job, body) VALUES (" + k + ", NEW." + key + ", " + n.doc + '(' +
               rowText(s, "NEW") +
               "));\n"
               "    END IF;\n"
               "    RETURN NULL;\n"
               "END $f$;\n";
    }
    return sql;
}

QByteArray tableSql(const Names& n) {
    return "CREATE TABLE IF NOT EXISTS " + n.table +
           " (kind smallint NOT NULL, job bigint NOT NULL, body tsvector NOT NULL);\n"
           "CREATE INDEX IF NOT EXISTS " +
           n.table.chopped(1) + "_body\" ON " + n.table +
           " USING gin (body);\n"
           "CREATE INDEX IF NOT EXISTS " +
           n.table.chopped(1) + "_job\" ON " + n.table + " (job, kind);\n";
}

QByteArray triggersSql(const TextIndex& index, const Names& n) {
    QByteArray sql;
    for (const TextIndexSource& s : index.sources) {
        QByteArrayList watched{ident(s.key)};
        for (const QString& c : s.columns)
            watched << ident(c);
        sql += "CREATE OR REPLACE TRIGGER " + n.trigger(s) +
               " AFTER INSERT OR DELETE OR UPDATE OF " + watched.join(", ") + " ON " +
               ident(storedTableName(s.table)) + " FOR EACH ROW EXECUTE FUNCTION " + n.trigger(s) +
               "();\n";
    }
    return sql;
}

QByteArray fillSql(const TextIndex& index, const Names& n) {
    // Writers wait while the index is refilled: a row written meanwhile would otherwise be
    // indexed twice, by its trigger and by the refill.
    QByteArrayList tables;
    for (const TextIndexSource& s : index.sources)
        tables << ident(storedTableName(s.table));
    QByteArray sql =
        "LOCK TABLE " + tables.join(", ") + " IN SHARE MODE;\nDELETE FROM " + n.table + ";\n";
    for (int kind = 0; kind < int(index.sources.size()); ++kind) {
        const TextIndexSource& s = index.sources[size_t(kind)];
        sql += "INSERT INTO " + n.table + " (kind, job, body) SELECT " + QByteArray::number(kind) +
               ", r." + ident(s.key) + ", " + n.doc + '(' + rowText(s, "r") + ") FROM " +
               ident(storedTableName(s.table)) + " r WHERE r." + ident(s.key) + " IS NOT NULL;\n";
    }
    return sql;
}

bool tableExists(Session& session, const QByteArray& name) {
    return session.run("SELECT to_regclass($1) IS NOT NULL", Params{name}).text(0, 0) == "t";
}

bool inStep(Session& session, const TextIndex& index, const Names& n) {
    QByteArrayList sources;
    for (const TextIndexSource& s : index.sources)
        sources << "(SELECT count(*) FROM " + ident(storedTableName(s.table)) + " WHERE " +
                       ident(s.key) + " IS NOT NULL)";
    return session
               .run("SELECT " + sources.join(" + ") + " = (SELECT count(*) FROM " + n.table + ')',
                    Params{})
               .text(0, 0) == "t";
}

bool triggersPresent(Session& session, const TextIndex& index, const Names& n) {
    int found = 0;
    for (const TextIndexSource& s : index.sources)
        found += session
                     .run("SELECT count(*) FROM pg_trigger WHERE tgname = $1 AND tgrelid = "
                          "to_regclass($2)",
                          Params{n.trigger(s).mid(1).chopped(1), ident(storedTableName(s.table))})
                     .text(0, 0)
                     .toInt();
    return found == int(index.sources.size());
}

} // namespace

void ensureTsIndex(Session& session, const TextIndex& index) {
    const Names n(index);
    const bool own = !session.inTransaction();
    if (own)
        session.run(QByteArrayView("BEGIN"));
    try {
        session.run(kIndexLock, Params{});
        const bool exists = tableExists(session, n.table);
        const bool current = exists && inStep(session, index, n);
        if (!current || !triggersPresent(session, index, n)) {
            // Triggers are only (re)made when missing: making one locks its table against
            // every other program's writes.
            session.run(QByteArrayView(functionsSql(index, n, unaccentSchema(session)) +
                                       tableSql(n) + triggersSql(index, n)));
            if (!current)
                session.run(QByteArrayView(fillSql(index, n)));
        }
        if (own)
            session.run(QByteArrayView("COMMIT"));
    } catch (...) {
        try {
            session.run(QByteArrayView("ROLLBACK"));
        } catch (...) {
            // the session is gone; the server rolled back
        }
        throw;
    }
}

std::vector<qint64> searchTsIndex(Session& session, const TextIndex& index,
                                  const QStringList& words) {
    std::vector<qint64> keys;
    if (words.isEmpty())
        return keys;
    // A text[] literal: every word quoted, its quotes and backslashes escaped.
    QByteArray array = "{";
    for (const QString& w : words) {
        if (array.size() > 1)
            array += ',';
        array += '"' + w.toUtf8().replace('\\', "\\\\").replace('"', "\\\"") + '"';
    }
    array += '}';
    const Names n(index);
    const Result r = session.run("SELECT DISTINCT job FROM " + n.table + " WHERE body @@ " +
                                     n.query + "($1::text[])",
                                 Params{array});
    keys.reserve(size_t(r.rows()));
    for (int row = 0; row < r.rows(); ++row)
        keys.push_back(r.text(row, 0).toByteArray().toLongLong());
    return keys;
}

} // namespace brevant::db::pg
