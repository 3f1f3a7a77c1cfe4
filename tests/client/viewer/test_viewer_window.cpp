// The viewer's window driven with keys and the mouse: the page box, the zoom shown, fitting and
// rotating, closing and quitting keys, the remembered size and place, the sheet list read from
// the project store with the identity of what is shown, the command line, and printing that
// passes the sheets on as drawings at their own size.
#include "ViewedDocument.h"
#include "ViewerCommandLine.h"
#include "ViewerTestSupport.h"
#include "base/ProgramFolders.h"
#include "documents/PlanSheets.h"
#include "frmViewer.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/frmPrinter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using brevant::viewer::frmViewer;
using brevant::viewer::PageView;
using brevant::viewer::ViewedDocument;

namespace {

QString run(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(60000);
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ViewerWindow : public ::testing::Test {
protected:
    void showActive(frmViewer& w) {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    template <class T> static T* child(QWidget& w, const char* name) {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir dir_;
};

TEST_F(ViewerWindow, ThePageBoxGoesToATypedPageAndKeepsTheShownOneForANumberBeyond) {
    frmViewer w;
    ASSERT_TRUE(w.openDocument(
        viewer::test::writePdf(dir_.filePath("a.svd"), {true, true, true, false, false})));
    showActive(w);
    auto* box = child<QLineEdit>(w, "txtPage");
    auto* of = child<QLabel>(w, "lblPageCount");
    auto* status = child<QLabel>(w, "lblPage");
    EXPECT_EQ(box->text(), "1");
    EXPECT_EQ(of->text(), "of 5");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "4");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.currentPage(), 3);
    EXPECT_EQ(status->text(), "Page 4 of 5");
    EXPECT_EQ(box->text(), "4");
    box->selectAll();
    QTest::keyClicks(box, "9");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.currentPage(), 3);
    EXPECT_EQ(box->text(), "4") << "the page shown comes back";
    // "-" typed into the box stays text there: it is no zoom.
    const qreal zoom = w.zoomFactor();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(w.zoomFactor(), zoom);
    QTest::keyClick(&w, Qt::Key_PageDown);
    EXPECT_EQ(w.currentPage(), 4);
    EXPECT_EQ(box->text(), "5");
}

TEST_F(ViewerWindow, ZoomFitAndRotateShowTheirStateAndTheKeysWork) {
    frmViewer w;
    ASSERT_TRUE(w.openDocument(viewer::test::writePdf(dir_.filePath("a.svd"), {true, false})));
    showActive(w);
    PageView* view = w.pageView();
    auto* zoom = child<QLabel>(w, "lblZoom");
    EXPECT_EQ(view->fit(), PageView::Fit::Page) << "a document opens whole";
    EXPECT_EQ(zoom->text(), QString("%1%").arg(qRound(view->zoom() * 100)));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Plus);
    const qreal zoomed = view->zoom();
    EXPECT_EQ(zoom->text(), QString("%1%").arg(qRound(zoomed * 100)));
    QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(view->zoom(), zoomed);
    EXPECT_EQ(zoom->text(), QString("%1%").arg(qRound(view->zoom() * 100)));

    w.findChild<QAction*>("cmdFitWidth")->trigger();
    QCoreApplication::processEvents(); // the scroll bar the fitted page needs is laid out
    EXPECT_EQ(view->fit(), PageView::Fit::Width);
    EXPECT_NEAR(view->pageRectInViewport().width(),
                view->viewport()->width() - 2 * PageView::Margin, 1.0);
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(view->rotation(), 90);
    QCoreApplication::processEvents();
    EXPECT_NEAR(view->pageRectInViewport().width(),
                view->viewport()->width() - 2 * PageView::Margin, 1.0)
        << "the turned page fits the width again";
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(view->rotation(), 270);
    w.findChild<QAction*>("cmdFitPage")->trigger();
    EXPECT_TRUE(QRectF(view->viewport()->rect()).contains(view->pageRectInViewport()));
}

TEST_F(ViewerWindow, EscapeAndCtrlWCloseCtrlQQuitsAndTheSizeAndPlaceAreRemembered) {
    const QRect placed(140, 90, 820, 610);
    {
        frmViewer w;
        showActive(w);
        w.setGeometry(placed);
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    }
    {
        frmViewer w;
        EXPECT_EQ(w.geometry().size(), placed.size()) << "remembered from the last run";
        EXPECT_EQ(w.geometry().topLeft(), placed.topLeft());
        showActive(w);
        w.resize(700, 500);
        QTest::keyClick(&w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_FALSE(w.isVisible());
    }
    frmViewer w;
    EXPECT_EQ(w.geometry().size(), QSize(700, 500));
    int quits = 0;
    w.setQuitAction([&] { ++quits; });
    showActive(w);
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
}

TEST_F(ViewerWindow, TheSheetListComesFromTheStoreAndAClickShowsTheSheetsPage) {
    // The client's store, where the settings of this run place it, with the project's sheets
    // in the order they were added; the cache holds the set as <cache>/<job>/PLANS/PLAN.SVD.
    QDir().mkpath(base::StoreFolder());
    const QString store = base::StoreFolder() + "/Desktop.mdb";
    QFile::remove(store);
    db::createDesktopDatabase(store);
    {
        db::Connection c;
        c.open(store);
        for (const char* sheet : {"PLAN10", "PLAN2", "plan1"})
            c.execute(QString("INSERT INTO Plans (JobID, File, Description) VALUES (4711, '%1', "
                              "'Sheet %1')")
                          .arg(QLatin1String(sheet)));
        c.execute("INSERT INTO Plans (JobID, File, Description) VALUES (4712, 'OTHER', 'x')");
    }
    QDir().mkpath(dir_.filePath("cache/4711/PLANS"));
    const QString set = viewer::test::writePdf(dir_.filePath("cache/4711/PLANS/PLAN.SVD"),
                                               {true, true, true, true});
    frmViewer w;
    QSignalSpy shown(&w, &frmViewer::viewedDocumentChanged);
    ASSERT_TRUE(w.openDocument(set));
    showActive(w);
    auto* sheets = child<QListWidget>(w, "lstSheets");
    ASSERT_EQ(sheets->count(), 3);
    EXPECT_EQ(sheets->item(0)->text(), "plan1  Sheet plan1");
    EXPECT_EQ(sheets->item(1)->text(), "PLAN2  Sheet PLAN2");
    EXPECT_EQ(sheets->item(2)->text(), "PLAN10  Sheet PLAN10");
    EXPECT_EQ(child<QListWidget>(w, "lstThumbnails")->count(), 4) << "a thumbnail per page";

    shown.clear();
    QTest::mouseClick(sheets->viewport(), Qt::LeftButton, {},
                      sheets->visualItemRect(sheets->item(1)).center());
    EXPECT_EQ(w.currentPage(), 2) << "PLAN2 is on the third page, after the title page";
    const ViewedDocument expected{4711, "PLANS/PLAN.SVD", 2, set};
    EXPECT_EQ(w.viewedDocument(), expected);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last().at(0).value<ViewedDocument>(), expected);
    QListWidget* pages = child<QListWidget>(w, "lstThumbnails");
    QTest::mouseClick(pages->viewport(), Qt::LeftButton, {},
                      pages->visualItemRect(pages->item(3)).center());
    EXPECT_EQ(w.currentPage(), 3);
    EXPECT_EQ(sheets->currentRow(), 2) << "the sheet shown is marked in the list";

    // --job names the project of a set kept elsewhere; a file elsewhere without it has none
    // and no sheet list.
    const QString copy = dir_.filePath("PLAN.SVD");
    ASSERT_TRUE(QFile::copy(set, copy));
    ASSERT_TRUE(w.openDocument(copy, 4711));
    EXPECT_EQ(w.viewedDocument().jobId, 4711);
    EXPECT_EQ(sheets->count(), 3);
    ASSERT_TRUE(w.openDocument(copy));
    EXPECT_EQ(w.viewedDocument().jobId, 0);
    EXPECT_EQ(sheets->count(), 0);
}

TEST(ViewedDocumentTest, TheProjectAndDocumentComeFromTheCachePlaceOrFromJob) {
    using viewer::IdentifyDocument;
    EXPECT_EQ(IdentifyDocument("/c/4711/PLANS/PLAN.SVD").jobId, 4711);
    EXPECT_EQ(IdentifyDocument("/c/4711/PLANS/PLAN.SVD").document, "PLANS/PLAN.SVD");
    EXPECT_TRUE(IdentifyDocument("/c/4711/plans/plan.svd").isPlanSet());
    EXPECT_EQ(IdentifyDocument("/c/88/specs/03300.svd").document, "SPECS/03300.SVD");
    EXPECT_EQ(IdentifyDocument("/c/88/specs/03300.svd").jobId, 88);
    EXPECT_EQ(IdentifyDocument("/c/88/specs/03300.svd", 90).jobId, 90) << "--job wins";
    EXPECT_EQ(IdentifyDocument("/tmp/mail/PLAN.SVD").jobId, 0);
    EXPECT_EQ(IdentifyDocument("/tmp/mail/PLAN.SVD").document, "PLAN.SVD");
    EXPECT_FALSE(IdentifyDocument("/tmp/mail/PLAN.SVD").isPlanSet());
    EXPECT_EQ(IdentifyDocument("/c/x12/PLANS/PLAN.SVD").jobId, 0) << "not a project folder";
    EXPECT_EQ(IdentifyDocument("/c/-3/PLANS/PLAN.SVD").jobId, 0);
    EXPECT_EQ(IdentifyDocument("/elsewhere/PLANS/PLAN.SVD", 5).document, "PLANS/PLAN.SVD");
    EXPECT_EQ(IdentifyDocument("/mail/plan.svd", 5).document, "PLANS/PLAN.SVD");
    EXPECT_EQ(IdentifyDocument("/mail/add01.svd", 5).document, "SPECS/ADD01.SVD");
}

TEST(ViewerCommandLineTest, JobFilePageAndTheRealProgramWithoutADisplay) {
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    viewer::ViewerOptions o;
    EXPECT_EQ(viewer::HandleViewerCommandLine(
                  {"brevant-viewer", "--job", "12", "--", "-x.svd", "3"}, out, err, &o),
              std::nullopt);
    EXPECT_EQ(o.jobId, 12);
    EXPECT_EQ(o.file, "-x.svd");
    EXPECT_EQ(o.page, 3);
    for (const char* bad : {"0", "x", "-4"}) {
        errText.clear();
        EXPECT_EQ(viewer::HandleViewerCommandLine({"brevant-viewer", "--job", bad, "a.svd"}, out,
                                                  err, &o),
                  2)
            << bad;
        err.flush();
        EXPECT_TRUE(errText.contains("--job")) << errText.toStdString();
    }

    // The program itself answers --help and --version, and refuses a wrong --job, with no
    // window system at all.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    auto runBare = [&](const QStringList& arguments, int* code) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(BREVANT_VIEWER_EXE), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        *code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    };
    int code = -1;
    EXPECT_TRUE(runBare({"--help"}, &code).contains("--job"));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(runBare({"--version"}, &code).startsWith("Brevant Document Viewer"));
    EXPECT_EQ(code, 0);
    runBare({"--job", "none", "a.svd"}, &code);
    EXPECT_EQ(code, 2);
}

TEST_F(ViewerWindow, PrintingPassesTheSheetsOnAsDrawingsAtTheirOwnSize) {
    for (const char* tool : {"pdfinfo", "pdfimages"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " (poppler-utils) is not installed";
    }
    // Tabloid sheets across, and a letter page along.
    const QString set = viewer::test::writeSizedPdf(
        dir_.filePath("PLAN.SVD"), {{1224, 792}, {1224, 792}, {1224, 792}, {612, 792}});
    frmViewer w;
    ASSERT_TRUE(w.openDocument(set));

    // Through the printing window: its PDF entry, at actual size.
    ui::ScriptedUi scripted;
    ui::Ui* previous = ui::install(&scripted);
    const QString out = dir_.filePath("printed.pdf");
    scripted.answerPath(out);
    std::vector<reports::PageScaling> asked;
    reports::frmPrinter printer(
        [&](const reports::PrintTarget& target) {
            asked.push_back(target.scaling);
            return w.printTo(target);
        },
        "PLAN.pdf");
    printer.offerPageScaling(reports::PageScaling::ActualSize);
    EXPECT_TRUE(child<QRadioButton>(printer, "optActualSize")->isChecked());
    auto* list = child<QTreeWidget>(printer, "ListView1");
    list->setCurrentItem(list->topLevelItem(list->topLevelItemCount() - 1)); // the PDF entry
    printer.Command1_Click();
    ui::install(previous);
    ASSERT_EQ(asked, std::vector<reports::PageScaling>{reports::PageScaling::ActualSize});

    int code = -1;
    const QString info = run("pdfinfo", {"-f", "1", "-l", "4", out}, &code);
    ASSERT_EQ(code, 0) << "the printed file is a whole PDF";
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+4")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+1 size:\\s+1224 x 792 pts")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+4 size:\\s+612 x 792 pts")))
        << info.toStdString();
    // No page became a picture: pdfimages lists nothing below its two header lines.
    const QStringList images =
        run("pdfimages", {"-list", out}, &code).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join('\n').toStdString();
    EXPECT_LE(QFileInfo(out).size(), QFileInfo(set).size() + 1024);
    EXPECT_FALSE(QFileInfo::exists(out + ".brevant-print"));

    // Fit to page is what a queue gets asked for when chosen; a missing queue is reported.
    reports::PrintTarget queue;
    queue.printer = "no-such-queue-here";
    queue.scaling = reports::PageScaling::FitToPage;
    EXPECT_FALSE(w.printTo(queue).isEmpty());
}

} // namespace
