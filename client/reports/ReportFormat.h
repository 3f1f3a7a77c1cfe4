#pragma once
// How the reports turn values into text: the contact type names, padding, money "$#,##0",
// dates "mm/dd/yyyy" and the locale's default date form. A Null value gives an empty text
// wherever a value is appended.
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace brevant::reports {

// The name shown for a contact's role code (compared in upper case); empty when unknown.
QString ContactTypeName(const QString& type);

// text followed by blanks up to width characters; a longer text comes back unchanged.
QString PadRight(const QString& text, int width);

// "$#,##0": dollars, thousands grouped, rounded to whole dollars; "-$1,234" below zero. Null
// or empty gives an empty text, a text that is not a number comes back unchanged.
QString FormatMoney(const QVariant& value);

// "mm/dd/yyyy" for a date or a text holding a date; other texts come back unchanged, Null as
// an empty text.
QString FormatMmDdYyyy(const QVariant& value);

// The user's locale's short date format with a four-digit year ("M/d/yyyy" in en_US).
QString shortDateFormat();

// The default date form of the user's locale: the short date with a four-digit year, followed
// by the time of day unless it is midnight ("12/8/2026", "12/8/2026 2:25:06 AM").
QString DefaultDateText(const QDateTime& value);
// The same for a value read from the database; a text that is not a date comes back unchanged.
QString DefaultDateText(const QVariant& value);

// A value as text in a report: Null empty, whole numbers without decimals, dates in the
// default form, True/False for yes/no values.
QString ValueText(const QVariant& value);

// A yes/no value: Null and zero are false, any other number true.
bool IsTrue(const QVariant& value);

// The date a value holds (a date or a text in one of the stored or sent forms); invalid when
// it holds none.
QDateTime DateOf(const QVariant& value);

} // namespace brevant::reports
