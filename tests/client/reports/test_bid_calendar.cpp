// The bid calendar: the iCalendar text read back by a real consumer (Python's icalendar), the
// events, times, reminders and UIDs, and the projects left out for having no bid date.
#include "ReportDatabase.h"
#include "reports/BidCalendar.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace brevant::reports;
using namespace reporttest;

namespace {

class BidCalendarTest : public ReportDatabase {
protected:
    void SetUp() override {
        ReportDatabase::SetUp();
        // A mandatory pre-bid at a set time, a name that needs escaping and a long description
        // that must be folded.
        db.execute("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
                   "Pre_Bid, Mandatory, Pre_Bid_Date) VALUES (77, 'Salem', 'OR', '7/1/2027', "
                   "'Pump House; Phase 2, Rev. A', 'Électricité " +
                   QString(120, QLatin1Char('x')) + "', TRUE, TRUE, '6/10/2027 10:30:00 AM')");
    }

    // The events as Python's icalendar reads them; empty with a failure when it could not.
    QJsonObject readBack(const QByteArray& text) {
        const QString path = dir.filePath("cal.ics");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        QProcess py;
        py.start(
            "/usr/bin/python3",
            {QStringLiteral(BREVANT_SOURCE_DIR) + "/tests/client/reports/read_calendar.py", path});
        EXPECT_TRUE(py.waitForFinished(60000));
        EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().constData();
        return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
    }

    static QJsonObject byUid(const QJsonObject& cal, const QString& uid) {
        for (const auto& e : cal["events"].toArray())
            if (e.toObject()["uid"].toString() == uid)
                return e.toObject();
        return {};
    }

    QDateTime stamp{QDate(2026, 12, 8), QTime(7, 0), Qt::UTC};
};

TEST_F(BidCalendarTest, EventsTimesRemindersAndLocationsReadBackByACalendarLibrary) {
    const BidCalendar cal = MakeBidCalendar(db, {4711, 12, 77}, 3, stamp);
    EXPECT_EQ(cal.events, 4);
    EXPECT_EQ(cal.projects, 2);
    EXPECT_EQ(cal.leftOut, 1); // project 12: "No Date Set"

    const QJsonObject read = readBack(cal.text);
    ASSERT_EQ(read["events"].toArray().size(), 4);
    EXPECT_EQ(read["version"].toString(), "2.0");

    const QJsonObject bid = byUid(read, "4711-bid@brevant");
    EXPECT_EQ(bid["start"].toString(), "2026-03-05T14:00:00");
    EXPECT_FALSE(bid["allday"].toBool());
    EXPECT_EQ(bid["summary"].toString(), "Bid due: Central High School Roof");
    EXPECT_EQ(bid["location"].toString(), "AUSTIN, TX");
    EXPECT_TRUE(bid["description"].toString().contains("Estimated cost: $1,250,000 - $2,500,000"));
    EXPECT_TRUE(bid["description"].toString().contains("Notes: Call Bob"));
    EXPECT_EQ(bid["alarms"].toArray(), QJsonArray({"-P3D"}));

    const QJsonObject prebid = byUid(read, "4711-prebid@brevant");
    EXPECT_EQ(prebid["start"].toString(), "2026-02-20");
    EXPECT_TRUE(prebid["allday"].toBool());
    EXPECT_EQ(prebid["summary"].toString(), "Pre-bid meeting: Central High School Roof");
    EXPECT_EQ(prebid["priority"].toInt(), 0);

    const QJsonObject mandatory = byUid(read, "77-prebid@brevant");
    EXPECT_EQ(mandatory["start"].toString(), "2027-06-10T10:30:00");
    EXPECT_EQ(mandatory["summary"].toString(),
              "MANDATORY pre-bid meeting: Pump House; Phase 2, Rev. A");
    EXPECT_EQ(mandatory["priority"].toInt(), 1);
    EXPECT_TRUE(mandatory["description"].toString().startsWith("Attendance is mandatory."));
    EXPECT_TRUE(byUid(read, "77-bid@brevant")["description"].toString().contains(
        "Électricité " + QString(120, QLatin1Char('x'))));
    EXPECT_TRUE(byUid(read, "12-bid@brevant").isEmpty());
}

TEST_F(BidCalendarTest, UidsAreStableAcrossExportsAndLinesAreFoldedAt75Octets) {
    const BidCalendar first = MakeBidCalendar(db, {77, 4711}, 2, stamp);
    const BidCalendar second = MakeBidCalendar(db, {4711, 77}, 2, stamp.addDays(1));
    QStringList uids1, uids2;
    for (const auto& e : readBack(first.text)["events"].toArray())
        uids1 << e.toObject()["uid"].toString();
    for (const auto& e : readBack(second.text)["events"].toArray())
        uids2 << e.toObject()["uid"].toString();
    uids1.sort();
    uids2.sort();
    EXPECT_EQ(uids1, uids2);
    EXPECT_EQ(uids1.size(), 4);
    for (const QByteArray& line : first.text.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.constData(); // 75 octets and the CR
        EXPECT_TRUE(line.isEmpty() || line.endsWith('\r'));
    }
    // A fold never splits a UTF-8 sequence: every physical line is valid UTF-8 on its own.
    for (const QByteArray& line : first.text.split('\n'))
        EXPECT_EQ(QString::fromUtf8(line).toUtf8(), line);
    EXPECT_TRUE(QString::fromUtf8(QByteArray(first.text).replace("\r\n ", ""))
                    .contains(QStringLiteral("Électricité")));
}

// Sets TZ for one test, as a user in that zone has it, and puts the old value back.
class ZoneOfTheUser {
public:
    explicit ZoneOfTheUser(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneOfTheUser() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneOfTheUser(const ZoneOfTheUser&) = delete;
    ZoneOfTheUser& operator=(const ZoneOfTheUser&) = delete;

private:
    std::optional<std::string> old_;
};

// A bid time is the user's wall-clock time: with the zone's rules in the file, a reader in any
// zone puts it at the same instant, on either side of a change to summer time.
TEST_F(BidCalendarTest, BidTimesAreInTheUsersZoneWithItsRules) {
    const ZoneOfTheUser chicago("America/Chicago");
    const BidCalendar cal = MakeBidCalendar(db, {4711, 77}, 0, stamp);
    EXPECT_TRUE(cal.text.contains("DTSTART;TZID=America/Chicago:20260305T140000\r\n"))
        << cal.text.constData();
    const QJsonObject read = readBack(cal.text);
    const QJsonObject winter = byUid(read, "4711-bid@brevant");
    EXPECT_EQ(winter["tzid"].toString(), "America/Chicago");
    EXPECT_EQ(winter["start"].toString(), "2026-03-05T14:00:00");
    EXPECT_EQ(winter["utc"].toString(), "2026-03-05T20:00:00+00:00");
    const QJsonObject summer = byUid(read, "77-prebid@brevant");
    EXPECT_EQ(summer["utc"].toString(), "2027-06-10T15:30:00+00:00");
    EXPECT_EQ(byUid(read, "4711-prebid@brevant")["tzid"].toString(), "") << "all-day stays a date";

    const QJsonArray zones = read["zones"].toArray();
    ASSERT_EQ(zones.size(), 1);
    EXPECT_EQ(zones[0].toObject()["tzid"].toString(), "America/Chicago");
    EXPECT_EQ(zones[0].toObject()["kinds"].toArray(), QJsonArray({"DAYLIGHT", "STANDARD"}));
    // The spring change of 2026: 2 a.m. local standard time becomes 3 a.m. daylight time.
    EXPECT_TRUE(cal.text.contains("BEGIN:DAYLIGHT\r\nDTSTART:20260308T020000\r\n"
                                  "TZOFFSETFROM:-0600\r\nTZOFFSETTO:-0500\r\n"))
        << cal.text.constData();
}

TEST_F(BidCalendarTest, AZoneWithoutSummerTimeHasOneObservance) {
    const ZoneOfTheUser kolkata("Asia/Kolkata");
    const BidCalendar cal = MakeBidCalendar(db, {4711}, 0, stamp);
    const QJsonObject read = readBack(cal.text);
    EXPECT_EQ(byUid(read, "4711-bid@brevant")["utc"].toString(), "2026-03-05T08:30:00+00:00");
    EXPECT_FALSE(cal.text.contains("BEGIN:DAYLIGHT"));
    EXPECT_TRUE(cal.text.contains("TZOFFSETTO:+0530\r\n")) << cal.text.constData();
}

TEST(CalendarText, EscapesAndFolds) {
    EXPECT_EQ(EscapeCalendarText("a,b;c\\d\r\ne\nf\x01"), "a\\,b\\;c\\\\d\\ne\\nf ");
    const QByteArray folded = FoldCalendarLine(QString(74, 'a') + QStringLiteral("éé"));
    EXPECT_EQ(folded, QByteArray(74, 'a') + "\r\n \xC3\xA9\xC3\xA9\r\n");
    EXPECT_EQ(FoldCalendarLine("short"), "short\r\n");
}

TEST_F(BidCalendarTest, TrackedProjectsAndTheClosingMessage) {
    db.execute("Update [Projects] set [Tracked] = TRUE where [JOB_ID] = 77");
    db.execute("Update [Projects] set [Tracked] = TRUE where [JOB_ID] = 12");
    EXPECT_EQ(TrackedJobIds(db), std::vector<int>({12, 77}));
    const BidCalendar cal = MakeBidCalendar(db, TrackedJobIds(db), 0, stamp);
    EXPECT_FALSE(cal.text.contains("VALARM")); // no reminder asked for
    EXPECT_EQ(BidCalendarSummary(cal, "/tmp/c.ics"),
              "2 event(s) for 1 project(s) were written to /tmp/c.ics; 1 project(s) with no bid "
              "date set were left out ...");
}

} // namespace
