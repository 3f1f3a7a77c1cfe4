// brevant-viewer: a document's pages, moving between them, zoom, printing every page, and the
// installed file type that hands ".SVD" files (any case) to PDF viewers and to it.
#include "ViewerTestSupport.h"
#include "frmViewer.h"
#include "reports/Printing.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using brevant::viewer::frmViewer;
using brevant::viewer::test::writePdf;

namespace {

// Every test of the program runs with settings of its own.
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new brevant::viewer::test::ViewerTestEnvironment);

int pdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(ViewerTest, PagesNextPreviousAndZoom) {
    QTemporaryDir dir;
    frmViewer viewer;
    viewer.show();
    ASSERT_TRUE(viewer.openDocument(writePdf(dir.filePath("PLAN.SVD"), {true, true, false})));
    EXPECT_EQ(viewer.pageCount(), 3);
    EXPECT_EQ(viewer.currentPage(), 0);
    auto* previous = viewer.findChild<QAction*>("cmdPrevious");
    auto* next = viewer.findChild<QAction*>("cmdNext");
    auto* label = viewer.findChild<QLabel*>("lblPage");
    ASSERT_TRUE(previous && next && label);
    EXPECT_FALSE(previous->isEnabled());
    EXPECT_EQ(label->text(), "Page 1 of 3");
    next->trigger();
    next->trigger();
    EXPECT_EQ(viewer.currentPage(), 2);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(label->text(), "Page 3 of 3");
    viewer.nextPage(); // stays on the last page
    EXPECT_EQ(viewer.currentPage(), 2);
    previous->trigger();
    EXPECT_EQ(viewer.currentPage(), 1);

    const qreal before = viewer.zoomFactor();
    viewer.findChild<QAction*>("cmdZoomIn")->trigger();
    EXPECT_GT(viewer.zoomFactor(), before);
    viewer.findChild<QAction*>("cmdZoomOut")->trigger();
    viewer.findChild<QAction*>("cmdZoomOut")->trigger();
    EXPECT_LT(viewer.zoomFactor(), before);
}

TEST(ViewerTest, AMissingOrBrokenDocumentIsReported) {
    QTemporaryDir dir;
    frmViewer viewer;
    EXPECT_FALSE(viewer.openDocument(dir.filePath("none.svd")));
    EXPECT_TRUE(viewer.errorText().contains("does not exist"));
    QFile broken(dir.filePath("broken.svd"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a document");
    broken.close();
    EXPECT_FALSE(viewer.openDocument(broken.fileName()));
    EXPECT_TRUE(viewer.errorText().contains("cannot be read"));
    EXPECT_EQ(viewer.pageCount(), 0);
}

TEST(ViewerTest, PrintsToThePdfEntryOfThePrinterListAndReportsAMissingQueue) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    QTemporaryDir dir;
    frmViewer viewer;
    ASSERT_TRUE(viewer.openDocument(writePdf(dir.filePath("PLAN.SVD"), {true, true, true})));
    brevant::reports::PrintTarget pdf;
    pdf.pdfPath = dir.filePath("out.pdf");
    EXPECT_EQ(viewer.printTo(pdf), "");
    EXPECT_EQ(pdfPages(pdf.pdfPath), 3);
    EXPECT_FALSE(QFile::exists(pdf.pdfPath + ".brevant-print"));
    brevant::reports::PrintTarget queue;
    queue.printer = "no-such-queue-here";
    EXPECT_FALSE(viewer.printTo(queue).isEmpty()) << "a queue that cannot print is reported";
}

TEST(ViewerInstallTest, SvdFilesInAnyCaseAreTheRegisteredSubClassOfPdf) {
    for (const char* tool : {"xdg-mime", "update-mime-database", "mimetype", "cmake"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool
                         << " is not installed (xdg-utils, shared-mime-info, "
                            "libfile-mimeinfo-perl)";
    }
    QTemporaryDir dir;
    const QString prefix = dir.filePath("prefix");
    QProcess install;
    install.start(QStringLiteral("cmake"),
                  {QStringLiteral("-DCMAKE_INSTALL_PREFIX=") + prefix, QStringLiteral("-P"),
                   QStringLiteral(BREVANT_VIEWER_INSTALL)});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QString share = prefix + "/share";
    ASSERT_TRUE(QFile::exists(share + "/mime/packages/brevant-svd.xml"));
    ASSERT_TRUE(QFile::exists(share + "/applications/brevant-viewer.desktop"));
    ASSERT_TRUE(QFile::exists(prefix + "/bin/brevant-viewer"));
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {share + "/mime"});
    ASSERT_TRUE(update.waitForFinished(60000));
    ASSERT_EQ(update.exitCode(), 0);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", share);
    env.insert("XDG_DATA_DIRS", share + ":/usr/share");
    env.remove("XDG_CURRENT_DESKTOP"); // the generic look-up, as on a bare system
    env.remove("KDE_FULL_SESSION");
    env.remove("GNOME_DESKTOP_SESSION_ID");
    for (const char* name : {"PLAN.SVD", "0100.svd", "Add01.Svd"}) {
        const QString file = writePdf(dir.filePath(QString::fromLatin1(name)), {false});
        QProcess query;
        query.setProcessEnvironment(env);
        query.start(QStringLiteral("xdg-mime"), {"query", "filetype", file});
        ASSERT_TRUE(query.waitForFinished(60000));
        EXPECT_EQ(QString::fromUtf8(query.readAllStandardOutput()).trimmed(),
                  "application/x-brevant-svd")
            << name;
    }
    QFile desktop(share + "/applications/brevant-viewer.desktop");
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    EXPECT_TRUE(desktop.readAll().contains("MimeType=application/x-brevant-svd;"));
    QFile types(share + "/mime/subclasses");
    ASSERT_TRUE(types.open(QIODevice::ReadOnly));
    EXPECT_TRUE(types.readAll().contains("application/x-brevant-svd application/pdf"));
}

} // namespace
