// Printing the reports against a CUPS scheduler of the tests' own (raw queues whose jobs'
// documents stay in its spool folder) and into PDF files, read back with poppler's tools.
#include "../../support/CupsScheduler.h"
#include "OutputTestSupport.h"
#include "ReportDatabase.h"
#include "shell/ShellTestEnv.h"

#include "platform/richtext/RtfDocument.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/Printing.h"
#include "reports/ProjectReports.h"
#include "reports/frmPrinter.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>
#include <cups/cups.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace brevant;
using namespace outputtest;

namespace {

// One scheduler for the whole test program: libcups keeps the server it found per thread, so
// it is set up before any test talks to CUPS. Its default queue is "OtherQueue".
class PrintEnvironment : public ::testing::Environment {
public:
    static PrintEnvironment* instance;
    void SetUp() override {
        ok_ = dir_.isValid() && cups_.start(dir_.filePath("cups").toStdString()) &&
              cups_.addQueue("BrevantPdf") && cups_.addQueue("OtherQueue") &&
              cups_.addQueue("Closed") && cups_.admin("lpadmin", "-d OtherQueue") &&
              cups_.admin("cupsreject", "Closed");
        if (!ok_)
            return;
        QDir().mkpath(home());
        qputenv("CUPS_SERVER", QByteArray::fromStdString(cups_.address()));
        qputenv("HOME", home().toUtf8());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        cupsSetServer(nullptr);
    }
    bool ok() const { return ok_; }
    QString home() const { return dir_.filePath("home"); }
    const brevant::testing::CupsScheduler& cups() const { return cups_; }

private:
    QTemporaryDir dir_;
    brevant::testing::CupsScheduler cups_;
    bool ok_ = false;
};
PrintEnvironment* PrintEnvironment::instance =
    static_cast<PrintEnvironment*>(::testing::AddGlobalTestEnvironment(new PrintEnvironment));

#define REQUIRE_CUPS()                                                                             \
    if (!PrintEnvironment::instance->ok())                                                         \
    GTEST_SKIP() << "no CUPS scheduler (packages cups-daemon, cups-client)"

std::vector<QString> newDocuments(std::size_t before) {
    std::vector<QString> out;
    const auto docs = PrintEnvironment::instance->cups().jobDocuments();
    for (std::size_t i = before; i < docs.size(); ++i)
        out.push_back(QString::fromStdString(docs[i].string()));
    return out;
}

std::size_t jobCount() {
    return PrintEnvironment::instance->cups().jobDocuments().size();
}

void expectOneInch(const QString& pdf) {
    const WordBox w = firstWord(pdf);
    EXPECT_FALSE(w.text.isEmpty()) << pdf.toStdString();
    EXPECT_NEAR(w.x, 72.0, 2.0) << w.text.toStdString();
    EXPECT_NEAR(w.y, 72.0, 2.0) << w.text.toStdString();
}

class PrintReportsTest : public reporttest::ReportDatabase {
protected:
    void SetUp() override {
        ReportDatabase::SetUp();
        // Project 12 gets enough contacts for a full report of several pages.
        for (int i = 0; i < 120; ++i)
            db.execute(QStringLiteral("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, "
                                      "City, [State], [Type]) VALUES (12, 'FIRM %1', 'Person', "
                                      "'555', 'AUSTIN', 'TX', 'B')")
                           .arg(i, 3, 10, QLatin1Char('0')));
        project = reports::ReadRecords(db, reports::ProjectSql(4711)).first();
    }
    reports::Record project;
};

} // namespace

TEST_F(PrintReportsTest, PdfFileSummaryIsOnePageAndFullReportSeveralAtOneInch) {
    const QString summary = dir.filePath("summary.pdf");
    ASSERT_EQ(reports::PrintReports(db, "SUMMARY", project, {}, {QString(), summary}), "");
    EXPECT_EQ(pdfPages(summary), 1);
    expectOneInch(summary);
    EXPECT_TRUE(pdfText(summary).contains("Central High School Roof"));

    const QString full = dir.filePath("full.pdf");
    ASSERT_EQ(reports::PrintReports(db, "FULL", project, {12}, {QString(), full}), "");
    const int pages = pdfPages(full);
    EXPECT_GE(pages, 3);
    EXPECT_TRUE(pdfText(full).contains("FIRM 119")) << "nothing lost at the end";
    expectOneInch(full);

    // Several projects to a PDF file: one file each, named after the project.
    ASSERT_EQ(reports::PrintReports(db, "FULL", project, {4711, 12}, {QString(), full}), "");
    EXPECT_EQ(pdfPages(dir.filePath("full-4711.pdf")), 1);
    EXPECT_EQ(pdfPages(dir.filePath("full-12.pdf")), pages);

    EXPECT_EQ(reports::PrintReports(db, "OTHER", project, {12}, {QString(), full}), "");
    EXPECT_FALSE(QFile::exists(dir.filePath("other.pdf")));
}

// A PDF file is a document the user saves: its mode is 0666 less the umask, not the 0600 of a
// private temporary file.
TEST_F(PrintReportsTest, PdfFilesGetTheModeOfASavedDocument) {
    for (const mode_t mask : {mode_t(022), mode_t(027)}) {
        const mode_t before = ::umask(mask);
        const QString pdf = dir.filePath(QStringLiteral("mode-%1.pdf").arg(mask, 0, 8));
        const QString error = reports::PrintReports(db, "SUMMARY", project, {}, {QString(), pdf});
        ::umask(before);
        ASSERT_EQ(error, "");
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(pdf).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << (st.st_mode & 0777);
    }
}

TEST_F(PrintReportsTest, MarginsAreMeasuredFromThePaperEdgeForAnyMargin) {
    QTextDocument doc;
    richtext::setRtf(doc, reports::PrintSummary(project));
    const QString pdf = dir.filePath("margins.pdf");
    ASSERT_EQ(reports::PrintRichText(doc, {QString(), pdf}, "t", {720, 2880, 720, 720}), "");
    const WordBox w = firstWord(pdf);
    EXPECT_NEAR(w.x, 36.0, 2.0);
    EXPECT_NEAR(w.y, 144.0, 2.0);
}

TEST_F(PrintReportsTest, AnUnwritablePdfFileIsReportedAndTheOldFileKept) {
    EXPECT_THAT(reports::PrintReports(db, "SUMMARY", project, {},
                                      {QString(), dir.filePath("missing/folder/x.pdf")})
                    .toStdString(),
                ::testing::HasSubstr("missing/folder/x.pdf"));
    const QString kept = dir.filePath("kept.pdf");
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    ASSERT_EQ(reports::PrintReports(db, "SUMMARY", project, {}, {QString(), kept}), "");
    EXPECT_EQ(pdfPages(kept), 1);
    EXPECT_EQ(QDir(dir.path()).entryList({".kept.pdf*"}, QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(PrintReportsTest, QueueJobsCarryOnePageSummaryAndLongFullReport) {
    REQUIRE_CUPS();
    const std::size_t before = jobCount();
    ASSERT_EQ(reports::PrintReports(db, "SUMMARY", project, {}, {"BrevantPdf", QString()}), "");
    ASSERT_EQ(reports::PrintReports(db, "FULL", project, {12}, {"BrevantPdf", QString()}), "");
    const std::vector<QString> jobs = newDocuments(before);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(pdfPages(jobs[0]), 1);
    expectOneInch(jobs[0]);
    EXPECT_GE(pdfPages(jobs[1]), 3);
    expectOneInch(jobs[1]);

    const QString refused =
        reports::PrintReports(db, "SUMMARY", project, {}, {"Closed", QString()});
    EXPECT_THAT(refused.toStdString(), ::testing::HasSubstr("Closed refused the job"));
    EXPECT_EQ(jobCount(), before + 2);
}

TEST(Printers, TheListHasTheQueuesWithTheirDevicesThenThePdfEntry) {
    REQUIRE_CUPS();
    const QList<reports::PrinterEntry> list = reports::AvailablePrinters();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_TRUE(list.last().pdfFile);
    EXPECT_EQ(list.last().name, "PDF file");
    QStringList names;
    for (const auto& e : list) {
        names << e.name;
        if (e.name == "BrevantPdf") {
            EXPECT_EQ(e.port, "file:///dev/null");
        }
        EXPECT_EQ(e.isDefault, e.name == "OtherQueue") << e.name.toStdString();
    }
    EXPECT_TRUE(names.contains("BrevantPdf"));
    EXPECT_TRUE(names.contains("Closed"));
}

namespace {

class PrintMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const QString file = env_.createDatabase();
        shell::test::ShellTestEnv::execute(
            file,
            {shell::test::ShellTestEnv::insertProject(101, "ALPHA BRIDGE", "04/15/2027", true,
                                                      false),
             shell::test::ShellTestEnv::insertProject(102, "BRAVO ROOF", "03/01/2027", true, false),
             shell::test::ShellTestEnv::insertProject(103, "CHARLIE HALL", "02/01/2027", true,
                                                      false),
             shell::test::ShellTestEnv::insertProject(104, "DELTA DOCK", "01/01/2027", true,
                                                      false)});
        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        list1_ = w_->findChild<QTreeWidget*>("ListView1");
    }
    void TearDown() override { EXPECT_TRUE(driver_.idle()) << "a window was not shown"; }

    shell::test::ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    DialogDriver driver_;
    std::unique_ptr<shell::frmMain> w_;
    QTreeWidget* list1_ = nullptr;
};

} // namespace

TEST_F(PrintMainWindow, FullReportOfThreeCheckedProjectsIsThreeJobsInListOrder) {
    REQUIRE_CUPS();
    const QString defaultBefore = QPrinterInfo::defaultPrinterName();
    ASSERT_EQ(defaultBefore, "OtherQueue");
    for (int id : {101, 103, 104})
        w_->FindProjectRow(id)->setCheckState(0, Qt::Checked);
    const std::vector<int> order = w_->checkedJobIds();
    const std::size_t before = jobCount();
    bool listed = false;
    driver_.whenShown("frmPrinter", [&](QWidget* w) {
        auto* list = w->findChild<QTreeWidget*>("ListView1");
        EXPECT_EQ(list->headerItem()->text(0), "PRINTER");
        EXPECT_EQ(list->headerItem()->text(1), "DRIVER");
        EXPECT_EQ(list->headerItem()->text(2), "PORT");
        EXPECT_EQ(list->currentItem()->text(0), "OtherQueue") << "the default is selected";
        EXPECT_EQ(list->topLevelItem(list->topLevelItemCount() - 1)->text(0), "PDF file");
        listed = true;
        const auto rows = list->findItems("BrevantPdf", Qt::MatchExactly, 0);
        ASSERT_EQ(rows.size(), 1);
        // A double-click on a row prints as "&PRINT" does.
        Q_EMIT list->itemDoubleClicked(rows.first(), 0);
    });
    w_->findChild<QAction*>("mnuListPrintSummary")->trigger();
    EXPECT_TRUE(listed);
    const std::vector<QString> jobs = newDocuments(before);
    ASSERT_EQ(jobs.size(), 3u);
    const QMap<int, QString> names = {
        {101, "ALPHA BRIDGE"}, {103, "CHARLIE HALL"}, {104, "DELTA DOCK"}};
    for (std::size_t i = 0; i < 3; ++i) {
        const QString text = pdfText(jobs[i]);
        EXPECT_TRUE(text.contains(names[order[i]])) << i << " " << text.toStdString();
        EXPECT_FALSE(text.contains("BRAVO ROOF"));
    }
    EXPECT_EQ(QPrinterInfo::defaultPrinterName(), defaultBefore);
    EXPECT_FALSE(QFile::exists(PrintEnvironment::instance->home() + "/.cups/lpoptions"))
        << "the user's default printer is never switched";
    EXPECT_TRUE(ui_.shown().isEmpty()) << ui_.last().text.toStdString();
    EXPECT_EQ(w_->statusBar()->findChild<QLabel*>("Panel1")->text(), "");
}

TEST_F(PrintMainWindow, ToolbarPrintWithNothingCheckedSaysSo) {
    w_->findChild<QAction*>("Toolbar1_Button8")->trigger();
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "No project(s) were selected for printing ...");
    EXPECT_EQ(ui_.last().title, "System Message");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Information);
}

TEST_F(PrintMainWindow, RefusedJobIsReportedAndTheWindowStaysUsable) {
    REQUIRE_CUPS();
    list1_->setCurrentItem(w_->FindProjectRow(102));
    const std::size_t before = jobCount();
    bool stayedOpen = false;
    driver_.whenShown("frmPrinter", [&](QWidget* w) {
        auto* list = w->findChild<QTreeWidget*>("ListView1");
        list->setCurrentItem(list->findItems("Closed", Qt::MatchExactly, 0).first());
        w->findChild<QPushButton*>("Command1")->click();
        stayedOpen = w->isVisible();
        // Another printer from the same window.
        list->setCurrentItem(list->findItems("BrevantPdf", Qt::MatchExactly, 0).first());
        w->findChild<QPushButton*>("Command1")->click();
    });
    w_->findChild<QPushButton*>("Command2")->click(); // the summary's print button
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().title, "System Error");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Exclamation);
    EXPECT_TRUE(ui_.last().text.startsWith("Printing failed - the printer Closed refused the job"))
        << ui_.last().text.toStdString();
    const std::vector<QString> jobs = newDocuments(before);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(pdfText(jobs[0]).contains("BRAVO ROOF"));
}

TEST_F(PrintMainWindow, FullReportsToAPdfFileSayWhichFilesWereWritten) {
    cupsSetServer(("127.0.0.1:" + std::to_string(mailvane::testing::freePort())).c_str());
    for (int id : {101, 103})
        w_->FindProjectRow(id)->setCheckState(0, Qt::Checked);
    QDir().mkpath(env_.path("out"));
    ui_.answerPath(env_.path("out/full.pdf"));
    driver_.whenShown("frmPrinter",
                      [&](QWidget* w) { w->findChild<QPushButton*>("Command1")->click(); });
    w_->findChild<QAction*>("mnuListPrintSummary")->trigger();
    cupsSetServer(nullptr);
    const QString first = env_.path("out/full-101.pdf"), second = env_.path("out/full-103.pdf");
    EXPECT_GE(pdfPages(first), 1);
    EXPECT_GE(pdfPages(second), 1);
    ASSERT_FALSE(ui_.shown().isEmpty());
    EXPECT_EQ(ui_.last().title, "System Message");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Information);
    EXPECT_TRUE(ui_.last().text.contains(first + "\n" + second)) << ui_.last().text.toStdString();
    EXPECT_FALSE(QFile::exists(env_.path("out/full.pdf")));
}

// "&CANCEL" while full reports print: the report being printed is finished, no other starts.
TEST_F(PrintMainWindow, CancelAfterTheFirstOfThreeReportsPrintsNoMore) {
    cupsSetServer(("127.0.0.1:" + std::to_string(mailvane::testing::freePort())).c_str());
    for (int id : {101, 103, 104})
        w_->FindProjectRow(id)->setCheckState(0, Qt::Checked);
    const std::vector<int> order = w_->checkedJobIds();
    QDir().mkpath(env_.path("out"));
    ui_.answerPath(env_.path("out/full.pdf"));
    bool stillOpen = false;
    driver_.whenShown("frmPrinter", [&](QWidget* w) {
        auto* bar = w->findChild<QProgressBar*>("ProgressBar1");
        auto* cancel = w->findChild<QPushButton*>("Command2");
        // The first report is written: cancel from its progress step.
        QObject::connect(bar, &QProgressBar::valueChanged, w, [&, w, cancel](int done) {
            if (done == 1) {
                cancel->click();
                stillOpen = w->isVisible();
            }
        });
        w->findChild<QPushButton*>("Command1")->click();
    });
    w_->findChild<QAction*>("mnuListPrintSummary")->trigger();
    cupsSetServer(nullptr);
    EXPECT_TRUE(stillOpen) << "Cancel stops the printing, it does not close the window meanwhile";
    EXPECT_GE(pdfPages(env_.path("out/full-%1.pdf").arg(order[0])), 1);
    for (int id : {order[1], order[2]})
        EXPECT_FALSE(QFile::exists(env_.path("out/full-%1.pdf").arg(id))) << id;
    EXPECT_TRUE(QDir(env_.path("out")).entryList({"*.part"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(w_->statusBar()->findChild<QLabel*>("Panel1")->text(),
              "Printing cancelled -- 1 of 3 reports printed");
    for (const auto& shown : ui_.shown())
        EXPECT_NE(shown.title, "System Message") << "one file needs no list of files";
}

TEST_F(PrintMainWindow, WithNoPrinterAtAllThePdfEntryStillPrints) {
    // A scheduler nobody listens on: CUPS lists no printer.
    cupsSetServer(("127.0.0.1:" + std::to_string(mailvane::testing::freePort())).c_str());
    list1_->setCurrentItem(w_->FindProjectRow(103));
    const QString chosen = env_.path("out/summary");
    QDir().mkpath(env_.path("out"));
    ui_.answerPath(chosen);
    int rows = -1;
    driver_.whenShown("frmPrinter", [&](QWidget* w) {
        auto* list = w->findChild<QTreeWidget*>("ListView1");
        rows = list->topLevelItemCount();
        EXPECT_EQ(list->currentItem()->text(0), "PDF file");
        w->findChild<QPushButton*>("Command1")->click();
    });
    w_->findChild<QPushButton*>("Command2")->click();
    cupsSetServer(nullptr);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(pdfPages(chosen + ".pdf"), 1) << "the .pdf ending is added";
    EXPECT_TRUE(pdfText(chosen + ".pdf").contains("CHARLIE HALL"));
}
