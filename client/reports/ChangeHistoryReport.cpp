#include "reports/ChangeHistoryReport.h"

#include "platform/db/DbError.h"
#include "reports/ContactReports.h"
#include "reports/ReportFormat.h"
#include "reports/ReportText.h"

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

} // namespace

QString ChangeHistorySql(qint64 jobId) {
    return "Select * from [Change_History] where [JobID] = " + QString::number(jobId) +
           " ORDER BY [Found] DESC, [Change_ID] DESC";
}

QString ChangeHistoryLines(const QList<Record>& history) {
    if (history.isEmpty())
        return {};
    QString s = "\\par\\b Earlier changes\\b0\\par\\par";
    for (const Record& h : history) {
        const QString what = ValueText(h.value("What"));
        const QString when = FormatMmDdYyyy(h.value("Found"));
        QString line;
        if (isAddedRow(what))
            line = what.toUpper() + " ADDED: " + ValueText(h.value("New_Value"));
        else
            line = what + ": " + orNone(ValueText(h.value("Old_Value"))) + " -> " +
                   orNone(ValueText(h.value("New_Value")));
        s += Escaped(when) + "  " + Escaped(line) + "\\par";
    }
    return s;
}

QString UpdatesWithHistoryRtf(const QList<Record>& updates, const QList<Record>& history) {
    QString s = UpdatesRtf(updates);
    const QString lines = ChangeHistoryLines(history);
    if (lines.isEmpty())
        return s;
    s.chop(kEnd.size());
    return s + "\\b0 " + lines + kEnd;
}

QList<Record> ReadChangeHistory(db::Connection& connection, qint64 jobId) {
    try {
        return ReadRecords(connection, ChangeHistorySql(jobId));
    } catch (const db::DbError& e) {
        // A database the program has not opened for writing yet lacks the table.
        if (e.description().contains(QLatin1String("no such table"), Qt::CaseInsensitive))
            return {};
        throw;
    }
}

} // namespace brevant::reports
