#include "reports/ChangeHistoryReport.h"

#include "platform/db/DbError.h"
#include "platform/richtext/RtfText.h"
#include "reports/ContactReports.h"
#include "reports/ReportFormat.h"
#include "reports/ReportText.h"
#include "store/ProjectList.h"
#include "takeoff/TakeoffStore.h"

#include <QCoreApplication>

namespace brevant::reports {

using namespace text;

namespace {

// The kinds of row the merge adds; every other What is a project field.
bool isAddedRow(const QString& what) {
    for (const char* kind : {"SPECIFICATION", "PLAN PAGE", "CONTACT", "AWARD"}) {
        if (what.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString orNone(const QString& value) {
    return value.isEmpty() ? QStringLiteral("(none)") : value;
}

bool isColumn(const QString& column, const char* name) {
    return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A yes/no field's value as the Details pane words it; the history keeps it as stored ("1").
QString yesNoText(const QString& value, const char* yes, const char* no) {
    if (value.isEmpty())
        return value;
    bool isNumber = false;
    const double n = value.toDouble(&isNumber);
    const bool truth =
        isNumber ? n != 0 : value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    return QLatin1String(truth ? yes : no);
}

QString valueText(const QString& column, const QString& value) {
    if (isColumn(column, "Building"))
        return yesNoText(value, "BUILDING CONSTRUCTION", "HEAVY CONSTRUCTION");
    if (isColumn(column, "Pre_Bid") || isColumn(column, "Mandatory"))
        return yesNoText(value, "Yes", "No");
    return value;
}

} // namespace

QString ChangeHistorySql(qint64 jobId) {
    return "Select * from [Change_History] where [JobID] = " + QString::number(jobId) +
           " ORDER BY [Found] DESC, [Change_ID] DESC";
}

QString HistoryFieldCaption(const QString& column) {
    // The list's column captions and the Details pane's labels, in the case of running text.
    static const struct {
        const char* column;
        const char* caption;
    } kCaptions[] = {
        {"Due_Date", "Bid date"},
        {"Name", "Title"},
        {"City", "City"},
        {"State", "State"},
        {"Description", "Project description"},
        {"Estimated Cost", "Estimated cost"},
        {"Estimated Cost End", "Estimated cost (upper end)"},
        {"Other", "Other information"},
        {"Bins", "Plan bin"},
        {"Addendum", "Addendum"},
        {"Pre_Bid", "Pre-bid"},
        {"Mandatory", "Pre-bid mandatory"},
        {"Pre_Bid_Date", "Pre-bid date"},
        {"Building", "Type"},
        {"Region", "Region"},
    };
    for (const auto& c : kCaptions) {
        if (isColumn(column, c.column))
            return QLatin1String(c.caption);
    }
    QString caption = column;
    caption.replace(QLatin1Char('_'), QLatin1Char(' '));
    return caption;
}

QString ChangeHistoryLines(const QList<Record>& history) {
    if (history.isEmpty())
        return {};
    QString s = "\\par\\b Earlier changes\\b0\\par\\par";
    for (const Record& h : history) {
        const QString what = ValueText(h.value("What"));
        const QString when = FormatMmDdYyyy(h.value("Found"));
        QString line;
        const QString oldValue = ValueText(h.value("Old_Value"));
        if (isAddedRow(what) && oldValue.isEmpty())
            line = what.toUpper() + " ADDED: " + ValueText(h.value("New_Value"));
        else if (isAddedRow(what)) // a sheet the service sent again in a later revision
            line =
                what.toUpper() + " REVISED: " + oldValue + " -> " + ValueText(h.value("New_Value"));
        else
            line = HistoryFieldCaption(what) + ": " +
                   orNone(valueText(what, ValueText(h.value("Old_Value")))) + " -> " +
                   orNone(valueText(what, ValueText(h.value("New_Value"))));
        // Rows written before the finder was recorded have none.
        const QString who = ValueText(h.value("Found_By"));
        if (!who.isEmpty())
            line += QCoreApplication::translate("brevant::reports::ChangeHistoryReport",
                                                " (found by %1)")
                        .arg(who);
        richtext::rtfAppend(s, Escaped(when + "  " + line));
        s += "\\par";
    }
    return s;
}

QString StaleTakeoffLines(int staleTakeoffItems) {
    if (staleTakeoffItems <= 0)
        return {};
    QString s =
        "\\par\\b " +
        Escaped(QCoreApplication::translate("brevant::reports::ChangeHistoryReport", "Takeoff")) +
        "\\b0\\par\\par";
    const QString line = store::countText(
        staleTakeoffItems,
        QCoreApplication::translate("brevant::reports::ChangeHistoryReport",
                                    "%1 takeoff item was measured on an earlier version of "
                                    "its sheet: open the sheet to measure again or accept."),
        QCoreApplication::translate("brevant::reports::ChangeHistoryReport",
                                    "%1 takeoff items were measured on an earlier version of "
                                    "their sheets: open the sheets to measure again or accept."));
    richtext::rtfAppend(s, Escaped(line));
    return s + "\\par";
}

int ReadStaleTakeoffItems(db::Connection& connection, qint64 jobId) {
    try {
        return takeoff::countStaleItems(connection, jobId);
    } catch (const db::DbError& e) {
        // A database the program has not opened for writing yet lacks the tables.
        if (e.condition() == db::Condition::UndefinedTable)
            return 0;
        throw;
    }
}

QString UpdatesWithHistoryRtf(const QList<Record>& updates, const QList<Record>& history,
                              int staleTakeoffItems) {
    QString s = UpdatesRtf(updates);
    const QString lines = StaleTakeoffLines(staleTakeoffItems) + ChangeHistoryLines(history);
    if (lines.isEmpty())
        return s;
    s.chop(kEnd.size());
    s += "\\b0";
    richtext::rtfAppend(s, lines);
    return s + kEnd;
}

QList<Record> ReadChangeHistory(db::Connection& connection, qint64 jobId) {
    try {
        return ReadRecords(connection, ChangeHistorySql(jobId));
    } catch (const db::DbError& e) {
        // A database the program has not opened for writing yet lacks the table.
        if (e.condition() == db::Condition::UndefinedTable)
            return {};
        throw;
    }
}

} // namespace brevant::reports
