#include "platform/db/JetDate.h"

#include <QRegularExpression>

namespace brevant::db {

namespace {

QString storedText(int y, int mo, int d, int h, int mi, int s) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(mo, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'))
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(mi, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

// Validates the parts and builds the stored form; ampm is "", "AM" or "PM".
std::optional<QString> build(int y, int mo, int d, int h, int mi, int s, const QString& ampm) {
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return std::nullopt;
        if (ampm == QLatin1String("AM"))
            h = (h == 12) ? 0 : h;
        else
            h = (h == 12) ? 12 : h + 12;
    }
    if (!QDate::isValid(y, mo, d) || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    return storedText(y, mo, d, h, mi, s);
}

} // namespace

std::optional<QString> toStoredDate(const QString& input) {
    const QString text = input.trimmed();
    // Month/day/year with an optional time of day, as the service and the short date form send.
    static const QRegularExpression us(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)"
                       R"((?:\s*([AaPp])\.?[Mm]\.?)?)?$)"));
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[T\s]+(\d{1,2}):(\d{2})(?::(\d{2}))?)"
                       R"((?:\.\d+)?(?:Z|[+-]\d{2}:?\d{2})?)?$)"));
    if (auto m = us.match(text); m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2)
            year += year < 30 ? 2000 : 1900; // the usual two-digit window
        const QString ampm = m.captured(7).toUpper();
        return build(year, m.captured(1).toInt(), m.captured(2).toInt(), m.captured(4).toInt(),
                     m.captured(5).toInt(), m.captured(6).toInt(),
                     ampm.isEmpty() ? QString() : ampm + QLatin1Char('M'));
    }
    if (auto m = iso.match(text); m.hasMatch()) {
        return build(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                     m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), {});
    }
    return std::nullopt;
}

std::optional<std::pair<QDate, QTime>> storedDateParts(const QString& stored) {
    // The stored form itself is read without regular expressions: it is read for every row.
    if (stored.size() == 19 && stored[4] == QLatin1Char('-') && stored[10] == QLatin1Char(' ')) {
        const QDate d(QStringView(stored).mid(0, 4).toInt(), QStringView(stored).mid(5, 2).toInt(),
                      QStringView(stored).mid(8, 2).toInt());
        const QTime t(QStringView(stored).mid(11, 2).toInt(),
                      QStringView(stored).mid(14, 2).toInt(),
                      QStringView(stored).mid(17, 2).toInt());
        if (d.isValid() && t.isValid())
            return std::make_pair(d, t);
    }
    if (const auto converted = toStoredDate(stored); converted && *converted != stored)
        return storedDateParts(*converted);
    return std::nullopt;
}

QDateTime fromStoredDate(const QString& stored) {
    const auto parts = storedDateParts(stored);
    if (!parts)
        return {};
    QDateTime local(parts->first, parts->second);
    if (local.isValid())
        return local;
    return QDateTime(parts->first, parts->second, Qt::UTC);
}

namespace {
QDate dateOf(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QDate:
        return value.toDate();
    default:
        return fromStoredDate(value.toString()).date();
    }
}
} // namespace

QString formatDate(const QVariant& value) {
    const QDate d = dateOf(value);
    return d.isValid() ? d.toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

bool isNoDateSet(const QVariant& value) {
    const QDate d = dateOf(value);
    return d.isValid() && d.year() == 1900;
}

} // namespace brevant::db
