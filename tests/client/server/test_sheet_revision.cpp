// A plan sheet the service draws anew under its name: the update merge raises the stored
// Plans.Revision, logs the sheet as revised in Updates and Change_History and drops its Local
// flag (the cached file is the earlier drawing). Against brevant-service through real checks,
// and with hand-written documents for what a service might send.
#include "ExchangeTestEnv.h"
#include "UpdateFixture.h"

#include "server/ServerConnection.h"
#include "server/UpdateCheck.h"
#include "service/catalogue/Catalogue.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::server;
using namespace brevant::server::test;
using brevant::service::test::ServiceProcess;

namespace {

constexpr int kProject = 210003;

QStringList columnOf(const QString& sql) {
    db::Recordset rs;
    rs.open(sql, *modResources::DbConnection);
    QStringList out;
    while (!rs.eof()) {
        out << rs.field(0).toString();
        rs.moveNext();
    }
    return out;
}

// One "Check for Updates" of the project through the service; the merge's summary.
MergeSummary checkForUpdates() {
    ServerConnection connection(RequestKind::ProjectUpdate);
    bool done = false;
    MergeSummary summary;
    EXPECT_EQ(RequestProjectUpdates(connection, QString::number(kProject),
                                    [&](const MergeSummary* s) {
                                        done = true;
                                        if (s)
                                            summary = *s;
                                    }),
              ServerConnection::Open::Connecting);
    EXPECT_TRUE(waitUntil([&] { return done; }, 120000));
    return summary;
}

} // namespace

TEST(SheetRevision, ACheckThatBringsARevisedSheetRaisesItsRevision) {
    shell::test::ShellTestEnv env;
    QTemporaryDir data;
    const QString database = env.work() + "/Desktop.mdb";
    exportCatalogue(data.path(), database);
    modResources::DbConnection = std::make_unique<db::Connection>();
    modResources::DbConnection->open(database);
    ServiceProcess service({}, data.path());
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    ExchangeTestEnv::pointTo(service.port);
    modResources::UserName = "test";
    modResources::Password = "secret";
    ui::ScopedScriptedUi ui;

    // The sheet the service will revise on the third check, worked out from its own catalogue.
    QTemporaryDir mirror;
    service::Catalogue catalogue(mirror.path(), service::test::TestSeed,
                                 service::test::TestProjects, service::test::testToday());
    for (int i = 0; i < 3; ++i)
        catalogue.advance(kProject);
    QString revised, description;
    for (const service::PlanSheet& s : catalogue.find(kProject)->plans) {
        if (s.revision == 1) {
            revised = s.file;
            description = s.description.toUpper();
        }
    }
    ASSERT_FALSE(revised.isEmpty());
    const QString where =
        QString(" FROM Plans WHERE JobID = %1 AND File = '%2'").arg(kProject).arg(revised);

    const auto revisedRows = [&] {
        QStringList rows;
        for (const QString& u :
             columnOf(QString("Select [Update] from [Updates] where [JobID] = %1").arg(kProject)))
            if (u.startsWith("PLAN PAGE REVISED"))
                rows << u;
        return rows;
    };
    const auto historyCount = [&] {
        return historyRows(*modResources::DbConnection, kProject).size();
    };

    // Two checks without a revision leave every sheet at revision 0.
    for (int check = 1; check <= 2; ++check) {
        const MergeSummary s = checkForUpdates();
        ASSERT_EQ(s.merged.size(), 1u) << messages(ui).join('|').toStdString();
        EXPECT_TRUE(s.merged[0].revisedSheets.isEmpty());
        EXPECT_EQ(
            columnOf(QString("Select Max(Revision) FROM Plans WHERE JobID = %1").arg(kProject)),
            QStringList{"0"});
        EXPECT_TRUE(revisedRows().isEmpty());
    }
    // The estimator has the sheet in the cache.
    modResources::DbConnection->execute("UPDATE Plans SET [Local] = TRUE" + where.mid(11));
    ASSERT_EQ(columnOf("Select Count(*)" + where + " AND [Local] = TRUE"), QStringList{"1"});

    const int historyBefore = historyCount();
    const MergeSummary third = checkForUpdates();
    ASSERT_EQ(third.merged.size(), 1u) << messages(ui).join('|').toStdString();
    EXPECT_EQ(third.merged[0].revisedSheets, QStringList{revised});
    EXPECT_TRUE(third.merged[0].changed);
    EXPECT_EQ(columnOf("Select Revision" + where), QStringList{"1"});
    EXPECT_EQ(columnOf("Select Count(*)" + where + " AND [Local] = TRUE"), QStringList{"0"});
    EXPECT_EQ(
        columnOf(
            QString("Select Count(*) FROM Plans WHERE JobID = %1 AND Revision > 0").arg(kProject)),
        QStringList{"1"});
    EXPECT_EQ(revisedRows(), QStringList{"PLAN PAGE REVISED: " + description});
    const QStringList fresh = historyRows(*modResources::DbConnection, kProject).mid(historyBefore);
    EXPECT_TRUE(fresh.contains("PLAN PAGE|" + revised + " - " + description + " (REVISION 0)|" +
                               revised + " - " + description + " (REVISION 1)"))
        << fresh.join('\n').toStdString();

    // The next check brings no revision: the sheet stays at 1, nothing more is logged for it.
    const int historyAfter = historyCount();
    const MergeSummary fourth = checkForUpdates();
    ASSERT_EQ(fourth.merged.size(), 1u);
    EXPECT_TRUE(fourth.merged[0].revisedSheets.isEmpty());
    EXPECT_EQ(columnOf("Select Revision" + where), QStringList{"1"});
    EXPECT_TRUE(revisedRows().isEmpty());
    for (const QString& row : historyRows(*modResources::DbConnection, kProject).mid(historyAfter))
        EXPECT_FALSE(row.contains("(REVISION")) << row.toStdString();
    modResources::DbConnection.reset();
}

namespace {

QString revisedPlan(const QString& file, const QString& revision) {
    return element("Plan", {{"Name", file},
                            {"Description", "First floor plan"},
                            {"Size", "4096"},
                            {"Revision", revision}});
}

class SheetRevisionMerge : public UpdateDb {
protected:
    void SetUp() override {
        UpdateDb::SetUp();
        storeProject(1);
        c.execute("INSERT INTO Plans (JobID, File, Description, [Size], [Local]) VALUES "
                  "(1, 'PLAN001', 'FIRST FLOOR PLAN', 4096, TRUE)");
    }
    MergeSummary send(const QStringList& plans) {
        return merge(updateDocument({jobXml({"1", projectFields(1), {}, plans, {}, {}})}));
    }
    QString revision() {
        return value("Select Revision from Plans where File = 'PLAN001'").toString();
    }
};

} // namespace

TEST_F(SheetRevisionMerge, OnlyAHigherRevisionCountsAndAnOddOneIsNoted) {
    ASSERT_EQ(value("Select Count(*) from Plans where File = 'PLAN001' and [Local] = TRUE").toInt(),
              1);
    // Revision 2 straight away: raised from 0, logged once.
    MergeSummary s = send({revisedPlan("plan001", "2")});
    ASSERT_EQ(s.merged.size(), 1u);
    EXPECT_EQ(s.merged[0].revisedSheets, QStringList{"PLAN001"});
    EXPECT_EQ(revision(), "2");
    EXPECT_EQ(updates(1), QStringList{"PLAN PAGE REVISED: FIRST FLOOR PLAN"});
    EXPECT_EQ(value("Select Count(*) from Plans where File = 'PLAN001' and [Local] = TRUE").toInt(),
              0);

    // The same or a lower revision changes nothing; neither does a sheet sent without one.
    for (const QString& plan : {revisedPlan("PLAN001", "2"), revisedPlan("PLAN001", "1"),
                                plan("PLAN001", "First floor plan", "4096")}) {
        s = send({plan});
        EXPECT_TRUE(s.merged[0].revisedSheets.isEmpty()) << plan.toStdString();
        EXPECT_EQ(revision(), "2");
        EXPECT_TRUE(updates(1).isEmpty());
    }

    // What is no revision number is noted and the stored one kept.
    for (const QString odd : {"-1", "two", "99999999999"}) {
        s = send({revisedPlan("PLAN001", odd)});
        ASSERT_EQ(s.problems.size(), 1) << odd.toStdString();
        EXPECT_TRUE(s.problems[0].reason.contains("revision"))
            << s.problems[0].reason.toStdString();
        EXPECT_EQ(revision(), "2");
    }

    // A new sheet that comes already revised is added at its revision, logged as added only.
    s = send({revisedPlan("PLAN002", "3")});
    EXPECT_EQ(value("Select Revision from Plans where File = 'PLAN002'").toString(), "3");
    EXPECT_EQ(updates(1), QStringList{"PLAN PAGE ADDED: FIRST FLOOR PLAN"});
    EXPECT_TRUE(s.merged[0].revisedSheets.isEmpty());
}
