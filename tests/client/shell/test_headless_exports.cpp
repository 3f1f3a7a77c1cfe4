// The exports without a window: the program's own database (found through the settings as the
// window finds it), the job list argument, an unknown filter and an unwritable file.
#include "ShellTestEnv.h"

#include "platform/ui/ScriptedUi.h"
#include "shell/HeadlessExports.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

class HeadlessExport : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = env_.createDatabase();
        ShellTestEnv::execute(
            db_, {ShellTestEnv::insertProject(7, "POOL", "04/15/2027 1:30:00 PM", false, true),
                  ShellTestEnv::insertProject(8, "GYM", "01/01/1900", false, true),
                  ShellTestEnv::insertProject(9, "TRACK, FIELD", "03/01/2027", true, false)});
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ShellTestEnv env_;
    QString db_;
    ui::ScopedScriptedUi ui_;
    QString out_, err_;
    QTextStream out{&out_}, err{&err_};
};

TEST_F(HeadlessExport, ListOfAFilterInTheListsOrder) {
    const QString path = env_.path("all.csv");
    ASSERT_EQ(ExportListCommand(path, "all", out, err), 0) << qPrintable(err_);
    EXPECT_EQ(read(path), "\xEF\xBB\xBF"
                          "BID DATE,TITLE,ASSIGN,PROJECT NUMBER,BID TIME,CITY,STATE,TYPE,ESTIMATED "
                          "COST,ESTIMATED COST END,TRACKED,NEW\r\n"
                          "2027-04-15,POOL,,7,13:30,,,HEAVY CONSTRUCTION,,,Yes,No\r\n"
                          "2027-03-01,\"TRACK, FIELD\",,9,,,,HEAVY CONSTRUCTION,,,No,Yes\r\n"
                          ",GYM,,8,,,,HEAVY CONSTRUCTION,,,Yes,No\r\n");
    EXPECT_EQ(out_, "3 project(s) were written to " + path + "\n");
    ASSERT_EQ(ExportListCommand(path, "NEW", out, err), 0);
    EXPECT_TRUE(read(path).endsWith(
        "NEW\r\n2027-03-01,\"TRACK, FIELD\",,9,,,,HEAVY CONSTRUCTION,,,No,Yes\r\n"));

    EXPECT_EQ(ExportListCommand(path, "SOME", out, err), 1);
    EXPECT_TRUE(err_.contains("Unknown filter \"SOME\""));
    EXPECT_EQ(ExportListCommand(env_.path("no/such/folder/x.csv"), "ALL", out, err), 1);
}

TEST_F(HeadlessExport, CalendarOfTrackedOrNamedProjects) {
    const QString path = env_.path("bids.ics");
    ASSERT_EQ(ExportCalendarCommand(path, {}, out, err), 0) << qPrintable(err_);
    QByteArray ics = read(path);
    EXPECT_TRUE(ics.contains("UID:7-bid@brevant\r\n"));
    EXPECT_TRUE(ics.contains(":20270415T133000\r\n"));
    EXPECT_FALSE(ics.contains("UID:9-bid"));
    EXPECT_TRUE(out_.contains("1 project(s) with no bid date set were left out"));

    ASSERT_EQ(ExportCalendarCommand(path, {9}, out, err), 0);
    ics = read(path);
    EXPECT_TRUE(ics.contains("UID:9-bid@brevant\r\n"));
    EXPECT_FALSE(ics.contains("UID:7-bid"));
}

// With nothing tagged there is nothing to export: an empty file would silently replace the
// calendar others read.
TEST_F(HeadlessExport, CalendarWithNoTaggedProjectSaysSoAndFails) {
    ShellTestEnv::execute(db_, {"UPDATE Projects SET Tracked = FALSE"});
    const QString path = env_.path("bids.ics");
    EXPECT_EQ(ExportCalendarCommand(path, {}, out, err), 1);
    EXPECT_TRUE(err_.contains("No projects are tagged")) << qPrintable(err_);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(out_.isEmpty()) << qPrintable(out_);
}

TEST(JobList, WholePositiveNumbersSeparatedByCommas) {
    EXPECT_EQ(ParseJobList("12,34"), (std::vector<int>{12, 34}));
    EXPECT_EQ(ParseJobList(" 5 , 6 ,"), (std::vector<int>{5, 6}));
    EXPECT_FALSE(ParseJobList("12,x").has_value());
    EXPECT_FALSE(ParseJobList("-3").has_value());
    EXPECT_FALSE(ParseJobList("").has_value());
}

} // namespace

namespace {

// The program itself, as a script would run it: no display, the settings file and program
// folder of the test.
TEST_F(HeadlessExport, TheProgramExportsFromTheCommandLineWithoutADisplay) {
    const QString program = QStringLiteral(BREVANT_BINARY_DIR) + "/client/brevant";
    ASSERT_TRUE(QFile::exists(program)) << qPrintable(program);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    auto run = [&](const QStringList& args, QString* errText = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (errText)
            *errText = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString csv = env_.path("tracked.csv");
    EXPECT_EQ(run({"--export-list", csv, "--filter", "track"}), 0);
    EXPECT_EQ(read(csv), "\xEF\xBB\xBF"
                         "BID DATE,TITLE,ASSIGN,PROJECT NUMBER,BID TIME,CITY,STATE,TYPE,ESTIMATED "
                         "COST,ESTIMATED COST END,TRACKED,NEW\r\n"
                         "2027-04-15,POOL,,7,13:30,,,HEAVY CONSTRUCTION,,,Yes,No\r\n"
                         ",GYM,,8,,,,HEAVY CONSTRUCTION,,,Yes,No\r\n");
    const QString ics = env_.path("bids.ics");
    EXPECT_EQ(run({"--export-calendar", ics, "--jobs", "9,7"}), 0);
    EXPECT_TRUE(read(ics).contains("UID:9-bid@brevant"));
    EXPECT_TRUE(read(ics).contains("UID:7-bid@brevant"));

    QString why;
    EXPECT_EQ(run({"--export-calendar", ics, "--jobs", "nine"}, &why), 2);
    EXPECT_TRUE(why.contains("--jobs")) << qPrintable(why);
    EXPECT_EQ(run({"--export-list", csv, "--filter", "SOME"}, &why), 1);
}

} // namespace
