#include "store/SqlValue.h"

namespace brevant::store {

QString SqlEscape(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    out.replace(QLatin1Char('|'), QLatin1String("' & chr(124) & '"));
    return out;
}

bool IsPlainDecimal(QStringView text) {
    qsizetype i = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    qsizetype digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

namespace {

// A plain decimal with an optional exponent: the texts that can stand in a statement unquoted
// and mean only a number.
bool isPlainNumber(const QString& text) {
    const qsizetype e = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    if (e < 0)
        return IsPlainDecimal(text);
    QStringView exponent = QStringView(text).mid(e + 1);
    if (exponent.startsWith(u'-') || exponent.startsWith(u'+'))
        exponent = exponent.mid(1);
    if (exponent.isEmpty())
        return false;
    for (QChar c : exponent) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return IsPlainDecimal(QStringView(text).left(e));
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
