// The import list's bid dates: ordered as dates, not as text, and a 1900 date shown as the
// project list shows it.
#include "server/frmTrack.h"
#include "store/ProjectList.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

FoundProject found(int id, const QString& dueDate) {
    FoundProject p;
    p.jobId = id;
    p.jobIdText = QString::number(id);
    p.name = QStringLiteral("JOB %1").arg(id);
    p.city = QStringLiteral("AUSTIN");
    p.state = QStringLiteral("TX");
    p.dueDate = dueDate;
    return p;
}

QList<int> order(QTreeWidget* list) {
    QList<int> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    return ids;
}

TEST(TrackList, BidDatesSortAsDatesBothWaysAndNoDateReadsAsInTheProjectList) {
    frmTrack track;
    track.addProject(found(1, QStringLiteral("1/11/2027 2:00:00 PM")));
    track.addProject(found(2, QStringLiteral("1/1/1900 12:00:00 AM")));
    track.addProject(found(3, QStringLiteral("1/4/2027 10:00:00 AM")));
    auto* list = track.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_NE(list, nullptr);

    track.ListView1_ColumnClick(3);
    EXPECT_EQ(order(list), (QList<int>{2, 3, 1}));
    track.ListView1_ColumnClick(3);
    EXPECT_EQ(order(list), (QList<int>{1, 3, 2}));

    const QString noDate = store::bidDateText(QStringLiteral("1/1/1900 12:00:00 AM"));
    ASSERT_EQ(noDate, QStringLiteral("No Date Set"));
    EXPECT_EQ(list->topLevelItem(2)->text(3), noDate);
    EXPECT_EQ(list->topLevelItem(0)->text(3),
              store::bidDateText(QStringLiteral("1/11/2027 2:00:00 PM")));

    // The other columns still sort as text.
    track.ListView1_ColumnClick(0);
    EXPECT_EQ(order(list), (QList<int>{1, 2, 3}));
}

} // namespace
} // namespace brevant::server
