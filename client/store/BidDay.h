#pragma once
// The day of a bid date as the server sends it or the database stores it, for lists that order
// by it and for marking the bids that have passed.
#include <QDate>
#include <QString>

namespace brevant::store {

// Reads the texts bidDateText (ProjectList.h) reads; an invalid date for any other text, which
// orders before every day. A 1900 day is a real day here, so "No Date Set" orders first.
QDate bidDay(const QString& storedDate);

// True when the bid date (stored or as the list shows it) is a day before today. "No Date Set"
// (the year 1900), an empty or unreadable date is never past due; a bid due today is still open.
bool isPastDue(const QString& bidDate, const QDate& today);

} // namespace brevant::store
