#include "reports/ProjectReports.h"

#include "reports/ChangeHistoryReport.h"
#include "reports/ContactReports.h"
#include "reports/ReportFormat.h"
#include "reports/SummaryReports.h"

namespace brevant::reports {

namespace {

QString id(qint64 jobId) {
    return QString::number(jobId);
}

qint64 jobIdOf(const Record& project) {
    return project.value("JOB_ID").toLongLong();
}

} // namespace

QString BiddersSql(qint64 jobId) {
    return "Select * from [Contacts] where [Job_ID] = " + id(jobId) +
           " AND Type = 'B' ORDER BY [NAME]";
}
QString ContactsSql(qint64 jobId) {
    return "Select * from [Contacts] where [Job_ID] = " + id(jobId) +
           " AND Type <> 'B' ORDER BY [TYPE], [NAME]";
}
QString ContactsByNameSql(qint64 jobId) {
    return "Select * from [Contacts] where [Job_ID] = " + id(jobId) +
           " AND Type <> 'B' ORDER BY [NAME]";
}
QString AwardsSql(qint64 jobId) {
    return "Select * from [Awards] where [JobID] = " + id(jobId) + " ORDER BY [Bid], [Name]";
}
QString UpdatesSql(qint64 jobId) {
    return "Select * from [Updates] where [JobID] = " + id(jobId);
}
QString ProjectSql(qint64 jobId) {
    return "Select * from [Projects] where [job_id] = " + id(jobId);
}

QString DrawSummary(const Record& project) {
    return SummaryRtf(project);
}

QString SummaryNotes(const Record& project) {
    return ValueText(project.value("NOTES"));
}

QString DrawBidders(db::Connection& c, qint64 jobId) {
    return BiddersRtf(ReadRecords(c, BiddersSql(jobId)));
}

QString DrawContacts(db::Connection& c, qint64 jobId) {
    return ContactsRtf(ReadRecords(c, ContactsSql(jobId)));
}

QString DrawUpdates(db::Connection& c, qint64 jobId) {
    return UpdatesWithHistoryRtf(ReadRecords(c, UpdatesSql(jobId)), ReadChangeHistory(c, jobId),
                                 ReadStaleTakeoffItems(c, jobId));
}

QString DrawAwards(db::Connection& c, qint64 jobId) {
    return AwardsRtf(ReadRecords(c, AwardsSql(jobId)));
}

ProjectPanes DrawProjectPanes(db::Connection& c, const Record& project) {
    const qint64 jobId = jobIdOf(project);
    ProjectPanes panes;
    panes.summary = DrawSummary(project);
    panes.notes = SummaryNotes(project);
    panes.bidders = DrawBidders(c, jobId);
    panes.contacts = DrawContacts(c, jobId);
    panes.updates = DrawUpdates(c, jobId);
    panes.awards = DrawAwards(c, jobId);
    return panes;
}

QString PrintSummary(const Record& project) {
    return PrintSummaryRtf(project);
}

QString PrintBidders(db::Connection& c, const Record& project) {
    return PrintBiddersRtf(ReadRecords(c, BiddersSql(jobIdOf(project))),
                           ValueText(project.value("name")));
}

QString PrintContacts(db::Connection& c, const Record& project) {
    return PrintContactsRtf(ReadRecords(c, ContactsSql(jobIdOf(project))),
                            ValueText(project.value("name")));
}

QString FullProjectReport(db::Connection& c, qint64 jobId, const QDateTime& now) {
    const QList<Record> projects = ReadRecords(c, ProjectSql(jobId));
    const Record project = projects.isEmpty() ? Record() : projects.first();
    return FullProjectReportRtf(project, ReadRecords(c, BiddersSql(jobId)),
                                ReadRecords(c, ContactsByNameSql(jobId)), now);
}

} // namespace brevant::reports
