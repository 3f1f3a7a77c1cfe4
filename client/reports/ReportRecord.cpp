#include "reports/ReportRecord.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

namespace brevant::reports {

Record::Record(std::initializer_list<std::pair<QString, QVariant>> values) {
    for (const auto& [name, value] : values)
        set(name, value);
}

void Record::set(const QString& name, const QVariant& value) {
    values_.insert(name.toLower(), value);
}

QVariant Record::value(const QString& name) const {
    return values_.value(name.toLower());
}

Record CurrentRecord(const db::Recordset& rs) {
    Record r;
    if (!rs.isOpen() || rs.eof() || rs.bof())
        return r;
    for (int i = 0; i < rs.fieldCount(); ++i)
        r.set(rs.fieldName(i), rs.field(i));
    return r;
}

QList<Record> ReadRecords(db::Connection& connection, const QString& sql) {
    QList<Record> rows;
    db::Recordset rs;
    rs.open(sql, connection);
    while (!rs.eof()) {
        rows.push_back(CurrentRecord(rs));
        rs.moveNext();
    }
    rs.close();
    return rows;
}

} // namespace brevant::reports
