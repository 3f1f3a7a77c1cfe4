#pragma once
// Turns one statement in the Jet dialect the client writes into SQLite text with its literals
// as bound parameters (so that prepared statements can be reused), converting on the way:
//   [name] -> "name"; Delete * from -> DELETE FROM; 'a' & chr(124) & 'b' -> one literal;
//   & -> ||; left(x,n) -> jet_left(x,n) (LEFT is an SQLite keyword); datepart(yyyy, x) ->
//   jet_datepart('yyyy', x); TRUE/FALSE -> 1/0; #date# -> stored date text; a text written to
//   or compared with a date column -> stored date text; TRUE, -1, 'True' written to or compared
//   with a yes/no column -> 1; a trailing ';' is dropped, anything after it is refused.
// It is deliberately not a general SQL parser: it recognises the forms above by their tokens.
// For PostgreSQL it writes that engine's forms of the same statements (see TranslateOptions).
#include "platform/db/JetLexer.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <vector>

namespace brevant::db {

// The engine whose SQL the translator writes.
enum class Dialect { Sqlite, PostgreSql };

// Number: a NUMERIC/INTEGER/REAL column, which keeps the service's values as sent (numbers, and
// the odd text); in a PostgreSQL store such a column is a text domain.
enum class ColumnKind { Other, Date, YesNo, Number };

// Column kinds by table, names compared without regard to case.
class JetSchema {
public:
    void setKind(const QString& table, const QString& column, ColumnKind kind);
    ColumnKind kind(const QString& table, const QString& column) const;
    bool hasTable(const QString& table) const;
    void clear() { tables_.clear(); }

    // The kind implied by a declared column type (DATETIME, BOOLEAN, NUMERIC, ...).
    static ColumnKind kindOfDeclaredType(const QString& declaredType);

    // A name compared and hashed without regard to case, so look-ups need no lower-case copy.
    struct Name {
        QString text;
        bool operator==(const Name& other) const;
    };

private:
    QHash<Name, QHash<Name, ColumnKind>> tables_;
};

size_t qHash(const JetSchema::Name& name, size_t seed = 0) noexcept;

struct TranslatedStatement {
    enum class Verb { Select, Insert, Update, Delete };
    Verb verb = Verb::Select;
    QByteArray sql;      // UTF-8 text with '?' (SQLite) or '$1'.. (PostgreSQL) placeholders
    QVariantList params; // in placeholder order: null, qlonglong, double or QString
};

struct TranslateOptions {
    Dialect dialect = Dialect::Sqlite;
    // An INSERT whose row a unique key may already hold: PostgreSQL gets ON CONFLICT DO
    // NOTHING (a refused row would abort its whole transaction); SQLite's text is unchanged.
    bool unlessDuplicate = false;
};

// Throws DbError (CommandError) for a statement it cannot translate.
TranslatedStatement translateJet(const QString& jetSql, const JetSchema& schema,
                                 TranslateOptions options = {});

// Remembers translations by the statement's shape (its text with the literals' values left
// out): statements written by the same code differ only in their values, and one of a known
// shape is bound from the remembered translation after tokenizing alone. Belongs to one schema;
// clear it when the schema changes.
class JetTranslationCache {
public:
    TranslatedStatement translate(const QString& jetSql, const JetSchema& schema,
                                  TranslateOptions options = {});
    void clear() { shapes_.clear(); }

private:
    static constexpr qsizetype Limit = 256;
    struct Shape {
        std::vector<JetToken> tokens; // the literals without their values
        TranslateOptions options;
        TranslatedStatement::Verb verb;
        QByteArray sql;
        std::vector<ColumnKind> literalKinds; // how each literal, in order, is bound
    };
    QMultiHash<size_t, Shape> shapes_;
};

} // namespace brevant::db
