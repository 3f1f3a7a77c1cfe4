#pragma once
// The bid calendar: an iCalendar file (RFC 5545) of projects' bid dates and pre-bid meetings
// that any calendar program imports. Each event's UID is fixed per project and kind, so
// importing a newer file updates the events instead of adding copies.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::reports {

struct BidCalendar {
    QByteArray text;  // the iCalendar file, CRLF lines folded at 75 octets
    int events = 0;   // VEVENTs written
    int projects = 0; // projects with at least one event
    int leftOut = 0;  // projects with "No Date Set" (or no bid date at all)
};

// The calendar of the given projects (in this order; unknown ones are ignored). reminderDays
// puts an alarm that many days before each event (none when below 1). stamp is the DTSTAMP.
BidCalendar MakeBidCalendar(db::Connection& connection, const std::vector<int>& jobIds,
                            int reminderDays, const QDateTime& stamp);

// Every tracked project, in bid-date order.
std::vector<int> TrackedJobIds(db::Connection& connection);

// The closing message of the export: how many events were written and how many projects were
// left out for having no bid date set.
QString BidCalendarSummary(const BidCalendar& calendar, const QString& path);

// Text escaped for an iCalendar TEXT value (backslash, semicolon, comma, line breaks).
QString EscapeCalendarText(const QString& text);
// One content line folded at 75 octets, never inside a UTF-8 sequence, ended by CRLF.
QByteArray FoldCalendarLine(const QString& line);

} // namespace brevant::reports
