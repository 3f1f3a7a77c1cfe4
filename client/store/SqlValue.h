#pragma once
// SQL literals for the statements the client builds by concatenation.
#include <QString>
#include <QVariant>

namespace brevant::store {

// Doubles every "'" and then replaces every "|" by "' & chr(124) & '", so that the statement
// text holds no "|" while the stored value keeps it.
QString SqlEscape(const QString& text);

// Digits with an optional sign and one optional decimal point, at least one digit ("-3.50",
// ".5", "5."; not "1e5", "555-1234" or "-"): a value a numeric column may take unquoted.
bool IsPlainDecimal(QStringView text);

// "NULL" for a Null value or an empty text; the text unchanged when isNumber and it is a plain
// number (digits with an optional sign, decimal point and exponent) or a Boolean ("True",
// "False"); otherwise the text escaped by SqlEscape in single quotes.
QString SqlValue(const QVariant& value, bool isNumber);

} // namespace brevant::store
