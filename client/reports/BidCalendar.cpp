#include "reports/BidCalendar.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "reports/ReportFormat.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <algorithm>
#include <cstdlib>

namespace brevant::reports {

namespace {

struct Event {
    QString uid;
    QDateTime when;
    bool timed = false;
    QString summary;
    QString location;
    QString description;
    bool important = false;
};

// A bid date without a time of day (midnight as stored) is an all-day event; with one it is a
// one-hour event at that wall-clock time in the user's zone (tzid), whose rules the calendar's
// VTIMEZONE carries; with no usable zone it stays a floating time.
void appendWhen(QStringList& lines, const Event& e, const QString& tzid) {
    if (e.timed) {
        const QString zone = tzid.isEmpty() ? QString() : QStringLiteral(";TZID=") + tzid;
        lines << QStringLiteral("DTSTART") + zone + QLatin1Char(':') +
                     e.when.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
        lines << QStringLiteral("DTEND") + zone + QLatin1Char(':') +
                     e.when.addSecs(3600).toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
    } else {
        lines << QStringLiteral("DTSTART;VALUE=DATE:") +
                     e.when.date().toString(QStringLiteral("yyyyMMdd"));
        lines << QStringLiteral("DTEND;VALUE=DATE:") +
                     e.when.date().addDays(1).toString(QStringLiteral("yyyyMMdd"));
    }
}

// A UTC offset as iCalendar writes it: +HHMM, or +HHMMSS when it has seconds.
QString offsetText(int seconds) {
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    const int magnitude = std::abs(seconds);
    QString text = sign + QStringLiteral("%1%2")
                              .arg(magnitude / 3600, 2, 10, QLatin1Char('0'))
                              .arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'));
    if (magnitude % 60 != 0)
        text += QStringLiteral("%1").arg(magnitude % 60, 2, 10, QLatin1Char('0'));
    return text;
}

// The zone's observances from the one in force on 1 January of firstYear through lastYear, each
// transition written out (no RRULE), which every reader resolves the same way.
QStringList timeZoneLines(const QTimeZone& zone, const QString& tzid, int firstYear, int lastYear) {
    const QDateTime from(QDate(firstYear, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(lastYear + 1, 1, 1), QTime(0, 0), Qt::UTC);
    QTimeZone::OffsetDataList transitions;
    const QTimeZone::OffsetData before = zone.previousTransition(from);
    if (before.atUtc.isValid())
        transitions.push_back(before);
    transitions += zone.transitions(from, to);
    QStringList lines{QStringLiteral("BEGIN:VTIMEZONE"), QStringLiteral("TZID:") + tzid};
    if (transitions.isEmpty()) {
        const QString offset = offsetText(zone.offsetFromUtc(from));
        lines << QStringLiteral("BEGIN:STANDARD") << QStringLiteral("DTSTART:19700101T000000")
              << QStringLiteral("TZOFFSETFROM:") + offset << QStringLiteral("TZOFFSETTO:") + offset
              << QStringLiteral("END:STANDARD");
    }
    for (const QTimeZone::OffsetData& t : transitions) {
        // The onset is written in the local time that was in force just before it.
        const int fromOffset = zone.offsetFromUtc(t.atUtc.addSecs(-1));
        const QString kind =
            t.daylightTimeOffset != 0 ? QStringLiteral("DAYLIGHT") : QStringLiteral("STANDARD");
        lines << QStringLiteral("BEGIN:") + kind
              << QStringLiteral("DTSTART:") +
                     t.atUtc.addSecs(fromOffset).toString(QStringLiteral("yyyyMMdd'T'HHmmss"))
              << QStringLiteral("TZOFFSETFROM:") + offsetText(fromOffset)
              << QStringLiteral("TZOFFSETTO:") + offsetText(t.offsetFromUtc);
        if (!t.abbreviation.isEmpty())
            lines << QStringLiteral("TZNAME:") + EscapeCalendarText(t.abbreviation);
        lines << QStringLiteral("END:") + kind;
    }
    lines << QStringLiteral("END:VTIMEZONE");
    return lines;
}

QStringList eventLines(const Event& e, const QString& stamp, int reminderDays,
                       const QString& tzid) {
    QStringList lines{QStringLiteral("BEGIN:VEVENT"), QStringLiteral("UID:") + e.uid,
                      QStringLiteral("DTSTAMP:") + stamp};
    appendWhen(lines, e, tzid);
    lines << QStringLiteral("SUMMARY:") + EscapeCalendarText(e.summary);
    if (!e.location.isEmpty())
        lines << QStringLiteral("LOCATION:") + EscapeCalendarText(e.location);
    if (!e.description.isEmpty())
        lines << QStringLiteral("DESCRIPTION:") + EscapeCalendarText(e.description);
    if (e.important)
        lines << QStringLiteral("PRIORITY:1");
    lines << QStringLiteral("TRANSP:TRANSPARENT");
    if (reminderDays > 0) {
        lines << QStringLiteral("BEGIN:VALARM") << QStringLiteral("ACTION:DISPLAY")
              << QStringLiteral("DESCRIPTION:") + EscapeCalendarText(e.summary)
              << QStringLiteral("TRIGGER:-P%1D").arg(reminderDays) << QStringLiteral("END:VALARM");
    }
    lines << QStringLiteral("END:VEVENT");
    return lines;
}

bool usableDate(const QDateTime& d) {
    return d.isValid() && d.date().year() != 1900;
}

QString location(const db::Recordset& rs) {
    const QString city = rs.field(QStringLiteral("City")).toString().trimmed();
    const QString state = rs.field(QStringLiteral("State")).toString().trimmed();
    if (city.isEmpty() || state.isEmpty())
        return city + state;
    return city + QStringLiteral(", ") + state;
}

QString description(const db::Recordset& rs, int jobId) {
    QStringList parts;
    parts << QStringLiteral("Project %1").arg(jobId);
    const QString text = rs.field(QStringLiteral("Description")).toString().trimmed();
    if (!text.isEmpty())
        parts << text;
    const QString low = FormatMoney(rs.field(QStringLiteral("Estimated Cost")));
    const QString high = FormatMoney(rs.field(QStringLiteral("Estimated Cost End")));
    if (!low.isEmpty() || !high.isEmpty())
        parts << QStringLiteral("Estimated cost: ") + (high.isEmpty() || high == low
                                                           ? (low.isEmpty() ? high : low)
                                                           : low + QStringLiteral(" - ") + high);
    const QString notes = rs.field(QStringLiteral("Notes")).toString().trimmed();
    if (!notes.isEmpty())
        parts << QStringLiteral("Notes: ") + notes;
    return parts.join(QLatin1Char('\n'));
}

} // namespace

QString EscapeCalendarText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            out += QLatin1Char(' '); // other controls are not allowed in a TEXT value
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray FoldCalendarLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    int used = 0; // octets on the current physical line
    for (int i = 0; i < utf8.size();) {
        int len = 1; // the whole UTF-8 sequence starting here moves as one
        while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80)
            ++len;
        if (used + len > 75) {
            out += "\r\n ";
            used = 1;
        }
        out.append(utf8.constData() + i, len);
        used += len;
        i += len;
    }
    out += "\r\n";
    return out;
}

BidCalendar MakeBidCalendar(db::Connection& connection, const std::vector<int>& jobIds,
                            int reminderDays, const QDateTime& stamp) {
    BidCalendar cal;
    const QString stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QStringList lines{QStringLiteral("BEGIN:VCALENDAR"),
                      QStringLiteral("VERSION:2.0"),
                      QStringLiteral("PRODID:-//Velmora//Brevant Desktop//EN"),
                      QStringLiteral("CALSCALE:GREGORIAN"),
                      QStringLiteral("METHOD:PUBLISH"),
                      QStringLiteral("X-WR-CALNAME:Bid calendar")};
    const QString tzid = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    const QTimeZone zone(tzid.toUtf8());
    const QString eventZone = zone.isValid() ? tzid : QString();
    int firstYear = 0;
    int lastYear = 0;
    QStringList events;
    const auto add = [&](const Event& e) {
        events << eventLines(e, stampText, reminderDays, eventZone);
        ++cal.events;
        if (!e.timed)
            return;
        const int year = e.when.date().year();
        firstYear = firstYear == 0 ? year : std::min(firstYear, year);
        lastYear = std::max(lastYear, year);
    };
    for (const int jobId : jobIds) {
        db::Recordset rs;
        rs.open(QStringLiteral("Select * from [Projects] where [Job_ID] = ") +
                    QString::number(jobId),
                connection);
        if (rs.eof())
            continue;
        const QDateTime due = DateOf(rs.field(QStringLiteral("Due_Date")));
        if (!usableDate(due)) {
            ++cal.leftOut;
            continue;
        }
        const QString name = rs.field(QStringLiteral("Name")).toString().trimmed();
        const QString where = location(rs);
        const QString about = description(rs, jobId);
        Event bid{QStringLiteral("%1-bid@brevant").arg(jobId),
                  due,
                  due.time() != QTime(0, 0),
                  QStringLiteral("Bid due: ") + name,
                  where,
                  about,
                  false};
        add(bid);
        const QDateTime preBid = DateOf(rs.field(QStringLiteral("Pre_Bid_Date")));
        if (usableDate(preBid)) {
            const bool mandatory = IsTrue(rs.field(QStringLiteral("Mandatory")));
            Event meeting{QStringLiteral("%1-prebid@brevant").arg(jobId),
                          preBid,
                          preBid.time() != QTime(0, 0),
                          (mandatory ? QStringLiteral("MANDATORY pre-bid meeting: ")
                                     : QStringLiteral("Pre-bid meeting: ")) +
                              name,
                          where,
                          (mandatory ? QStringLiteral("Attendance is mandatory.\n") : QString()) +
                              about,
                          mandatory};
            add(meeting);
        }
        ++cal.projects;
    }
    if (firstYear != 0 && !eventZone.isEmpty())
        lines << timeZoneLines(zone, eventZone, firstYear, lastYear);
    lines << events << QStringLiteral("END:VCALENDAR");
    for (const QString& line : lines)
        cal.text += FoldCalendarLine(line);
    return cal;
}

std::vector<int> TrackedJobIds(db::Connection& connection) {
    std::vector<int> ids;
    db::Recordset rs;
    rs.open(QStringLiteral("Select [Job_ID] from [Projects] where [Tracked] = TRUE Order By "
                           "[Due_Date] ASC"),
            connection);
    for (; !rs.eof(); rs.moveNext())
        ids.push_back(rs.field(0).toInt());
    return ids;
}

QString BidCalendarSummary(const BidCalendar& calendar, const QString& path) {
    QString text = QCoreApplication::translate("brevant::reports::BidCalendar",
                                               "%1 event(s) for %2 project(s) were written to %3")
                       .arg(calendar.events)
                       .arg(calendar.projects)
                       .arg(path);
    if (calendar.leftOut > 0)
        text += QCoreApplication::translate("brevant::reports::BidCalendar",
                                            "; %1 project(s) with no bid date set were left out")
                    .arg(calendar.leftOut);
    return text + QStringLiteral(" ...");
}

} // namespace brevant::reports
