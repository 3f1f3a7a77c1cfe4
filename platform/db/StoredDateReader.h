#pragma once
// Turns the date column texts of one query result into QDateTime values. A local QDateTime
// costs a time-zone look-up (glibc re-reads /etc/localtime's status each time), and a result
// repeats the same dates many times over (bid dates fall on a few days at a few hours), so each
// distinct date and time is converted once per result. The values are those fromStoredDate
// gives; the cache lives no longer than one result, so a time-zone change between reads shows.
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QVariant>

namespace brevant::db {

class StoredDateReader {
public:
    // The value of a date column's text: a QDateTime, or the text itself when it is not a date.
    QVariant read(QByteArrayView utf8);

private:
    QHash<qint64, QDateTime> seen_;
};

} // namespace brevant::db
