#include "platform/db/sqlite/SqliteJetFunctions.h"

#include "platform/db/JetDate.h"

#include <QDateTime>
#include <QString>
#include <sqlite3.h>

namespace brevant::db {

namespace {

// Byte length of the first n UTF-8 characters of s (of length len).
int utf8Prefix(const unsigned char* s, int len, sqlite3_int64 n) {
    int i = 0;
    while (i < len && n > 0) {
        ++i;
        while (i < len && (s[i] & 0xC0) == 0x80)
            ++i;
        --n;
    }
    return i;
}

int utf8Length(const unsigned char* s, int len) {
    int count = 0;
    for (int i = 0; i < len; ++i)
        if ((s[i] & 0xC0) != 0x80)
            ++count;
    return count;
}

// left(text, n) and right(text, n): Null in, Null out; n below 0 is an error as in Jet.
void leftOrRight(sqlite3_context* ctx, int, sqlite3_value** argv, bool left) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
        return;
    }
    const auto* s = sqlite3_value_text(argv[0]);
    const int len = sqlite3_value_bytes(argv[0]);
    if (left) {
        sqlite3_result_text(ctx, reinterpret_cast<const char*>(s), utf8Prefix(s, len, n),
                            SQLITE_TRANSIENT);
    } else {
        const int chars = utf8Length(s, len);
        const int skip = n >= chars ? 0 : utf8Prefix(s, len, chars - n);
        sqlite3_result_text(ctx, reinterpret_cast<const char*>(s) + skip, len - skip,
                            SQLITE_TRANSIENT);
    }
}

void jetLeft(sqlite3_context* c, int n, sqlite3_value** v) {
    leftOrRight(c, n, v, true);
}
void jetRight(sqlite3_context* c, int n, sqlite3_value** v) {
    leftOrRight(c, n, v, false);
}

// datepart(interval, date) with Jet's interval names.
void jetDatepart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString interval =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0]))).toLower();
    const auto parts = storedDateParts(
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[1]))));
    if (!parts) {
        sqlite3_result_error(ctx, "Data type mismatch in criteria expression.", -1);
        return;
    }
    const QDate d = parts->first;
    const QTime t = parts->second;
    int result;
    if (interval == QLatin1String("yyyy"))
        result = d.year();
    else if (interval == QLatin1String("q"))
        result = (d.month() - 1) / 3 + 1;
    else if (interval == QLatin1String("m"))
        result = d.month();
    else if (interval == QLatin1String("y"))
        result = d.dayOfYear();
    else if (interval == QLatin1String("d"))
        result = d.day();
    else if (interval == QLatin1String("w"))
        result = d.dayOfWeek() % 7 + 1; // Sunday is 1
    else if (interval == QLatin1String("ww"))
        result = (d.dayOfYear() + QDate(d.year(), 1, 1).dayOfWeek() % 7 - 1) / 7 + 1;
    else if (interval == QLatin1String("h"))
        result = t.hour();
    else if (interval == QLatin1String("n"))
        result = t.minute();
    else if (interval == QLatin1String("s"))
        result = t.second();
    else {
        sqlite3_result_error(ctx, "Invalid procedure call or argument", -1);
        return;
    }
    sqlite3_result_int(ctx, result);
}

} // namespace

int registerJetFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function(db, "jet_left", 2, flags, nullptr, jetLeft, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc =
            sqlite3_create_function(db, "jet_right", 2, flags, nullptr, jetRight, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "jet_datepart", 2, flags, nullptr, jetDatepart, nullptr,
                                     nullptr);
    return rc;
}

} // namespace brevant::db
