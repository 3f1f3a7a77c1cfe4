#pragma once
// One database row as the reports read it: values by column name, without regard to case; a
// column that is missing reads as Null, like a Null field.
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

namespace brevant::db {
class Connection;
class Recordset;
} // namespace brevant::db

namespace brevant::reports {

class Record {
public:
    Record() = default;
    Record(std::initializer_list<std::pair<QString, QVariant>> values);

    void set(const QString& name, const QVariant& value);
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }

private:
    QHash<QString, QVariant> values_; // keys in lower case
};

// The current row of an open recordset; an empty Record at EOF or when it is closed.
Record CurrentRecord(const db::Recordset& rs);

// Every row of a query, in the query's order.
QList<Record> ReadRecords(db::Connection& connection, const QString& sql);

} // namespace brevant::reports
