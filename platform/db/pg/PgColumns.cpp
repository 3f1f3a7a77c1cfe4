#include "platform/db/pg/PgColumns.h"

#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/pg/PgSession.h"

#include <cmath>

namespace brevant::db::pg {

namespace {

// Type oids of pg_type (fixed in every server).
constexpr unsigned kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26,
                   kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

} // namespace

ValueKind kindOfType(unsigned type) {
    switch (type) {
    case kBool:
        return ValueKind::Boolean;
    case kBytea:
        return ValueKind::Bytes;
    case kInt8:
    case kInt2:
    case kInt4:
    case kOid:
        return ValueKind::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return ValueKind::Real;
    default:
        return ValueKind::Text;
    }
}

namespace {

quint64 key(unsigned table, int column) {
    return (quint64(table) << 16) | quint64(column & 0xffff);
}

// SQLite's NUMERIC affinity: a well-formed integer is an integer, a well-formed real a real
// (an integer when it has no fraction), anything else stays text.
QVariant numberValue(QByteArrayView text) {
    const QByteArray t = text.trimmed().toByteArray();
    if (t.isEmpty())
        return QString::fromUtf8(text);
    bool ok = false;
    const qlonglong i = t.toLongLong(&ok);
    if (ok)
        return i;
    const bool numeric = std::all_of(t.begin(), t.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    });
    const double d = numeric ? t.toDouble(&ok) : 0.0;
    if (!numeric || !ok)
        return QString::fromUtf8(text);
    if (std::trunc(d) == d && std::fabs(d) < 9.2e18)
        return qlonglong(d);
    return d;
}

} // namespace

QVariant decodeValue(ValueKind kind, QByteArrayView text, StoredDateReader& dates) {
    switch (kind) {
    case ValueKind::Integer:
        return text.toByteArray().toLongLong();
    case ValueKind::Real:
        return text.toByteArray().toDouble();
    case ValueKind::Boolean:
        return text == "t";
    case ValueKind::YesNo:
        return text.toByteArray().toLongLong() != 0;
    case ValueKind::Bytes: {
        const auto unescaped =
            QByteArray::fromHex(text.sliced(text.startsWith("\\x") ? 2 : 0).toByteArray());
        return unescaped;
    }
    case ValueKind::Number:
        return numberValue(text);
    case ValueKind::Date:
        return dates.read(text);
    case ValueKind::Text:
        break;
    }
    return QString::fromUtf8(text);
}

void ColumnCatalog::clear() {
    columns_.clear();
    loaded_.clear();
}

void ColumnCatalog::load(Session& session, unsigned table) {
    loaded_.insert(table);
    const Result r =
        session.run("SELECT a.attnum, a.attname, c.relname, t.typname, t.typbasetype, a.atttypid "
                    "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
                    "JOIN pg_type t ON t.oid = a.atttypid "
                    "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped",
                    Params{QByteArray::number(table)});
    for (int row = 0; row < r.rows(); ++row) {
        const int attnum = r.text(row, 0).toInt();
        const QString column = QString::fromUtf8(r.text(row, 1));
        const QString relation = QString::fromUtf8(r.text(row, 2));
        const QByteArrayView type = r.text(row, 3);
        ColumnInfo info;
        if (type == "jet_date")
            info.kind = ValueKind::Date;
        else if (type == "jet_numeric")
            info.kind = ValueKind::Number;
        else if (type == "jet_yesno")
            info.kind = ValueKind::YesNo;
        else {
            const unsigned base = r.text(row, 4).toUInt();
            info.kind = kindOfType(base ? base : r.text(row, 5).toUInt());
        }
        info.name = desktopColumnSpelling(relation, column);
        if (info.name.isEmpty())
            info.name = column;
        columns_.insert(key(table, attnum), info);
    }
}

std::vector<ColumnInfo> ColumnCatalog::describe(Session& session, const Result& result) {
    std::vector<ColumnInfo> out;
    out.reserve(size_t(result.columns()));
    for (int c = 0; c < result.columns(); ++c) {
        const unsigned table = result.table(c);
        const int column = result.tableColumn(c);
        if (table != 0 && column > 0) {
            if (!loaded_.contains(table))
                load(session, table);
            const auto it = columns_.constFind(key(table, column));
            if (it != columns_.cend()) {
                ColumnInfo info = *it;
                // An alias names the column as the statement asked for it.
                if (result.name(c).compare(info.name, Qt::CaseInsensitive) != 0)
                    info.name = result.name(c);
                out.push_back(info);
                continue;
            }
        }
        out.push_back({kindOfType(result.type(c)), result.name(c)});
    }
    return out;
}

void loadJetSchema(Session& session, JetSchema& schema) {
    schema.clear();
    const Result r = session.run(
        "SELECT c.relname, a.attname, t.typname FROM pg_attribute a "
        "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_type t ON t.oid = a.atttypid "
        "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind IN ('r', 'v') "
        "AND a.attnum > 0 AND NOT a.attisdropped",
        Params{});
    for (int row = 0; row < r.rows(); ++row) {
        const QByteArrayView type = r.text(row, 2);
        // Number marks the text domain, which sorts through jet_number(); bigint columns sort
        // as numbers by themselves.
        const ColumnKind kind = type == "jet_date"      ? ColumnKind::Date
                                : type == "jet_yesno"   ? ColumnKind::YesNo
                                : type == "jet_numeric" ? ColumnKind::Number
                                                        : ColumnKind::Other;
        schema.setKind(QString::fromUtf8(r.text(row, 0)), QString::fromUtf8(r.text(row, 1)), kind);
    }
}

} // namespace brevant::db::pg
