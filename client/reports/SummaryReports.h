#pragma once
// The project summary (screen and print forms) and the full project report, composed from the
// project's row and its contacts.
#include "reports/ReportRecord.h"

#include <QDateTime>
#include <QString>

namespace brevant::reports {

// The summary of the "Details" tab.
QString SummaryRtf(const Record& project);
// The summary as printed.
QString PrintSummaryRtf(const Record& project);
// The full report of one project; bidders and contacts in the order they are listed, now is
// the time printed at its top.
QString FullProjectReportRtf(const Record& project, const QList<Record>& bidders,
                             const QList<Record>& contacts, const QDateTime& now);

} // namespace brevant::reports
