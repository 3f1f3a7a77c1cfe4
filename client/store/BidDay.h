#pragma once
// The day of a bid date as the server sends it or the database stores it, for lists that order
// by it.
#include <QDate>
#include <QString>

namespace brevant::store {

// Reads the texts bidDateText (ProjectList.h) reads; an invalid date for any other text, which
// orders before every day. A 1900 day is a real day here, so "No Date Set" orders first.
QDate bidDay(const QString& storedDate);

} // namespace brevant::store
