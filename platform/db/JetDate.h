#pragma once
// Dates in Desktop.mdb are ISO-8601 texts "YYYY-MM-DD HH:MM:SS" so that they sort and compare
// as dates. These helpers convert the texts the service and the client send, and read the
// stored form back.
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>
#include <utility>

namespace brevant::db {

// Converts "m/d/yyyy", "m/d/yy", "m/d/yyyy h:mm[:ss] [AM|PM]", "yyyy-mm-dd[ T]hh:mm[:ss]" and
// "h:mm:ss AM"-less variants to the stored form; std::nullopt when the text is not a date.
std::optional<QString> toStoredDate(const QString& text);

// The date and time of day of a stored date (or any accepted form), without a time zone.
std::optional<std::pair<QDate, QTime>> storedDateParts(const QString& stored);

// The date and time of exactly the stored form (UTF-8, as SQLite gives it); std::nullopt for
// any other text.
std::optional<std::pair<QDate, QTime>> storedFormParts(QByteArrayView utf8);

// A stored date and time as a QDateTime in local time, or in UTC when local time skips it.
QDateTime localDateTime(QDate date, QTime time);

// The stored form as a QDateTime in local time; a wall-clock time that local time skips (a
// daylight-saving gap) is given in UTC so its date and time stay as stored. Invalid when the
// text is not a date.
QDateTime fromStoredDate(const QString& stored);

// "mm/dd/yyyy" for a date value read from a recordset (QDateTime, QDate or stored text);
// an empty text for Null or anything that is not a date.
QString formatDate(const QVariant& value);

// True when the value is a date in the year 1900, which marks "no date set".
bool isNoDateSet(const QVariant& value);

} // namespace brevant::db
