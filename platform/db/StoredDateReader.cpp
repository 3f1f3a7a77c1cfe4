#include "platform/db/StoredDateReader.h"

#include "platform/db/JetDate.h"

namespace brevant::db {

namespace {
// Past this many distinct values a result is mostly distinct times; the cache would only grow.
constexpr qsizetype kMaxDistinct = 50000;
} // namespace

QVariant StoredDateReader::read(QByteArrayView utf8) {
    if (const auto parts = storedFormParts(utf8)) {
        const qint64 key =
            parts->first.toJulianDay() * 86400 + parts->second.msecsSinceStartOfDay() / 1000;
        if (const auto it = seen_.constFind(key); it != seen_.cend())
            return *it;
        const QDateTime dt = localDateTime(parts->first, parts->second);
        if (seen_.size() < kMaxDistinct)
            seen_.insert(key, dt);
        return dt;
    }
    // Rows written by other tools may hold another accepted form.
    const QString text = QString::fromUtf8(utf8);
    const QDateTime dt = fromStoredDate(text);
    return dt.isValid() ? QVariant(dt) : QVariant(text);
}

} // namespace brevant::db
