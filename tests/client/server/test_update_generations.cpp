// The merge of real update documents, written by the service's own code: a catalogue exported
// into Desktop.mdb as the client's import would leave it, then moved on generation by
// generation. What the merge logs is worked out from the catalogue's projects before and after.
#include "UpdateFixture.h"

#include "reports/ChangeHistoryReport.h"
#include "reports/ProjectReports.h"
#include "reports/ReportFormat.h"
#include "service/catalogue/Catalogue.h"
#include "service/export/DesktopExport.h"
#include "service/listing/ListingDocument.h"

#include <QLocale>

using namespace brevant;
using namespace brevant::server;
using namespace brevant::server::test;

namespace {

QString logDate(const QDateTime& d) {
    return d.date().year() == 1900 ? QString("No Date Set")
                                   : QLocale::c().toString(d.date(), "M/d/yyyy");
}

// The Updates rows one generation should bring, sorted.
QStringList expectedLog(const service::Project& before, const service::Project& after) {
    QStringList rows;
    if (before.dueDate != after.dueDate)
        rows << "BID DATE CHANGED FROM " + logDate(before.dueDate) + " TO " +
                    logDate(after.dueDate);
    QStringList sections, files, contacts, awards;
    for (const auto& s : before.specs)
        sections << s.section;
    for (const auto& s : after.specs) {
        if (!sections.contains(s.section))
            rows << "SPECIFICATION ADDED - NEW VALUE: " + s.section.toUpper() + " - " +
                        s.description.toUpper();
    }
    for (const auto& p : before.plans)
        files << p.file;
    for (const auto& p : after.plans) {
        if (!files.contains(p.file))
            rows << "PLAN PAGE ADDED: " + p.description.toUpper();
        else if (p.revision > before.plans.at(files.indexOf(p.file)).revision)
            rows << "PLAN PAGE REVISED: " + p.description.toUpper();
    }
    for (const auto& c : before.contacts)
        contacts << c.name.toUpper() + "/" + c.type.toUpper();
    for (const auto& c : after.contacts) {
        if (!contacts.contains(c.name.toUpper() + "/" + c.type.toUpper()))
            rows << "CONTACT ADDED - NEW VALUE: " + c.name.toUpper() + " - " +
                        reports::ContactTypeName(c.type);
    }
    for (const auto& a : before.awards)
        awards << a.name.toUpper();
    for (const auto& a : after.awards) {
        if (!awards.contains(a.name.toUpper()))
            rows << "AWARDS / LOW BIDDER(S) ADDED - " + a.name;
    }
    rows.sort();
    return rows;
}

class CatalogueUpdates : public UpdateDb {
protected:
    void SetUp() override {
        catalogue = std::make_unique<service::Catalogue>(dir.filePath("service"), 11, 60,
                                                         QDate(2027, 3, 1));
        UpdateDb::SetUp();
        service::exportDesktopDatabase(*catalogue, file);
    }

    QByteArray advanceAndWrite(const QList<int>& ids) {
        QVector<const service::Project*> projects;
        for (int id : ids) {
            catalogue->advance(id);
            projects << catalogue->find(id);
        }
        return service::writeListingDocument(projects, service::ListingKind::Update);
    }

    std::unique_ptr<service::Catalogue> catalogue;
};

TEST_F(CatalogueUpdates, EveryGenerationLogsWhatItBroughtAndTheHistoryKeepsAll) {
    int unset = 0;
    for (const auto& p : catalogue->projects()) {
        if (!p.hasBidDate()) {
            unset = p.jobId;
            break;
        }
    }
    ASSERT_NE(unset, 0);
    const QList<int> ids = {210001, 210002, unset};
    QMap<int, int> historyRows;
    for (int generation = 1; generation <= 5; ++generation) {
        QMap<int, service::Project> before;
        for (int id : ids)
            before[id] = *catalogue->find(id);
        const MergeSummary s = merge(advanceAndWrite(ids));
        ASSERT_TRUE(s.problems.isEmpty()) << mergeProblemsText(s.problems).toStdString();
        ASSERT_EQ(s.merged.size(), size_t(ids.size()));
        for (int i = 0; i < ids.size(); ++i) {
            const int id = ids[i];
            const service::Project& after = *catalogue->find(id);
            QStringList logged = updates(id);
            logged.sort();
            // Updates holds this generation's rows only.
            EXPECT_EQ(logged, expectedLog(before[id], after)) << id << " gen " << generation;
            EXPECT_TRUE(s.merged[i].changed);
            EXPECT_EQ(s.merged[i].jobId, id);

            const QStringList h = history(id);
            const QStringList fresh = h.mid(historyRows.value(id));
            historyRows[id] = h.size();
            // Every logged row is in the history too, and the history keeps earlier ones.
            int added = 0;
            for (const QString& row : fresh) {
                if (!row.startsWith("Due_Date") && row.split('|').value(1).isEmpty() &&
                    QStringList({"SPECIFICATION", "PLAN PAGE", "CONTACT", "AWARD"})
                        .contains(row.section('|', 0, 0)))
                    ++added;
                // A revised sheet: its earlier and its new revision.
                if (row.startsWith("PLAN PAGE|") && row.split('|').value(1).endsWith(")"))
                    ++added;
            }
            const bool bidDateMoved = before[id].dueDate != after.dueDate;
            EXPECT_EQ(added + (bidDateMoved ? 1 : 0), logged.size())
                << fresh.join("\n").toStdString();
            if (bidDateMoved) {
                const QString old = before[id].hasBidDate()
                                        ? reports::DefaultDateText(before[id].dueDate)
                                        : QString("No Date Set");
                EXPECT_TRUE(fresh.contains("Due_Date|" + old + "|" +
                                           reports::DefaultDateText(after.dueDate)))
                    << fresh.join("\n").toStdString();
            }
            if (before[id].description != after.description) {
                EXPECT_TRUE(fresh.contains("Description|" + before[id].description + "|" +
                                           after.description))
                    << fresh.join("\n").toStdString();
            }
            if (before[id].addendum != after.addendum) {
                EXPECT_TRUE(fresh.contains("Addendum|" + before[id].addendum.toUpper() + "|" +
                                           after.addendum.toUpper()))
                    << fresh.join("\n").toStdString();
            }
        }
    }
    // The stored project is the catalogue's latest generation.
    const service::Project& last = *catalogue->find(210001);
    EXPECT_EQ(column("Select Spec from Specs where JobID = 210001").size(), last.specs.size());
    EXPECT_EQ(column("Select File from Plans where JobID = 210001").size(), last.plans.size());
    EXPECT_EQ(column("Select Name from Contacts where Job_ID = 210001").size(),
              last.contacts.size());
    EXPECT_EQ(column("Select Name from Awards where JobID = 210001").size(), last.awards.size());
    EXPECT_EQ(value("Select Description from Projects where Job_ID = 210001").toString(),
              last.description);
    // Five generations hold one revision (the third); every sheet is stored at its revision.
    int revisions = 0;
    for (const auto& p : last.plans) {
        revisions += p.revision;
        EXPECT_EQ(
            value("Select Revision from Plans where JobID = 210001 and File = '" + p.file + "'")
                .toInt(),
            p.revision)
            << p.file.toStdString();
    }
    EXPECT_EQ(revisions, 1);
}

TEST_F(CatalogueUpdates, TheUpdatesViewShowsEarlierChangesNewestFirst) {
    const int id = 210003;
    now = QDateTime(QDate(2027, 3, 2), QTime(8, 0));
    merge(advanceAndWrite({id}));
    const QString firstSection = column(QString("Select New_Value from Change_History where "
                                                "JobID = %1 and What = 'SPECIFICATION'")
                                            .arg(id))
                                     .value(0);
    ASSERT_FALSE(firstSection.isEmpty());
    now = QDateTime(QDate(2027, 3, 9), QTime(8, 0));
    merge(advanceAndWrite({id}));

    const QString rtf = reports::DrawUpdates(c, id);
    // The latest check's rows, then the lasting history below them.
    const qsizetype latest = rtf.indexOf("PLAN PAGE ADDED: ");
    const qsizetype earlier = rtf.indexOf("Earlier changes");
    ASSERT_GE(latest, 0);
    ASSERT_GT(earlier, latest);
    const qsizetype second = rtf.indexOf("03/09/2027  PLAN PAGE ADDED: ", earlier);
    const qsizetype first = rtf.indexOf("03/02/2027  SPECIFICATION ADDED: " + firstSection);
    EXPECT_GT(second, earlier);
    EXPECT_GT(first, second) << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("03/02/2027  Bid date: ")) << rtf.toStdString();
}

} // namespace
