#include "store/SqlValue.h"

namespace brevant::store {

QString SqlEscape(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    out.replace(QLatin1Char('|'), QLatin1String("' & chr(124) & '"));
    return out;
}

QString SqlValue(const QVariant& value, bool isNumber) {
    if (value.isNull())
        return QStringLiteral("NULL");
    const QString text = value.toString();
    if (text.isEmpty())
        return QStringLiteral("NULL");
    if (isNumber)
        return text;
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

} // namespace brevant::store
