// Date columns as a recordset gives them: the stored form read by hand, other texts converted,
// anything else left as text, and every value the same as a lone conversion would give.
#include "DbFixture.h"

#include "platform/db/JetDate.h"

#include <time.h>

using brevant::db::fromStoredDate;
using brevant::db::Recordset;

namespace {

// Due_Date of each row in Job_ID order, and its Pre_Bid_Date.
std::vector<std::pair<QVariant, QVariant>> readDates(brevant::db::Connection& db) {
    Recordset rs;
    rs.open("SELECT Due_Date, Pre_Bid_Date FROM Projects ORDER BY Job_ID", db);
    std::vector<std::pair<QVariant, QVariant>> out;
    for (; !rs.eof(); rs.moveNext())
        out.emplace_back(rs.field(0), rs.field(1));
    return out;
}

// Portable SQL written straight to either engine.
class RecordsetDates : public BothEngines {};

TEST_P(RecordsetDates, StoredTextThatIsNotQuiteADateStaysText) {
    // Written by another tool, not through the translator.
    db.executeNative("INSERT INTO Projects (Job_ID, Due_Date) VALUES "
                     "(1, '2026-12-05 14:00:xx'), (2, '2026-12-05 14:00:+5'), "
                     "(3, '2026-12-05T14:00:05'), (4, '2026-02-29 00:00:00'), "
                     "(5, '2026-12-05 24:00:00'), (6, '2026 12-05 14:00:05'), "
                     "(7, '2026-12-05  4:00:05')");
    const auto rows = readDates(db);
    ASSERT_EQ(rows.size(), 7u);
    const QStringList text = {
        "2026-12-05 14:00:xx", "2026-12-05 14:00:+5", "", "2026-02-29 00:00:00",
        "2026-12-05 24:00:00", "2026 12-05 14:00:05", ""};
    for (size_t i = 0; i < rows.size(); ++i) {
        if (text[int(i)].isEmpty())
            continue;
        EXPECT_EQ(rows[i].first.typeId(), QMetaType::QString) << i;
        EXPECT_EQ(rows[i].first.toString(), text[int(i)]) << i;
    }
    // Accepted forms other than the stored one are still dates.
    EXPECT_EQ(rows[2].first.toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(14, 0, 5)));
    EXPECT_EQ(rows[6].first.toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(4, 0, 5)));
}

TEST_P(RecordsetDates, RepeatedAndEdgeDatesReadAsLoneConversionsDo) {
    db.executeNative("INSERT INTO Projects (Job_ID, Due_Date, Pre_Bid_Date) VALUES "
                     "(1, '1900-01-01 00:00:00', '2028-02-29 23:59:59'), "
                     "(2, '2026-12-31 23:59:59', '1900-01-01 00:00:00'), "
                     "(3, '1900-01-01 00:00:00', '2026-12-31 23:59:59'), "
                     "(4, '12/15/2026 2:00:00 PM', '2026-12-15 14:00:00'), "
                     "(5, '2026-01-31 00:00:00', NULL)");
    const auto rows = readDates(db);
    ASSERT_EQ(rows.size(), 5u);
    const char* due[] = {"1900-01-01 00:00:00", "2026-12-31 23:59:59", "1900-01-01 00:00:00",
                         "2026-12-15 14:00:00", "2026-01-31 00:00:00"};
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].first.typeId(), QMetaType::QDateTime) << i;
        const QDateTime dt = rows[i].first.toDateTime();
        const QDateTime lone = fromStoredDate(due[i]);
        EXPECT_EQ(dt, lone) << i;
        EXPECT_EQ(dt.timeSpec(), lone.timeSpec()) << i;
        EXPECT_EQ(dt.toString("yyyy-MM-dd HH:mm:ss"), due[i]) << i;
    }
    EXPECT_TRUE(brevant::db::isNoDateSet(rows[0].first));
    EXPECT_TRUE(brevant::db::isNoDateSet(rows[1].second));
    EXPECT_EQ(brevant::db::formatDate(rows[0].second), "02/29/2028");
    EXPECT_EQ(brevant::db::formatDate(rows[4].first), "01/31/2026");
    EXPECT_TRUE(rows[4].second.isNull());
}

TEST_P(RecordsetDates, DatesInADaylightSavingGapReadBackThroughARecordset) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "America/Chicago");
    tzset();
    db.executeNative("INSERT INTO Projects (Job_ID, Due_Date, Pre_Bid_Date) VALUES "
                     "(1, '2026-03-08 02:30:00', '2026-03-09 02:30:00'), "
                     "(2, '2026-03-09 02:30:00', '2026-03-08 02:30:00')");
    const auto rows = readDates(db);
    ASSERT_EQ(rows.size(), 2u);
    for (const QVariant& gap : {rows[0].first, rows[1].second}) {
        const QDateTime dt = gap.toDateTime();
        EXPECT_EQ(dt.date(), QDate(2026, 3, 8));
        EXPECT_EQ(dt.time(), QTime(2, 30));
    }
    for (const QVariant& normal : {rows[0].second, rows[1].first}) {
        EXPECT_EQ(normal.toDateTime().timeSpec(), Qt::LocalTime);
        EXPECT_EQ(normal.toDateTime().time(), QTime(2, 30));
    }
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();
}

BREVANT_ON_BOTH_ENGINES(RecordsetDates);

} // namespace
