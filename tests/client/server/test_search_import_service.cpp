// The search and the import against brevant-service on a free port: real sockets, real HTTP,
// the dialogs driven headless with their prompts answered through platform/ui.
#include "ImportDatabase.h"
#include "SearchDriver.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

using namespace test;

// The projects the service's own query gives for a clause, read from its catalogue.
QList<int> catalogueIds(const QString& dataDir, const QString& clause) {
    db::Connection c;
    c.openReadOnly(dataDir + QStringLiteral("/catalogue.db"),
                   {QStringLiteral("Job Information"), QStringLiteral("Jobs Detail")});
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT [Job Information].Job_ID FROM [Job Information] ") + clause, c);
    QList<int> ids;
    while (!rs.eof()) {
        ids << rs.field(0).toInt();
        rs.moveNext();
    }
    return ids;
}

class SearchAndImport : public ::testing::Test {
protected:
    explicit SearchAndImport(const QStringList& options = {}) : env(options) {}
    void SetUp() override {
        ASSERT_TRUE(env.service.started()) << env.service.errorText().toStdString();
        openClientDatabase(env);
    }
    ExchangeTestEnv env;
    RecordingMainWindow main;
};

TEST_F(SearchAndImport, SearchOffersWhatTheServerFoundAndImportsTheTickedProjects) {
    frmFind find;
    type(find, "txtBidDate_0", "1/1/2027");
    type(find, "txtBidDate_1", "12/31/2027");
    QList<int> offered;
    QList<int> imported;
    whenTrackShown([&](frmTrack& t) {
        offered = offeredIds(t);
        QTreeWidget* list = listOf(t);
        ASSERT_GE(list->topLevelItemCount(), 3);
        for (int i : {0, 2}) {
            list->topLevelItem(i)->setCheckState(0, Qt::Checked);
            imported << list->topLevelItem(i)->data(0, Qt::UserRole).toInt();
        }
        QProgressBar* bar = t.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        QList<int> progress;
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { progress << v; });
        t.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        ASSERT_TRUE(waitUntil([&] { return !t.Busy; }));
        EXPECT_FALSE(progress.isEmpty());
        EXPECT_EQ(offeredIds(t).size(), offered.size() - 2); // the imported rows are gone
        EXPECT_TRUE(t.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    });
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui), QStringList()) << messages(env.ui).join('|').toStdString();
    EXPECT_EQ(offered, catalogueIds(env.service.dataDir(), find.WhereClause));
    ASSERT_EQ(imported.size(), 2);
    EXPECT_EQ(
        column("SELECT Job_ID FROM Projects ORDER BY Job_ID"),
        (QList<QVariant>{std::min(imported[0], imported[1]), std::max(imported[0], imported[1])}));
    EXPECT_GT(count("Specs", QStringLiteral("JobID=%1").arg(imported[0])), 0);
    EXPECT_GT(count("Plans", QStringLiteral("JobID=%1").arg(imported[0])), 0);
    EXPECT_GT(count("Contacts", QStringLiteral("Job_ID=%1").arg(imported[1])), 0);
    EXPECT_EQ(main.reloads, QStringList{QStringLiteral("ALL")});
    // Nothing of the exchange is left: neither the unpacked listing nor its archive.
    EXPECT_EQ(QDir(env.home()).entryList({"listing-*"}, QDir::Files), QStringList());
    EXPECT_EQ(QDir(env.home() + "/Download").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());

    // The same search again, on the connection left open: the stored projects are left out.
    EXPECT_TRUE(find.WireletFind->control().connected());
    QList<int> second;
    whenTrackShown([&](frmTrack& t) { second = offeredIds(t); });
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(second.size(), offered.size() - 2);
    for (int id : imported)
        EXPECT_FALSE(second.contains(id));
}

TEST_F(SearchAndImport, EveryCriterionIsAcceptedByTheServer) {
    frmFind find;
    const QList<QStringList> cases = {
        {"txtJobName", "School"},
        {"txtScope", "roof"},
        {"txtBidDate_0", "3/1/2027"},
        {"txtBidDate_1", "6/30/2027"},
        {"txtCSI_0", "07000", "txtCSI_1", "09999"},
        {"txtCSI_0", "26000"},
        {"txtCSI_1", "03000"},
        {"txtCSVCSI", "07500,09900,26000"},
        {"txtJobName", "Children's", "txtScope", "o'", "txtCSI_0", "0'1"},
    };
    for (const QStringList& c : cases) {
        env.ui.clear();
        find.LoadSavedSearches(); // empties the boxes
        for (int i = 0; i + 1 < c.size(); i += 2)
            type(find, c[i], c[i + 1]);
        whenTrackShown([](frmTrack&) {});
        ASSERT_TRUE(runSearch(find));
        for (const QString& m : messages(env.ui))
            EXPECT_TRUE(m.startsWith("No "))
                << c.join(' ').toStdString() << ": " << m.toStdString();
        EXPECT_TRUE(find.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    }
}

TEST_F(SearchAndImport, NothingFoundAndNothingNew) {
    frmFind find;
    type(find, "txtJobName", "zzzz no such project");
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui), QStringList{"No projects were returned."});

    // Store every project the next search finds; it then has nothing new to offer.
    env.ui.clear();
    find.LoadSavedSearches();
    type(find, "txtCSI_0", "01000");
    type(find, "txtCSI_1", "01999");
    whenTrackShown([](frmTrack& t) {
        t.selectAll(true);
        t.ImportProjects();
        waitUntil([&] { return !t.Busy; });
    });
    ASSERT_TRUE(runSearch(find));
    ASSERT_GT(count("Projects"), 0) << messages(env.ui).join('|').toStdString();
    env.ui.clear();
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui), QStringList{"No new projects were returned."});
    EXPECT_EQ(env.ui.last().icon, ui::Icon::Information);
}

TEST_F(SearchAndImport, NoCriterionAndRefusals) {
    frmFind find;
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui),
              QStringList{"Must specify at least one criteria to perform a search."});

    // A LIKE pattern the server will not run.
    env.ui.clear();
    type(find, "txtJobName", QString(1200, 'x'));
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(
        messages(env.ui),
        QStringList{"Invalid search criteria -- Please change your search and try again ..."});
    EXPECT_EQ(env.ui.last().title, QStringLiteral("System Message"));
    EXPECT_FALSE(find.WireletFind->control().connected());

    env.ui.clear();
    type(find, "txtJobName", "School");
    modResources::Password = QStringLiteral("wrong");
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui),
              QStringList{"Invalid user name or password -- Please check them and try again ..."});

    // A "|" that reached the request anyway shifts the fields; the server refuses it.
    env.ui.clear();
    modResources::UserName = QStringLiteral("te|st");
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(messages(env.ui), QStringList{"Invalid request -- Please contact support ..."});
    EXPECT_TRUE(find.findChild<QPushButton*>(QStringLiteral("Command3"))->isEnabled());
}

TEST_F(SearchAndImport, ClosingIsRefusedWhileImporting) {
    frmFind find;
    type(find, "txtCSI_0", "01000");
    type(find, "txtCSI_1", "01999");
    bool refused = false;
    whenTrackShown([&](frmTrack& t) {
        listOf(t)->topLevelItem(0)->setCheckState(0, Qt::Checked);
        t.ImportProjects();
        ASSERT_TRUE(t.Busy);
        t.close();
        refused = t.isVisible();
        EXPECT_EQ(env.ui.last().text,
                  QStringLiteral("Cannot close window while importing data ..."));
        waitUntil([&] { return !t.Busy; });
    });
    ASSERT_TRUE(runSearch(find));
    EXPECT_TRUE(refused) << messages(env.ui).join('|').toStdString();
    EXPECT_EQ(count("Projects"), 1);
}

TEST_F(SearchAndImport, ImportSaysHowManyAndTheWindowSaysWhatItIsFor) {
    frmFind find;
    type(find, "txtBidDate_0", "1/1/2027");
    type(find, "txtBidDate_1", "12/31/2027");
    QString after, mainStatus;
    whenTrackShown([&](frmTrack& t) {
        auto* purpose = t.findChild<QLabel*>(QStringLiteral("lblPurpose"));
        auto* instruction = t.findChild<QLabel*>(QStringLiteral("Label1"));
        ASSERT_NE(purpose, nullptr);
        EXPECT_FALSE(purpose->text().isEmpty());
        EXPECT_LT(purpose->geometry().top(), instruction->geometry().top()) << "at the top";
        for (int i : {0, 1})
            listOf(t)->topLevelItem(i)->setCheckState(0, Qt::Checked);
        t.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        ASSERT_TRUE(waitUntil([&] { return !t.Busy; }));
        after = t.findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
        mainStatus = main.statusTexts.value(main.statusTexts.size() - 1);
    });
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(after, QStringLiteral("2 projects imported"));
    EXPECT_EQ(mainStatus, QStringLiteral("2 projects imported"));
    EXPECT_EQ(count("Projects"), 2);
}

// The listing's reply is held by the service until the test lets it go.
class HeldImport : public SearchAndImport {
protected:
    HeldImport() : SearchAndImport({"--fault-kind", "2", "--hold-until", gate() + "/go"}) {}
    static QString gate() {
        static QTemporaryDir dir;
        return dir.path();
    }
    void release() {
        QFile f(gate() + "/go");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

TEST_F(HeldImport, CancelWhileWaitingForTheListingImportsNothingAndLeavesTheDialogUsable) {
    QFile::remove(gate() + "/go");
    frmFind find;
    type(find, "txtBidDate_0", "1/1/2027");
    type(find, "txtBidDate_1", "12/31/2027");
    int offered = 0;
    int afterCancel = -1;
    QString said;
    whenTrackShown([&](frmTrack& t) {
        offered = listOf(t)->topLevelItemCount();
        listOf(t)->topLevelItem(0)->setCheckState(0, Qt::Checked);
        t.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        ASSERT_TRUE(t.Busy);
        auto* cancel = t.findChild<QPushButton*>(QStringLiteral("Command2"));
        EXPECT_TRUE(cancel->isEnabled()) << "the only way out of a held import";
        cancel->click();
        EXPECT_FALSE(t.Busy);
        EXPECT_TRUE(t.isVisible()) << "Cancel stops the import, it does not close the dialog";
        said = t.findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
        afterCancel = listOf(t)->topLevelItemCount();
        EXPECT_TRUE(t.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
        // Released now, the listing goes nowhere: the request was dropped with its connection.
        release();
        t.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        ASSERT_TRUE(waitUntil([&] { return !t.Busy; }));
    });
    ASSERT_TRUE(runSearch(find));
    EXPECT_EQ(said, frmTrack::ImportCancelledText());
    EXPECT_EQ(afterCancel, offered);
    EXPECT_EQ(messages(env.ui), QStringList()) << messages(env.ui).join('|').toStdString();
    // Only the import run after the cancel stored its project.
    EXPECT_EQ(count("Projects"), 1);
}

class OldClient : public SearchAndImport {
protected:
    OldClient() : SearchAndImport({"--min-version", "99.0.0"}) {}
};

TEST_F(OldClient, VersionRefusalIsShownAsSent) {
    frmFind find;
    type(find, "txtJobName", "School");
    ASSERT_TRUE(runSearch(find));
    ASSERT_EQ(messages(env.ui).size(), 1);
    EXPECT_TRUE(messages(env.ui)[0].startsWith("This version of Brevant Desktop ("));
    EXPECT_EQ(env.ui.last().icon, ui::Icon::Information);
}

} // namespace
} // namespace brevant::server
