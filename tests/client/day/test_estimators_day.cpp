// An estimator's day in the real main window on a real X server (run under xvfb-run): search
// the service and import, check for updates, download a plan sheet and open it, attach a file
// of one's own and open it, print the summary into a PDF file, copy a report, and mail the sheet to
// an SMTP peer. The program's own dialogs are the real ones (QtUi: QMessageBox, QFileDialog),
// answered as a user would; the walk fails if any warning or error box appears on the way.
#include "../../mailcontrol/smtp/SmtpSink.h"
#include "../../support/RecordingOpener.h"
#include "reports/OutputTestSupport.h"
#include "server/SearchDriver.h"

#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/ui/QtUi.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <optional>

using namespace brevant;
using brevant::server::test::ExchangeTestEnv;
using brevant::server::test::waitUntil;

namespace {

constexpr int IconRole = Qt::UserRole + 1;
constexpr int CachedIcon = 2;

// Answers the program's message boxes and file dialogs while they are up, from a timer of its
// own: information is acknowledged, questions get "Yes", a save dialog gets the file the test
// chose. Warning and error boxes are recorded (and closed) so the walk can fail on them.
class ModalAnswers {
public:
    ModalAnswers() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    void saveAs(const QString& path) { savePath_ = path; }
    QStringList errors;
    QStringList notices;

private:
    void poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                const QString line = box->windowTitle() + ": " + box->text();
                const bool failure =
                    box->icon() == QMessageBox::Warning || box->icon() == QMessageBox::Critical;
                (failure ? errors : notices) << line;
                QAbstractButton* answer = box->button(QMessageBox::Yes);
                if (!answer)
                    answer = box->button(QMessageBox::Ok);
                if (!answer)
                    answer = box->escapeButton();
                if (answer)
                    answer->click();
                else
                    box->reject();
                return;
            }
            if (auto* files = qobject_cast<QFileDialog*>(w)) {
                if (savePath_.isEmpty()) {
                    errors << "an unexpected file dialog: " + files->windowTitle();
                    files->reject();
                } else {
                    files->selectFile(savePath_);
                    static_cast<QDialog*>(files)->accept(); // the dialog's own Save
                }
                return;
            }
        }
    }
    QTimer timer_;
    QString savePath_;
};

class EstimatorsDay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run this test under xvfb-run";
        ASSERT_TRUE(sink_.up()) << "aiosmtpd (python3-aiosmtpd) did not start";
        // The widget file dialog, which a test can fill in, whatever desktop is configured.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        env_ = std::make_unique<ExchangeTestEnv>();
        ASSERT_TRUE(env_->service.started()) << env_->service.errorText().toStdString();
        env_->createDatabase();
        const QString bin = env_->path("bin");
        opener_.emplace(bin, env_->path("opened"), QStringLiteral("$1"));
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ":" + oldPath_);
        WriteSetting("SMTPSVR", "127.0.0.1");
        WriteSetting("SMTPPORT", QString::number(sink_.port()));
        WriteSetting("SMTPFROM", "estimator@example.com");
        qtUi_ = std::make_unique<ui::ScopedQtUi>();

        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_->path("cache");
        QDir().mkpath(modResources::CacheLocation);
        w_->resize(1200, 860);
        w_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w_.get()));
    }
    void TearDown() override {
        w_.reset();
        qtUi_.reset();
        if (env_)
            qputenv("PATH", oldPath_);
        env_.reset();
    }

    void trigger(const char* name) {
        QAction* a = w_->findChild<QAction*>(name);
        ASSERT_TRUE(a) << name;
        a->trigger();
    }
    QTreeWidget* list(const char* name) { return w_->findChild<QTreeWidget*>(name); }
    int serviceRequests(const QString& kind) const {
        return int(env_->service.stderrText().count(" " + kind + " user="));
    }

    mailvane::testing::SmtpSink sink_;
    std::unique_ptr<ExchangeTestEnv> env_;
    std::optional<test::RecordingOpener> opener_;
    QByteArray oldPath_;
    std::unique_ptr<ui::ScopedQtUi> qtUi_;
    ModalAnswers answers_;
    outputtest::DialogDriver driver_;
    std::unique_ptr<shell::frmMain> w_;
};

TEST_F(EstimatorsDay, FromSearchToMailWithoutAnErrorBox) {
    QTreeWidget* projects = list("ListView1");
    QTreeWidget* plans = list("ListView2");

    // Morning: search the service for this year's bids and import the first three offered.
    QList<int> imported;
    driver_.whenShown("frmFind", [](QWidget* find) {
        find->findChild<QLineEdit*>("txtBidDate_0")->setText("1/1/2027");
        find->findChild<QLineEdit*>("txtBidDate_1")->setText("12/31/2027");
        // Clicked from the event loop, so the import dialog's turn can come while it runs.
        QTimer::singleShot(0, find->findChild<QPushButton*>("Command1"), &QPushButton::click);
    });
    driver_.whenShown("frmTrack", [&](QWidget* w) {
        auto& track = static_cast<server::frmTrack&>(*w);
        QTreeWidget* offered = server::test::listOf(track);
        for (int i = 0; i < std::min(3, offered->topLevelItemCount()); ++i) {
            offered->topLevelItem(i)->setCheckState(0, Qt::Checked);
            imported << offered->topLevelItem(i)->data(0, Qt::UserRole).toInt();
        }
        track.findChild<QPushButton*>("Command1")->click();
        waitUntil([&] { return !track.Busy; }, 120000);
        track.close();
    });
    driver_.whenShown("frmFind", [](QWidget* w) {
        auto& find = static_cast<server::frmFind&>(*w);
        waitUntil([&] { return !find.Busy; }, 120000);
        find.close();
    });
    trigger("mnuFile_Find");
    ASSERT_TRUE(driver_.idle()) << "the search or the import dialog never showed";
    ASSERT_EQ(imported.size(), 3);
    ASSERT_EQ(projects->topLevelItemCount(), 3) << answers_.notices.join('|').toStdString();

    // Check the imported projects for updates.
    const int updatesBefore = serviceRequests("update");
    for (int id : imported)
        w_->FindProjectRow(id)->setCheckState(0, Qt::Checked);
    trigger("mnuList_Update");
    ASSERT_TRUE(waitUntil(
        [&] { return serviceRequests("update") > updatesBefore && !w_->UpdateBusy; }, 120000));

    // A project with plan sheets: download the first sheet, then open it.
    int job = 0;
    for (int id : imported) {
        projects->setCurrentItem(w_->FindProjectRow(id));
        if (plans->topLevelItemCount() > 0) {
            job = id;
            break;
        }
    }
    ASSERT_NE(job, 0) << "no imported project has plan sheets";
    QTreeWidgetItem* sheet = plans->topLevelItem(0);
    const QString sheetTag = sheet->data(0, Qt::UserRole).toString();
    sheet->setCheckState(0, Qt::Checked);
    const int documentsBefore = serviceRequests("documents");
    trigger("mnuPlansDownSel");
    ASSERT_TRUE(waitUntil(
        [&] {
            return serviceRequests("documents") > documentsBefore && !w_->DocumentsBusy &&
                   !w_->Wirelet2->active() && !w_->Wirelet3->active();
        },
        120000));
    sheet = plans->topLevelItem(0);
    ASSERT_EQ(sheet->data(0, IconRole).toInt(), CachedIcon) << "the sheet is not in the cache";
    Q_EMIT plans->itemDoubleClicked(sheet, 0);
    const QStringList opened = opener_->waitFor(1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains(QString::number(job))) << opened[0].toStdString();

    // Attach a site-visit note of one's own to the project, then open it from its list.
    const QString note = env_->path("site-visit.txt");
    {
        QFile f(note);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Gate code 4417; loading dock on the north side.\n");
    }
    answers_.saveAs(note);
    driver_.whenShown("frmAttach", [](QWidget* w) {
        w->findChild<QLineEdit*>("Text1")->setText("Site visit");
        w->findChild<QPushButton*>("OKButton")->click();
    });
    trigger("mnuAttachAdd");
    EXPECT_TRUE(driver_.idle());
    auto* attachments = list("ListView5");
    ASSERT_EQ(attachments->topLevelItemCount(), 1) << answers_.notices.join('|').toStdString();
    EXPECT_EQ(attachments->topLevelItem(0)->text(0), "site-visit.txt");
    EXPECT_EQ(attachments->topLevelItem(0)->text(1), "Site visit");
    attachments->setCurrentItem(attachments->topLevelItem(0));
    trigger("mnuAttachOpen");
    const QStringList openedNote = opener_->waitFor(2);
    ASSERT_EQ(openedNote.size(), 2);
    EXPECT_TRUE(openedNote[1].endsWith("site-visit.txt")) << openedNote[1].toStdString();

    // Print the project's summary into a PDF file.
    const QString title = projects->currentItem()->text(1);
    const QString pdf = env_->path("summary.pdf");
    answers_.saveAs(pdf);
    driver_.whenShown("frmPrinter", [](QWidget* w) {
        auto* printers = w->findChild<QTreeWidget*>("ListView1");
        printers->setCurrentItem(printers->findItems("PDF file", Qt::MatchExactly, 0).value(0));
        w->findChild<QPushButton*>("Command1")->click();
    });
    w_->findChild<QPushButton*>("Command2")->click();
    EXPECT_TRUE(driver_.idle());
    EXPECT_TRUE(outputtest::pdfText(pdf).contains(title.simplified())) << title.toStdString();

    // Copy the Details report's text for a bid form.
    auto* tabs = w_->findChild<QTabWidget*>("SSTab1");
    auto* summary = w_->findChild<QTextEdit*>("Summary");
    tabs->setCurrentWidget(summary);
    summary->selectAll();
    QGuiApplication::clipboard()->clear();
    trigger("mnuCPY_Copy");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(title)) << title.toStdString();

    // Mail the downloaded sheet to a colleague.
    plans->topLevelItem(0)->setCheckState(0, Qt::Checked);
    driver_.whenShown("frmSelectFiles", [](QWidget* w) {
        w->findChild<QLineEdit*>("Text1")->setText("bids@example.com");
        w->findChild<QPushButton*>("Command1")->click();
        w->findChild<QPushButton*>("Command4")->click();
    });
    trigger("mnuFileEmail");
    EXPECT_TRUE(driver_.idle());
    const std::string mail = sink_.stored(1);
    EXPECT_NE(mail.find("bids@example.com"), std::string::npos) << mail.substr(0, 400);
    EXPECT_NE(mail.find(sheetTag.toStdString()), std::string::npos) << "the sheet is attached";
    EXPECT_TRUE(answers_.notices.contains("System Message: Email sent to server ..."))
        << answers_.notices.join('|').toStdString();

    EXPECT_TRUE(answers_.errors.isEmpty()) << answers_.errors.join("\n").toStdString();
}

// The walk's own check: a warning box shown through the program's dialogs is caught.
TEST_F(EstimatorsDay, AWarningOrErrorBoxOnTheWayIsCaught) {
    ui::message("Nothing to copy for this project ...", ui::Buttons::Ok, ui::Icon::Exclamation,
                "System Message");
    ui::message("Printing failed - no printer ...", ui::Buttons::Ok, ui::Icon::Critical,
                "System Error");
    ui::message("Email sent to server ...", ui::Buttons::Ok, ui::Icon::Information,
                "System Message");
    EXPECT_EQ(answers_.errors, QStringList({"System Message: Nothing to copy for this project ...",
                                            "System Error: Printing failed - no printer ..."}));
    EXPECT_EQ(answers_.notices, QStringList({"System Message: Email sent to server ..."}));
}

} // namespace
