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

// 1 to 12 for an English month name or its first three letters ("Dec", "December"), else 0.
int monthNumber(const QString& name) {
    static const char* const names[] = {"january",   "february", "march",    "april",
                                        "may",       "june",     "july",     "august",
                                        "september", "october",  "november", "december"};
    const QString lower = name.toLower();
    for (int i = 0; i < 12; ++i) {
        const QLatin1String full(names[i]);
        if (lower == full || (lower.size() == 3 && full.startsWith(lower)) ||
            (i == 8 && lower == QLatin1String("sept")))
            return i + 1;
    }
    return 0;
}

} // namespace

std::optional<QString> toStoredDate(const QString& input) {
    // The forms the program writes itself (YYYY-MM-DD, with the time or not) come often: read
    // them by hand before trying the patterns.
    if (input.size() == 10 || input.size() == 19) {
        const QChar* p = input.constData();
        const auto digits = [p](int at, int count, int& out) {
            int v = 0;
            for (int i = at; i < at + count; ++i) {
                if (p[i] < u'0' || p[i] > u'9')
                    return false;
                v = v * 10 + (p[i].unicode() - u'0');
            }
            out = v;
            return true;
        };
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
        if (digits(0, 4, y) && p[4] == u'-' && digits(5, 2, mo) && p[7] == u'-' &&
            digits(8, 2, d) &&
            (input.size() == 10 || (p[10] == u' ' && digits(11, 2, h) && p[13] == u':' &&
                                    digits(14, 2, mi) && p[16] == u':' && digits(17, 2, sec))))
            return build(y, mo, d, h, mi, sec, {});
    }
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
    // A month by name, day first ("8 Dec 2026", the short date of locales such as C) or month
    // first ("Dec 8, 2026"): unambiguous, so read whatever locale wrote it.
    static const QString time = QStringLiteral(R"((?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)"
                                               R"((?:\s*([AaPp])\.?[Mm]\.?)?)?$)");
    static const QRegularExpression dayFirst(
        QStringLiteral(R"(^(\d{1,2})[\s-]+([A-Za-z]{3,9})\.?[\s,-]+(\d{4}))") + time);
    static const QRegularExpression monthFirst(
        QStringLiteral(R"(^([A-Za-z]{3,9})\.?\s+(\d{1,2}),?\s+(\d{4}))") + time);
    const auto named = [](const QRegularExpressionMatch& m, int day, int month) {
        const int mo = monthNumber(m.captured(month));
        const QString ampm = m.captured(7).toUpper();
        if (mo == 0)
            return std::optional<QString>();
        return build(m.captured(3).toInt(), mo, m.captured(day).toInt(), m.captured(4).toInt(),
                     m.captured(5).toInt(), m.captured(6).toInt(),
                     ampm.isEmpty() ? QString() : ampm + QLatin1Char('M'));
    };
    if (auto m = dayFirst.match(text); m.hasMatch())
        return named(m, 1, 2);
    if (auto m = monthFirst.match(text); m.hasMatch())
        return named(m, 2, 1);
    return std::nullopt;
}

namespace {

// Reads exactly "YYYY-MM-DD HH:MM:SS" with nothing but digits in the number places; any other
// text (signs, blanks, letters) is not the stored form and goes through the full conversion.
template <typename Char>
std::optional<std::pair<QDate, QTime>> parseStoredForm(const Char* p, qsizetype n) {
    if (n != 19)
        return std::nullopt;
    const auto number = [p](int at, int digits, int& out) {
        int v = 0;
        for (int i = at; i < at + digits; ++i) {
            if (p[i] < Char('0') || p[i] > Char('9'))
                return false;
            v = v * 10 + int(p[i] - Char('0'));
        }
        out = v;
        return true;
    };
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (p[4] != Char('-') || p[7] != Char('-') || p[10] != Char(' ') || p[13] != Char(':') ||
        p[16] != Char(':') || !number(0, 4, y) || !number(5, 2, mo) || !number(8, 2, d) ||
        !number(11, 2, h) || !number(14, 2, mi) || !number(17, 2, s))
        return std::nullopt;
    if (!QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, s))
        return std::nullopt;
    return std::make_pair(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

std::optional<std::pair<QDate, QTime>> storedFormParts(QByteArrayView utf8) {
    return parseStoredForm(utf8.data(), utf8.size());
}

std::optional<std::pair<QDate, QTime>> storedDateParts(const QString& stored) {
    // The stored form itself is read by hand: it is read for every row.
    if (auto parts = parseStoredForm(stored.utf16(), stored.size()))
        return parts;
    if (const auto converted = toStoredDate(stored); converted && *converted != stored)
        return parseStoredForm(converted->utf16(), converted->size());
    return std::nullopt;
}

QDateTime localDateTime(QDate date, QTime time) {
    QDateTime local(date, time);
    if (local.isValid())
        return local;
    return QDateTime(date, time, Qt::UTC);
}

QDateTime fromStoredDate(const QString& stored) {
    const auto parts = storedDateParts(stored);
    return parts ? localDateTime(parts->first, parts->second) : QDateTime();
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
