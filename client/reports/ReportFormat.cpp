#include "reports/ReportFormat.h"

#include "platform/db/JetDate.h"

#include <QLocale>
#include <cmath>

namespace brevant::reports {

QString ContactTypeName(const QString& type) {
    const QString t = type.toUpper();
    if (t == u"A")
        return QStringLiteral("ARCHITECT");
    if (t == u"E")
        return QStringLiteral("ENGINEER");
    if (t == u"O" || t == u"OWNER")
        return QStringLiteral("OWNER");
    if (t == u"GENERAL CO")
        return QStringLiteral("GENERAL CONTACTOR");
    if (t == u"CM")
        return QStringLiteral("CM");
    if (t == u"DESIGN")
        return QStringLiteral("DESIGNER");
    if (t == u"B")
        return QStringLiteral("BIDDER");
    return QString();
}

QString PadRight(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return text + QString(width - text.size(), u' ');
}

QString FormatMoney(const QVariant& value) {
    if (value.isNull())
        return QString();
    bool ok = false;
    double amount = 0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return QString();
        amount = text.toDouble(&ok);
        if (!ok)
            return value.toString();
    } else {
        amount = value.toDouble(&ok);
        if (!ok)
            return ValueText(value);
    }
    if (!std::isfinite(amount) || std::fabs(amount) >= 9.2e18)
        return ValueText(value);
    const long long whole = std::llround(amount);
    const QString digits = QLocale().toString(static_cast<qlonglong>(std::llabs(whole)));
    return (whole < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + digits;
}

QDateTime DateOf(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return value.toDate().startOfDay();
    case QMetaType::QString:
        return db::fromStoredDate(value.toString());
    default:
        return {};
    }
}

QString FormatMmDdYyyy(const QVariant& value) {
    if (value.isNull())
        return QString();
    const QDateTime dt = DateOf(value);
    if (!dt.isValid())
        return ValueText(value);
    return dt.date().toString(QStringLiteral("MM/dd/yyyy"));
}

QString shortDateFormat() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

namespace {

QString longTimeFormat() {
    // The locale's long time form without the time zone, which a stored date does not have.
    QString f = QLocale().timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.simplified();
}

} // namespace

QString DefaultDateText(const QDateTime& value) {
    if (!value.isValid())
        return QString();
    const QLocale locale;
    QString text = locale.toString(value.date(), shortDateFormat());
    if (value.time() != QTime(0, 0))
        text += u' ' + locale.toString(value.time(), longTimeFormat());
    return text;
}

QString DefaultDateText(const QVariant& value) {
    if (value.isNull())
        return QString();
    const QDateTime dt = DateOf(value);
    return dt.isValid() ? DefaultDateText(dt) : ValueText(value);
}

QString ValueText(const QVariant& value) {
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qlonglong>(d));
        return QString::number(d, 'g', 15);
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return DefaultDateText(DateOf(value));
    default:
        return value.toString();
    }
}

bool IsTrue(const QVariant& value) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString t = value.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        bool ok = false;
        const double d = t.toDouble(&ok);
        return ok && d != 0;
    }
    default:
        return value.toDouble() != 0;
    }
}

} // namespace brevant::reports
