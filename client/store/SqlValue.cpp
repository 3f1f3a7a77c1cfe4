#include "store/SqlValue.h"

namespace brevant::store {

QString SqlEscape(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    out.replace(QLatin1Char('|'), QLatin1String("' & chr(124) & '"));
    return out;
}

namespace {

// Digits with an optional sign, decimal point and exponent: the texts that can stand in a
// statement unquoted and mean only a number.
bool isPlainNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digits = [&] {
        const qsizetype start = i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++i;
        return i - start;
    };
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

} // namespace

QString SqlValue(const QVariant& value, bool isNumber) {
    if (value.isNull())
        return QStringLiteral("NULL");
    if (isNumber && value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    const QString text = value.toString();
    if (text.isEmpty())
        return QStringLiteral("NULL");
    // A value said to be a number is written bare only when it is one: the imports feed this
    // the service's texts, and a bare text would become part of the statement.
    if (isNumber && isPlainNumber(text))
        return text;
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

} // namespace brevant::store
