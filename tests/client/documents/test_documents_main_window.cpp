// The document commands through the main window, headless, against brevant-service: downloads
// of mixed selections with the exact selection string sent, placing and marking, double-clicks
// that download and open, "View Plans", clearing the cache, refusals, faults and progress, and
// replies that arrive after the user has moved to another project or deleted theirs. A
// recording stand-in for xdg-open is first on PATH.
#include "../../support/RecordingOpener.h"
#include "../server/ExchangeTestEnv.h"
#include "../shell/ListClicks.h"
#include "platform/db/Recordset.h"
#include "server/ServerConnection.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

using namespace brevant;
using brevant::server::test::ExchangeTestEnv;
using brevant::server::test::messages;
using brevant::server::test::waitUntil;

namespace {

constexpr int IconRole = Qt::UserRole + 1;

// A project of the test catalogue with sections, addenda and at least three plan sheets.
struct Pick {
    int job = 0;
    QStringList plans, sections, addenda;
};

class DocumentsMainWindow : public ::testing::Test {
protected:
    void start(const QStringList& serviceOptions = {}) {
        env_ = std::make_unique<ExchangeTestEnv>(serviceOptions);
        ASSERT_TRUE(env_->service.started()) << env_->service.errorText().toStdString();
        // The stand-in records the file it is asked to open and the folder it runs in.
        const QString bin = env_->path("bin");
        QDir().mkpath(bin);
        opener_.emplace(bin, env_->path("opened"),
                        QStringLiteral("$(case \"$1\" in (/*) echo \"$1\" ;; (*) echo "
                                       "\"$PWD/$1\" ;; esac)"));
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ":" + oldPath_);

        // The client's database holds the catalogue, as an import would have written it.
        const QString db = env_->createDatabase();
        QFile::remove(db);
        QProcess exporter;
        exporter.start(BREVANT_SERVICE_EXE,
                       {"--data", env_->service.dataDir(), "--projects",
                        QString::number(service::test::TestProjects), "--seed",
                        QString::number(service::test::TestSeed), "--today",
                        service::test::testToday().toString(Qt::ISODate), "--export-desktop", db});
        ASSERT_TRUE(exporter.waitForFinished(60000));
        ASSERT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
        pick_ = pickProject(db);
        ASSERT_NE(pick_.job, 0);
        WriteSetting("SUPPORTEMAIL", "help@test.example");

        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_->path("cache");
        QDir().mkpath(modResources::CacheLocation);
        lists_[0] = w_->findChild<QTreeWidget*>("ListView2");
        lists_[1] = w_->findChild<QTreeWidget*>("ListView3");
        lists_[2] = w_->findChild<QTreeWidget*>("ListView4");
        select(pick_.job);
        env_->ui.clear();
    }

    void TearDown() override {
        w_.reset();
        if (env_)
            qputenv("PATH", oldPath_);
        env_.reset();
    }

    static Pick pickProject(const QString& file) {
        db::Connection c;
        c.open(file);
        db::Recordset rs;
        rs.open("Select [Job_ID] FROM [Projects] ORDER BY [Job_ID]", c);
        std::vector<int> jobs;
        for (; !rs.eof(); rs.moveNext())
            jobs.push_back(rs.field("Job_ID").toInt());
        for (int job : jobs) {
            Pick p;
            p.job = job;
            db::Recordset plans;
            plans.open(QString("Select [File] FROM [Plans] WHERE [JobID] = %1").arg(job), c);
            for (; !plans.eof(); plans.moveNext())
                p.plans << plans.field("File").toString();
            db::Recordset specs;
            specs.open(
                QString("Select [Spec] FROM [Specs] WHERE [JobID] = %1 ORDER BY [Spec]").arg(job),
                c);
            for (; !specs.eof(); specs.moveNext()) {
                const QString s = specs.field("Spec").toString();
                if (s.startsWith("ADD"))
                    p.addenda << s;
                else if (!s.startsWith("TOC"))
                    p.sections << s;
            }
            if (p.plans.size() >= 3 && !p.addenda.isEmpty() && p.sections.size() >= 2)
                return p;
        }
        return {};
    }

    void select(int job) {
        QTreeWidget* projects = w_->findChild<QTreeWidget*>("ListView1");
        projects->setCurrentItem(w_->FindProjectRow(job));
        ASSERT_EQ(w_->selectedJobId(), job);
    }
    void trigger(const char* name) {
        QAction* a = w_->findChild<QAction*>(name);
        ASSERT_TRUE(a) << name;
        a->trigger();
    }
    QTreeWidgetItem* row(int list, const QString& tag) {
        for (int i = 0; i < lists_[list]->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = lists_[list]->topLevelItem(i);
            if (item->data(0, Qt::UserRole).toString() == tag)
                return item;
        }
        ADD_FAILURE() << "no row " << tag.toStdString();
        return lists_[list]->topLevelItem(0);
    }
    void tick(int list, const QString& tag) { row(list, tag)->setCheckState(0, Qt::Checked); }
    int icon(int list, const QString& tag) { return row(list, tag)->data(0, IconRole).toInt(); }
    bool idle() { return !w_->DocumentsBusy && !w_->Wirelet2->active() && !w_->Wirelet3->active(); }
    // Waits for the documents request to reach the service and the exchange to end.
    bool waitForDocuments(int requestsBefore) {
        return waitUntil([&] { return documentRequests() > requestsBefore && idle(); }, 60000);
    }
    // The wait window on screen (closed ones may linger until the event loop deletes them).
    QWidget* shownWait() const {
        for (QWidget* w : w_->findChildren<QWidget*>("frmWait")) {
            if (w->isVisible())
                return w;
        }
        return nullptr;
    }
    int documentRequests() const {
        return int(env_->service.stderrText().count(QStringLiteral(" documents user=")));
    }
    QString folder() const { return env_->path("cache/") + QString::number(pick_.job); }
    QStringList opened() const { return opener_ ? opener_->lines() : QStringList(); }
    int localFlags() {
        db::Recordset rs;
        rs.open(QString("Select count(*) AS n FROM [Plans] WHERE [Local] = TRUE AND [JobID] = %1")
                    .arg(pick_.job),
                *modResources::DbConnection);
        int n = rs.field("n").toInt();
        rs.open(QString("Select count(*) AS n FROM [Specs] WHERE [Local] = TRUE AND [JobID] = %1")
                    .arg(pick_.job),
                *modResources::DbConnection);
        return n + rs.field("n").toInt();
    }

    // Another listed project with plan sheets of its own.
    int otherProject() {
        db::Recordset rs;
        rs.open(QString("Select [JobID] FROM [Plans] WHERE [JobID] <> %1 ORDER BY [JobID]")
                    .arg(pick_.job),
                *modResources::DbConnection);
        for (; !rs.eof(); rs.moveNext())
            if (w_->FindProjectRow(rs.field("JobID").toInt()))
                return rs.field("JobID").toInt();
        return 0;
    }
    // Every file under a folder with its bytes, by its path inside the folder.
    static std::map<QString, QByteArray> contents(const QString& root) {
        std::map<QString, QByteArray> out;
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            out[QDir(root).relativeFilePath(path)] =
                f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>";
        }
        return out;
    }
    // The Local flag of each of a project's plan sheets, in file order.
    QStringList planFlags(int job) {
        db::Recordset rs;
        rs.open(QString("Select [File], [Local] FROM [Plans] WHERE [JobID] = %1 ORDER BY [File]")
                    .arg(job),
                *modResources::DbConnection);
        QStringList out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.field("File").toString() + "=" + rs.field("Local").toString();
        return out;
    }
    // Lets the held documents reply go out.
    void release() {
        QFile f(hold_.filePath("go"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QStringList heldOptions() {
        return {"--fault-kind", "5", "--hold-until", hold_.filePath("go")};
    }

    QTemporaryDir hold_;
    std::unique_ptr<ExchangeTestEnv> env_;
    std::unique_ptr<shell::frmMain> w_;
    QTreeWidget* lists_[3] = {};
    Pick pick_;
    std::optional<brevant::test::RecordingOpener> opener_;
    QByteArray oldPath_;
};

TEST_F(DocumentsMainWindow, MixedSelectionIsSentExactlyPlacedAndMarked) {
    start();
    const QString job = QString::number(pick_.job);
    // One plan sheet is cached already: ticked, it is left out and loses its tick.
    modResources::DbConnection->execute(QString("Update [Plans] Set [Local] = TRUE WHERE [JobID] "
                                                "= %1 AND [File] = '%2'")
                                            .arg(job, pick_.plans[2]));
    select(pick_.job - 1 >= 210001 ? pick_.job - 1 : pick_.job + 1);
    select(pick_.job);
    ASSERT_EQ(icon(0, pick_.plans[2]), 2);
    tick(0, pick_.plans[0]);
    tick(0, pick_.plans[1]);
    tick(0, pick_.plans[2]);
    tick(1, pick_.sections[1]);
    tick(2, pick_.addenda[0]);
    w_->findChild<QTabWidget*>("SSTab2")->setCurrentIndex(1);
    const int before = documentRequests();
    trigger("Toolbar1_Button9");
    ASSERT_TRUE(waitForDocuments(before)) << messages(env_->ui).join(" | ").toStdString();

    const QString selection =
        QString("%1@PLN~%2:PLN~%3:SPC~%4:ADD~%5")
            .arg(job, pick_.plans[0], pick_.plans[1], pick_.sections[1], pick_.addenda[0]);
    EXPECT_TRUE(env_->service.stderrText().contains("arg=\"" + selection + "\""))
        << env_->service.stderrText().toStdString();
    EXPECT_TRUE(messages(env_->ui).isEmpty()) << messages(env_->ui).join(" | ").toStdString();
    EXPECT_EQ(row(0, pick_.plans[2])->checkState(0), Qt::Unchecked);
    EXPECT_EQ(icon(0, pick_.plans[0]), 2);
    EXPECT_EQ(icon(0, pick_.plans[1]), 2);
    EXPECT_EQ(icon(1, pick_.sections[1]), 2);
    EXPECT_EQ(icon(1, pick_.sections[0]), 1);
    EXPECT_EQ(icon(2, pick_.addenda[0]), 2);
    EXPECT_EQ(w_->findChild<QTabWidget*>("SSTab2")->currentIndex(), 2)
        << "the addendum placed last switched to the addenda tab";
    EXPECT_EQ(localFlags(), 5);
    EXPECT_TRUE(QDir(env_->path("home/Download")).entryList(QDir::Files).isEmpty())
        << "the placed archive is deleted";
    for (QProgressBar* bar : w_->findChildren<QProgressBar*>())
        EXPECT_TRUE(bar->isHidden()) << bar->objectName().toStdString();

    // The documents are real: the plan set has a page per sheet plus its title page, and a
    // page file is an image Qt reads.
    const QString planSet = folder() + "/PLANS/PLAN.SVD";
    ASSERT_TRUE(QFileInfo::exists(planSet));
    if (!QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
        QProcess info;
        info.start("pdfinfo", {planSet});
        ASSERT_TRUE(info.waitForFinished(30000));
        const auto m = QRegularExpression("Pages:\\s+(\\d+)")
                           .match(QString::fromUtf8(info.readAllStandardOutput()));
        ASSERT_TRUE(m.hasMatch());
        EXPECT_EQ(m.captured(1).toInt(), pick_.plans.size() + 1);
    }
    QImageReader page(folder() + "/PLANS/" + pick_.plans[0], "tiff");
    EXPECT_FALSE(page.read().isNull()) << page.errorString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder() + "/SPECS/" + pick_.sections[1] + ".SVD"));
    EXPECT_TRUE(QFileInfo::exists(folder() + "/SPECS/" + pick_.addenda[0] + "_001.tif"));
    EXPECT_TRUE(opened().isEmpty()) << "nothing is opened without ViewAfterDownload";

    // Clearing the cache removes the folders and resets the flags and the icons.
    trigger("mnuFileClear");
    EXPECT_EQ(messages(env_->ui), QStringList({"No project(s) selected ..."}));
    w_->FindProjectRow(pick_.job)->setCheckState(0, Qt::Checked);
    trigger("mnuFileClear");
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_EQ(localFlags(), 0);
    select(pick_.job);
    EXPECT_EQ(icon(0, pick_.plans[0]), 1);
    EXPECT_EQ(icon(2, pick_.addenda[0]), 1);
}

TEST_F(DocumentsMainWindow, BareNumberBringsTheEmptyArchiveMessageAndNoProjectSendsNone) {
    start();
    modResources::DbConnection->execute(
        QString("Update [Plans] Set [Local] = TRUE WHERE [JobID] = %1").arg(pick_.job));
    select(pick_.job + 1);
    select(pick_.job);
    tick(0, pick_.plans[0]);
    int before = documentRequests();
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitForDocuments(before));
    EXPECT_TRUE(env_->service.stderrText().contains(QString("arg=\"%1\"").arg(pick_.job)));
    ASSERT_EQ(env_->ui.shown().size(), 1);
    EXPECT_EQ(env_->ui.last().text,
              "These documents are no longer available - Please contact us via email at "
              "help@test.example with any questions concerning this project ...");
    EXPECT_EQ(env_->ui.last().title, "System Message");
    EXPECT_EQ(env_->ui.last().icon, ui::Icon::Information);

    // No project selected: the request says NONE and the service refuses it.
    env_->ui.clear();
    tick(1, pick_.sections[0]);
    w_->SelectProject(999999);
    before = documentRequests();
    trigger("mnuSpecs_DownSelect");
    ASSERT_TRUE(waitUntil(
        [&] { return documentRequests() > before && idle() && !env_->ui.shown().isEmpty(); },
        60000));
    EXPECT_TRUE(env_->service.stderrText().contains("arg=\"NONE\""));
    EXPECT_EQ(messages(env_->ui), QStringList({"No project selected ..."}));
}

TEST_F(DocumentsMainWindow, NothingTickedAndViewPlansWithoutAPlanSet) {
    start();
    trigger("mnuPlansDownSel");
    trigger("mnuSpecs_DownSelect");
    trigger("mnuAdd_SelectDown");
    EXPECT_EQ(messages(env_->ui),
              QStringList({"No Plan Pages Selected for Download ...",
                           "No Specification Section(s) Selected for Download ...",
                           "No Addenda Section(s) Selected for Download ..."}));
    for (const ui::Shown& s : env_->ui.shown()) {
        EXPECT_EQ(s.title, "System Message");
        EXPECT_EQ(s.icon, ui::Icon::Information);
    }
    env_->ui.clear();
    trigger("mnuPlansView");
    QCoreApplication::processEvents();
    EXPECT_TRUE(env_->ui.shown().isEmpty());
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_EQ(documentRequests(), 0);
    // Select All / De-Select All tick one list only.
    trigger("mnuSpecs_All");
    for (int i = 0; i < lists_[1]->topLevelItemCount(); ++i)
        EXPECT_EQ(lists_[1]->topLevelItem(i)->checkState(0), Qt::Checked);
    EXPECT_EQ(lists_[0]->topLevelItem(0)->checkState(0), Qt::Unchecked);
    trigger("mnuSpecs_DeAll");
    EXPECT_EQ(lists_[1]->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

TEST_F(DocumentsMainWindow, DoubleClickDownloadsThenOpensThePlanSetAndOpensCachedSectionsAtOnce) {
    start();
    QTreeWidgetItem* sheet = row(0, pick_.plans[1]);
    lists_[0]->setCurrentItem(sheet);
    int before = documentRequests();
    Q_EMIT lists_[0]->itemDoubleClicked(sheet, 0);
    ASSERT_TRUE(waitForDocuments(before));
    EXPECT_TRUE(env_->service.stderrText().contains(
        QString("arg=\"%1@PLN~%2\"").arg(pick_.job).arg(pick_.plans[1])));
    ASSERT_TRUE(waitUntil([&] { return !opened().isEmpty(); }));
    EXPECT_EQ(opened().join(' ').toStdString(), (folder() + "/PLANS/PLAN.SVD").toStdString());
    EXPECT_FALSE(documents::ViewAfterDownload);

    // A section downloaded first, then double-clicked: opened with no exchange.
    tick(1, pick_.sections[0]);
    before = documentRequests();
    trigger("mnuSpecs_DownSelect");
    ASSERT_TRUE(waitForDocuments(before));
    const int requests = int(env_->service.stderrText().count(" user="));
    QTreeWidgetItem* section = row(1, pick_.sections[0]);
    lists_[1]->setCurrentItem(section);
    Q_EMIT lists_[1]->itemDoubleClicked(section, 0);
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 2; }));
    EXPECT_EQ(opened().last().toStdString(),
              (folder() + "/SPECS/" + pick_.sections[0] + ".SVD").toStdString());
    EXPECT_EQ(env_->service.stderrText().count(" user="), requests);

    // "View Plans" opens the plan set now that it is cached.
    trigger("mnuPlansView");
    ASSERT_TRUE(waitUntil([&] { return opened().size() == 3; }));
    EXPECT_EQ(opened().last().toStdString(), (folder() + "/PLANS/PLAN.SVD").toStdString());
    EXPECT_TRUE(messages(env_->ui).isEmpty()) << messages(env_->ui).join(" | ").toStdString();
}

TEST_F(DocumentsMainWindow, ASheetOpensInTheViewerAtItsOwnPageOfThePlanSet) {
    start();
    // With the program's viewer installed, a sheet opens at its page: the stand-in records
    // the arguments it is given.
    const brevant::test::RecordingOpener viewer(env_->path("bin"), env_->path("viewed"),
                                                QStringLiteral("$*"),
                                                QStringLiteral("brevant-viewer"));
    QStringList names = pick_.plans;
    std::sort(names.begin(), names.end());
    const QString sheet = names.at(names.size() - 1);
    const int page = int(names.size()) + 1; // after the title page and the sheets before it
    QTreeWidgetItem* item = row(0, sheet);
    lists_[0]->setCurrentItem(item);
    const int before = documentRequests();
    Q_EMIT lists_[0]->itemDoubleClicked(item, 0);
    ASSERT_TRUE(waitForDocuments(before));
    const QStringList calls = viewer.waitFor(1);
    ASSERT_EQ(calls.size(), 1);
    const QString planSet = folder() + "/PLANS/PLAN.SVD";
    EXPECT_EQ(calls.first().toStdString(),
              QString("--job %1 -- %2 %3").arg(pick_.job).arg(planSet).arg(page).toStdString());
    EXPECT_TRUE(opened().isEmpty()) << "the desktop's opener is not asked as well";

    // That page of the downloaded set is the sheet's own drawing.
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QProcess text;
    text.start("pdftotext",
               {"-f", QString::number(page), "-l", QString::number(page), planSet, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(shown.contains(sheet)) << shown.toStdString();
    EXPECT_FALSE(shown.contains("SHEET INDEX")) << "not the title page";
}

TEST_F(DocumentsMainWindow, HostileArchivesAreRefusedAndStayInDownload) {
    start({"--hostile-names", "--fault-kind", "5"});
    tick(0, pick_.plans[0]);
    const int before = documentRequests();
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitForDocuments(before));
    EXPECT_EQ(messages(env_->ui), QStringList({"Error un-packing images ..."}));
    EXPECT_EQ(env_->ui.last().icon, ui::Icon::Critical);
    EXPECT_EQ(QDir(env_->path("home/Download")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(folder() + "/PLANS"));
    EXPECT_FALSE(QFileInfo::exists("/tmp/brevant-hostile-x"));
    EXPECT_FALSE(QFileInfo::exists(env_->path("cache/x")));
    EXPECT_EQ(localFlags(), 0);
    EXPECT_TRUE(w_->findChild<QTreeWidget*>("ListView1")->isEnabled());
}

TEST_F(DocumentsMainWindow, HttpErrorsEndTheExchangeWithTheDownloadMessage) {
    for (const char* status : {"404", "500"}) {
        start({"--http-status", status});
        tick(2, pick_.addenda[0]);
        const int before = documentRequests();
        trigger("mnuAdd_SelectDown");
        ASSERT_TRUE(waitForDocuments(before)) << status;
        EXPECT_EQ(messages(env_->ui), QStringList({"Error downloading image file ..."})) << status;
        EXPECT_EQ(env_->ui.last().icon, ui::Icon::Critical);
        EXPECT_FALSE(QFileInfo::exists(folder()));
        EXPECT_EQ(localFlags(), 0);
        TearDown();
    }
}

TEST_F(DocumentsMainWindow, AnAccountWithoutDocumentsIsRefused) {
    start();
    modResources::UserName = "viewer";
    modResources::Password = "pw";
    tick(0, pick_.plans[0]);
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitUntil([&] { return idle() && !env_->ui.shown().isEmpty(); }));
    EXPECT_EQ(messages(env_->ui), QStringList({"Invalid subscription access ..."}));
    EXPECT_EQ(w_->documentExchange()->AccessResult, 0);
    EXPECT_EQ(documentRequests(), 0);
    // Asked directly, the documents request is refused with the service's own text.
    env_->ui.clear();
    w_->Wirelet3->OpenConnection(QString("%1@PLN~%2").arg(pick_.job).arg(pick_.plans[0]));
    ASSERT_TRUE(waitUntil([&] { return !w_->Wirelet3->active() && !env_->ui.shown().isEmpty(); }));
    EXPECT_EQ(messages(env_->ui),
              QStringList({"Your subscription does not include documents -- Please contact us "
                           "to upgrade ..."}));
    EXPECT_FALSE(w_->DocumentsBusy);
}

TEST_F(DocumentsMainWindow, ASlowTransferShowsRisingProgressAndRefusesASecondDownload) {
    start({"--http-slow", "15"});
    for (const QString& plan : pick_.plans)
        tick(0, plan);
    QProgressBar* bar = w_->findChild<QProgressBar*>("ProgressBar3");
    QList<int> values;
    bool refusedSecond = false;
    QTimer sample;
    sample.setInterval(10);
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (!bar->isHidden() && bar->value() > 0 &&
            (values.isEmpty() || values.last() != bar->value()))
            values << bar->value();
        // While the archive comes in, a second download is refused.
        if (!refusedSecond && values.size() >= 2 && w_->DocumentsBusy) {
            refusedSecond = true;
            tick(1, pick_.sections[0]);
            w_->mnuDownloadSelected_Click(1);
        }
    });
    sample.start();
    const int before = documentRequests();
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitForDocuments(before));
    sample.stop();
    ASSERT_GE(values.size(), 3) << "progress values seen: " << values.size();
    for (int i = 1; i < values.size(); ++i)
        EXPECT_GT(values[i], values[i - 1]);
    ASSERT_TRUE(refusedSecond);
    ASSERT_FALSE(env_->ui.shown().isEmpty());
    EXPECT_EQ(env_->ui.shown().first().text,
              "You are already dowloading documents -- Please try again later ...");
    EXPECT_EQ(env_->ui.shown().first().icon, ui::Icon::Exclamation);
    EXPECT_EQ(documentRequests(), before + 1);
    EXPECT_EQ(icon(0, pick_.plans[0]), 2);
}

// The wait window's Cancel, pressed as the first bytes of the archive arrive: the transfer
// stops, no partial archive is left in "Download" and nothing is placed or marked.
TEST_F(DocumentsMainWindow, CancelDuringTheTransferLeavesNoFileAndPlacesNothing) {
    start({"--http-slow", "15"});
    for (const QString& plan : pick_.plans)
        tick(0, plan);
    QProgressBar* bar = w_->findChild<QProgressBar*>("ProgressBar3");
    bool cancelled = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (cancelled || value <= 0)
            return;
        QWidget* wait = shownWait();
        ASSERT_NE(wait, nullptr);
        auto* cancel = wait->findChild<QPushButton*>("cmdCancel");
        ASSERT_TRUE(cancel && cancel->isVisible());
        cancelled = true;
        cancel->click();
    });
    const int before = documentRequests();
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitForDocuments(before));
    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(messages(env_->ui).isEmpty()) << messages(env_->ui).join(" | ").toStdString();
    EXPECT_EQ(w_->findChild<QLabel*>("Panel1")->text(), documents::DownloadCancelledText());
    EXPECT_TRUE(QDir(env_->path("home/Download"))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder() + "/PLANS"));
    EXPECT_EQ(localFlags(), 0);
    EXPECT_EQ(icon(0, pick_.plans[0]), 1);
    EXPECT_TRUE(w_->findChild<QTreeWidget*>("ListView1")->isEnabled());
}

TEST_F(DocumentsMainWindow, CancelWhileTheServiceCompilesDropsTheRequest) {
    start(heldOptions());
    tick(0, pick_.plans[0]);
    trigger("mnuPlansDownSel");
    // The access check has passed and the documents request is out, its reply held.
    ASSERT_TRUE(waitUntil([&] { return w_->DocumentsBusy && w_->Wirelet3->active(); }));
    QWidget* wait = shownWait();
    ASSERT_NE(wait, nullptr);
    wait->findChild<QPushButton*>("cmdCancel")->click();
    EXPECT_TRUE(idle());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(w_->findChild<QLabel*>("Panel1")->text(), documents::DownloadCancelledText());
    release();
    // A new download goes through: nothing of the cancelled one stands in its way.
    const int before = documentRequests();
    tick(0, pick_.plans[0]);
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitForDocuments(before));
    EXPECT_EQ(icon(0, pick_.plans[0]), 2);
    EXPECT_TRUE(messages(env_->ui).isEmpty()) << messages(env_->ui).join(" | ").toStdString();
}

TEST_F(DocumentsMainWindow, AReplyIsPlacedIntoTheProjectThatAskedWhateverIsSelectedMeanwhile) {
    start(heldOptions());
    QTreeWidget* projects = w_->findChild<QTreeWidget*>("ListView1");
    const int other = otherProject();
    ASSERT_NE(other, 0);
    // The other project has its own plan set in the cache and a sheet marked as cached.
    const QString otherFolder = env_->path("cache/") + QString::number(other);
    QDir().mkpath(otherFolder + "/PLANS");
    for (const char* name : {"PLANS/PLAN.SVD", "PLANS/keep.tif"}) {
        QFile f(otherFolder + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("the other project's own ") + name);
    }
    modResources::DbConnection->execute(
        QString("Update [Plans] Set [Local] = TRUE WHERE [JobID] = %1 AND [File] = "
                "(Select min([File]) FROM [Plans] WHERE [JobID] = %1)")
            .arg(other));
    const auto otherBefore = contents(otherFolder);
    const QStringList otherFlags = planFlags(other);

    tick(0, pick_.plans[0]);
    tick(0, pick_.plans[1]);
    const int before = documentRequests();
    trigger("mnuPlansDownSel");
    // The service has the request and holds its answer: the user moves to the other project.
    ASSERT_TRUE(waitUntil([&] { return documentRequests() > before; }, 60000));
    ASSERT_TRUE(w_->DocumentsBusy);
    shell::test::clickRow(projects, w_->FindProjectRow(other));
    ASSERT_EQ(w_->selectedJobId(), other);
    const QStringList otherIcons = [&] {
        QStringList icons;
        for (int i = 0; i < lists_[0]->topLevelItemCount(); ++i)
            icons << lists_[0]->topLevelItem(i)->data(0, IconRole).toString();
        return icons;
    }();
    release();
    ASSERT_TRUE(waitForDocuments(before));

    EXPECT_TRUE(messages(env_->ui).isEmpty()) << messages(env_->ui).join(" | ").toStdString();
    // The requesting project's folder and rows got its documents.
    EXPECT_TRUE(QFileInfo::exists(folder() + "/PLANS/PLAN.SVD"));
    QImageReader page(folder() + "/PLANS/" + pick_.plans[0], "tiff");
    EXPECT_FALSE(page.read().isNull()) << page.errorString().toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder() + "/PLANS/" + pick_.plans[1]));
    EXPECT_EQ(localFlags(), 2);
    // The project on screen is untouched, byte for byte, in its folder, rows and list.
    EXPECT_EQ(contents(otherFolder), otherBefore);
    EXPECT_EQ(planFlags(other), otherFlags);
    EXPECT_EQ(w_->selectedJobId(), other);
    QStringList iconsAfter;
    for (int i = 0; i < lists_[0]->topLevelItemCount(); ++i)
        iconsAfter << lists_[0]->topLevelItem(i)->data(0, IconRole).toString();
    EXPECT_EQ(iconsAfter, otherIcons);

    // Back on the requesting project, its sheets show as cached.
    shell::test::clickRow(projects, w_->FindProjectRow(pick_.job));
    EXPECT_EQ(icon(0, pick_.plans[0]), 2);
    EXPECT_EQ(icon(0, pick_.plans[1]), 2);
}

TEST_F(DocumentsMainWindow, AReplyForAProjectDeletedMeanwhilePlacesNothingAndSaysSoOnce) {
    start(heldOptions());
    tick(0, pick_.plans[0]);
    const int before = documentRequests();
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitUntil([&] { return documentRequests() > before; }, 60000));
    // The project is deleted through the list while its documents are on their way.
    w_->FindProjectRow(pick_.job)->setCheckState(0, Qt::Checked);
    env_->ui.answerMessage(ui::Answer::Yes);
    trigger("mnuListDelete");
    ASSERT_FALSE(w_->FindProjectRow(pick_.job));
    env_->ui.clear();
    release();
    ASSERT_TRUE(waitForDocuments(before));

    ASSERT_EQ(messages(env_->ui),
              QStringList({"The project these documents were requested for has been deleted -- "
                           "Nothing was saved ..."}));
    EXPECT_EQ(env_->ui.last().title, "System Message");
    EXPECT_EQ(env_->ui.last().icon, ui::Icon::Information);
    // Nothing was placed anywhere: no project's cache folder holds a file, no row is cached.
    EXPECT_TRUE(contents(env_->path("cache")).empty());
    db::Recordset rs;
    rs.open("Select count(*) AS n FROM [Plans] WHERE [Local] = TRUE", *modResources::DbConnection);
    EXPECT_EQ(rs.field("n").toInt(), 0);
    EXPECT_FALSE(w_->DocumentsBusy);
}

} // namespace
