// "current.rtf" and a full report written to a file: what is written, how it is opened, and
// that a real RTF consumer (LibreOffice, converting to PDF) reads the report's lines from it.
#include "../../support/RecordingOpener.h"
#include "ReportDatabase.h"
#include "ReportFixtures.h"
#include "reports/ProjectListReport.h"
#include "reports/ProjectReports.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <harlix/ComError.h>

using namespace brevant::reports;
using namespace reporttest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner);
}

// Sets an environment variable for the life of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

// The text LibreOffice reads from an RTF file: converted to PDF, then to text, with every run
// of blanks and line ends made one blank, so that the page layout (where a long heading
// wraps) does not matter. Empty with a reason when it failed.
QString textThroughLibreOffice(const QString& rtfPath, const QString& workDir, QString& failure) {
    const QString profile = "file://" + workDir + "/lo-profile";
    QProcess lo;
    lo.setWorkingDirectory(workDir);
    lo.start("soffice", {"-env:UserInstallation=" + profile, "--headless", "--norestore",
                         "--convert-to", "pdf", "--outdir", workDir, rtfPath});
    if (!lo.waitForFinished(240000) || lo.exitCode() != 0) {
        failure = "soffice failed: " + lo.readAllStandardError();
        return {};
    }
    const QString pdf = workDir + "/" + QFileInfo(rtfPath).completeBaseName() + ".pdf";
    QProcess toText;
    toText.start("pdftotext", {"-layout", pdf, "-"});
    if (!toText.waitForFinished(60000) || toText.exitCode() != 0) {
        failure = "pdftotext failed on " + pdf;
        return {};
    }
    return QString::fromUtf8(toText.readAllStandardOutput()).simplified();
}

} // namespace

using ReportFiles = ReportDatabase;

TEST_F(ReportFiles, CurrentRtfIsWrittenOverAndOpenedWithTheOpenVerb) {
    const QString folder = dir.filePath("home");
    QDir().mkpath(folder);
    writeFile(folder + "/current.rtf",
              "an older report that is longer than the new one" + QByteArray(5000, 'x'));
    const QList<ProjectListRow> rows = {{"03/05/2026", "Caf\u00e9 {Annex}"}};
    const QString path = ProjectListReport(folder, rows, at(2026, 12, 8, 14, 5, 0));
    EXPECT_EQ(path, folder + "/current.rtf");
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes, ProjectListReportRtf(rows, at(2026, 12, 8, 14, 5, 0))
                         .replace(QString("\u00e9"), "\\'e9")
                         .toLatin1());
    EXPECT_TRUE(bytes.contains("Caf\\'e9 \\{Annex\\}"));

    // A stand-in for the desktop's opener records what it was asked to open.
    const QString bin = dir.filePath("bin");
    QDir().mkpath(bin);
    const brevant::test::RecordingOpener opener(bin, dir.filePath("opened"), "$PWD|$*");
    ScopedEnv path_("PATH", (bin + ":" + qgetenv("PATH")).toUtf8());
    EXPECT_TRUE(OpenProjectListReport(folder));
    // The opener may still be running when the call returns.
    EXPECT_EQ(opener.waitFor(1), QStringList{folder + "|" + folder + "/current.rtf"});

    // A folder that cannot be written is reported, not ignored.
    EXPECT_THROW(ProjectListReport(dir.filePath("missing/deeper"), rows), std::runtime_error);
    // Nothing to open it with: the caller is told so and shows the report itself.
    QFile::remove(bin + "/xdg-open");
    ScopedEnv noOpener("PATH", bin.toUtf8());
    EXPECT_FALSE(OpenProjectListReport(folder));
    // Any other failure still comes through.
    EXPECT_THROW(OpenProjectListReport(dir.filePath("missing")), harlix::ComError);
}

TEST_F(ReportFiles, LibreOfficeReadsTheListAndTheFullReport) {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) {
        std::printf("skipped: LibreOffice (soffice) is not installed; install "
                    "libreoffice-writer-nogui to check the report files with a real RTF "
                    "reader\n");
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }
    ASSERT_FALSE(QStandardPaths::findExecutable("pdftotext").isEmpty()) << "poppler-utils";
    const QString folder = dir.filePath("home");
    QDir().mkpath(folder);
    const QString longName = "NORTHSIDE REGIONAL WASTEWATER TREATMENT PLANT EXPANSION PHASE II "
                             "AND LIFT STATIONS";
    ASSERT_GT(longName.size(), 75);
    const QString list = ProjectListReport(
        folder, {{"03/05/2026", "Central High School Roof"}, {"No Date Set", longName}},
        at(2026, 12, 8, 14, 5, 0));
    const QString fullPath = dir.filePath("Project 4711.rtf");
    writeFile(fullPath, FullProjectReport(db, 4711, at(2026, 12, 8, 9, 0, 0)).toLatin1());

    QString failure;
    const QString listText = textThroughLibreOffice(list, dir.path(), failure);
    ASSERT_FALSE(listText.isEmpty()) << failure.toStdString();
    for (const QString& line :
         {QString("12/8/2026 2:05:00 PM"),
          QString("Brevant Desktop \u2122 - CURRENT PROJECT LIST REPORT"), QString("PROJECTS:"),
          QString("03/05/2026 Central High School Roof"), "No Date Set " + longName})
        EXPECT_TRUE(listText.contains(line)) << line.toStdString() << "\n"
                                             << listText.toStdString();

    const QString fullText = textThroughLibreOffice(fullPath, dir.path(), failure);
    ASSERT_FALSE(fullText.isEmpty()) << failure.toStdString();
    for (const QString& line :
         {QString("Brevant Desktop \u2122 - FULL PROJECT REPORT"),
          QString("Central High School Roof"), QString("PROJECT INFORMATION:"),
          QString("LOCATION: AUSTIN, TX"), QString("TYPE: BUILDING CONSTRUCTION"),
          QString("ESTIMATED COST: $1,250,000<->$2,500,000"),
          QString("BIDS DUE: 3/5/2026 2:00:00 PM"), QString("PRE-BID DATE: 02/20/2026"),
          QString("PROJECT DESCRIPTION:"), QString("Replace the roof"), QString("BIDDERS LIST:"),
          QString("ACME ROOFING"), QString("CONTACT: Ann"),
          QString("ADDRESS: a1 a2 AUSTIN, TX 78701"), QString("PHONE: 1 Ext:2"),
          QString("(ARCHITECT) BETA DESIGN"), QString("PROJECT NOTES:"), QString("Call Bob")})
        EXPECT_TRUE(fullText.contains(line)) << line.toStdString() << "\n"
                                             << fullText.toStdString();
}
