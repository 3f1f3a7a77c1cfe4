// Every sample project's full report printed into a PDF file, read back with poppler: the file
// has exactly as many pages as the report needs, and its last page holds text (a page break
// after the last line used to leave a blank sheet at the end of some reports).
#include "OutputTestSupport.h"
#include "TestStore.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "reports/Printing.h"
#include "reports/ReportRecord.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant;
using namespace outputtest;

namespace {

// The page's text, blanks removed; empty for a blank page.
QString pageText(const QString& pdf, int page) {
    const QString n = QString::number(page);
    return run("pdftotext", {"-f", n, "-l", n, pdf, "-"}).simplified();
}

TEST(PrintSamples, EverySampleFullReportEndsOnAPageWithText) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    teststore::TestStores stores;
    const QString file = stores.create(dir.filePath("Desktop.mdb"));
    QProcess exporter;
    exporter.start(BREVANT_SERVICE_EXE,
                   {"--data", dir.filePath("service"), "--projects", "30", "--seed", "1", "--today",
                    "2026-12-08", "--export-desktop", file});
    ASSERT_TRUE(exporter.waitForFinished(120000));
    ASSERT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();

    db::Connection db;
    db.open(file);
    std::vector<int> jobs;
    db::Recordset rs;
    rs.open("Select [Job_ID] from [Projects] order by [Job_ID]", db);
    for (; !rs.eof(); rs.moveNext())
        jobs.push_back(rs.field("Job_ID").toInt());
    rs.close();
    ASSERT_EQ(jobs.size(), 30u);

    int several = 0;
    for (const int job : jobs) {
        const QString pdf = dir.filePath(QStringLiteral("full-%1.pdf").arg(job));
        ASSERT_EQ(reports::PrintReports(db, "FULL", reports::Record(), {job}, {QString(), pdf}),
                  "");
        const int pages = pdfPages(pdf);
        ASSERT_GE(pages, 1) << job;
        several += pages > 1;
        EXPECT_FALSE(pageText(pdf, pages).isEmpty())
            << "project " << job << ": page " << pages << " of " << pages << " is blank";
    }
    EXPECT_GT(several, 0) << "no sample report needed a second page";
}

} // namespace
