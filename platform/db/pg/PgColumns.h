#pragma once
// What the columns of a PostgreSQL result hold, and their values as the recordsets give them
// (internal to platform/db). A column that comes straight from a table is known by its table
// and attribute (PQftable/PQftablecol): PQftype would report a domain's base type, and the
// domains are what tell a date or a number kept as text. Computed columns go by their type.
#include "platform/db/JetTranslator.h"
#include "platform/db/StoredDateReader.h"

#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <vector>

namespace brevant::db::pg {

class Result;
class Session;

enum class ValueKind {
    Text,
    Integer,
    Real,
    Boolean,
    Bytes,
    Number, // jet_numeric: a number when the text is one, else the text (as SQLite's NUMERIC)
    Date,   // jet_date: a QDateTime when the text is a stored date, else the text
    YesNo,  // jet_yesno: bool
};

struct ColumnInfo {
    ValueKind kind = ValueKind::Text;
    QString name; // the Desktop spelling for a Desktop column, else as the server names it
};

// Remembers the columns of the tables seen, per session; clear it when the tables change.
class ColumnCatalog {
public:
    std::vector<ColumnInfo> describe(Session& session, const Result& result);
    void clear();

private:
    void load(Session& session, unsigned table);
    QHash<quint64, ColumnInfo> columns_; // table oid << 16 | attribute number
    QSet<unsigned> loaded_;
};

// The kind a value of this type (pg_type oid) has when nothing more is known of its column.
ValueKind kindOfType(unsigned type);

// The value of one field (not Null) of the given kind, from its text form.
QVariant decodeValue(ValueKind kind, QByteArrayView text, StoredDateReader& dates);

// The date, yes/no and number (text domain) columns of the tables in the session's schema, for the
// translator.
void loadJetSchema(Session& session, JetSchema& schema);

} // namespace brevant::db::pg
