#pragma once
// The list reports of one project: bidders, other contacts, apparent low bidders and awards,
// and the change log of updates. Rows come in the order they are shown.
#include "reports/ReportRecord.h"

#include <QString>

namespace brevant::reports {

QString BiddersRtf(const QList<Record>& bidders);
QString PrintBiddersRtf(const QList<Record>& bidders, const QString& projectName);
QString ContactsRtf(const QList<Record>& contacts);
QString PrintContactsRtf(const QList<Record>& contacts, const QString& projectName);
QString AwardsRtf(const QList<Record>& awards);
QString UpdatesRtf(const QList<Record>& updates);

} // namespace brevant::reports
