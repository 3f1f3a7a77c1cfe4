// The Copy Project window: the project's cache folder copied whole beside its full report,
// driven through the window's controls with the dialogs answered by the test.
#include "OutputTestSupport.h"
#include "shell/ShellTestEnv.h"

#include "base/modResources.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/ProjectCopy.h"
#include "reports/frmCopy.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using brevant::shell::test::ShellTestEnv;

namespace {

class ProjectCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString file = env_.createDatabase();
        ShellTestEnv::execute(
            file, {ShellTestEnv::insertProject(101, "ALPHA BRIDGE", "04/15/2027", true, false),
                   ShellTestEnv::insertProject(102, "BRAVO ROOF", "03/01/2027", true, false)});
        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_.path("cache");
        write("cache/101/PLANS/PLAN001.TIF", QByteArray("plan\0page", 9));
        write("cache/101/PLANS/PLAN.SVD", "plan set");
        write("cache/101/SPECS/0100.SVD", "section");
        write("cache/101/quote.doc", "attached");
        QDir().mkpath(env_.path("media"));
    }
    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(outputtest::writeFile(env_.path(name), bytes)) << name.toStdString();
    }
    static QByteArray read(const QString& path) { return outputtest::readFile(path); }
    // Types the location and presses CO&PY in a copy window of the project.
    void copy(reports::frmCopy& form, const QString& location) {
        form.findChild<QLineEdit*>("Text1")->setText(location);
        form.findChild<QPushButton*>("Command1")->click();
    }
    void expectCopied(const QString& root) {
        EXPECT_EQ(read(root + "/101/PLANS/PLAN001.TIF"), QByteArray("plan\0page", 9));
        EXPECT_EQ(read(root + "/101/PLANS/PLAN.SVD"), "plan set");
        EXPECT_EQ(read(root + "/101/SPECS/0100.SVD"), "section");
        EXPECT_EQ(read(root + "/101/quote.doc"), "attached");
        EXPECT_TRUE(read(root + "/101/101.rtf").startsWith("{\\rtf"));
    }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    std::unique_ptr<shell::frmMain> w_;
};

} // namespace

TEST_F(ProjectCopyTest, TrailingSlashOrNotGivesTheSameDestinationAndAMissingFolderIsMade) {
    reports::frmCopy form(101);
    copy(form, env_.path("media/usb/"));
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "Project copied successfully ...");
    EXPECT_EQ(ui_.last().title, "System Message");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Information);
    expectCopied(env_.path("media/usb"));
    EXPECT_EQ(form.findChild<QLineEdit*>("Text1")->text(), env_.path("media/usb"));
    EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), "");
    EXPECT_FALSE(form.copying());

    copy(form, env_.path("media/usb"));
    EXPECT_EQ(ui_.last().text, "Project copied successfully ...");
    EXPECT_EQ(QDir(env_.path("media/usb")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"101"})
        << "no second folder";
    QStringList names = QDir(env_.path("media/usb/101"))
                            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    EXPECT_EQ(names, QStringList({"101.rtf", "PLANS", "SPECS", "quote.doc"}))
        << "no temporary file left";
}

TEST_F(ProjectCopyTest, CopyingTwiceOverwritesTheFilesAndRewritesTheReport) {
    reports::frmCopy form(101);
    copy(form, env_.path("media"));
    EXPECT_TRUE(read(env_.path("media/101/101.rtf")).contains("ALPHA BRIDGE"));
    write("cache/101/SPECS/0100.SVD", "revised");
    modResources::DbConnection->execute(
        "Update [Projects] Set [Name] = 'ALPHA BRIDGE REBID' where [Job_ID] = 101");
    copy(form, env_.path("media"));
    EXPECT_EQ(ui_.last().text, "Project copied successfully ...");
    EXPECT_EQ(read(env_.path("media/101/SPECS/0100.SVD")), "revised");
    EXPECT_TRUE(read(env_.path("media/101/101.rtf")).contains("ALPHA BRIDGE REBID"));
}

TEST_F(ProjectCopyTest, NothingToCopyWithoutACacheFolderAndNothingIsCreated) {
    reports::frmCopy form(102);
    copy(form, env_.path("media/new"));
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "Nothing to copy for this project ...");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Exclamation);
    EXPECT_EQ(ui_.last().title, "System Message");
    EXPECT_FALSE(QFileInfo::exists(env_.path("media/new")));
}

TEST_F(ProjectCopyTest, FailuresAreReportedWithTheirReasonAndTheWindowCanClose) {
    reports::frmCopy form(101);
    form.show();
    copy(form, env_.path("media/no/such/parent"));
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().title, "System Error");
    EXPECT_TRUE(ui_.last().text.contains(env_.path("media/no/such/parent")));
    EXPECT_TRUE(ui_.last().text.contains("No such file or directory"))
        << ui_.last().text.toStdString();
    EXPECT_FALSE(form.copying());
    EXPECT_FALSE(QFileInfo::exists(env_.path("media/no")));

    // A destination inside the project's own cache folder would copy into itself.
    copy(form, env_.path("cache/101/SPECS"));
    EXPECT_TRUE(ui_.last().text.startsWith("The copy location is inside this project's own "
                                           "cache folder"));
    EXPECT_FALSE(QFileInfo::exists(env_.path("cache/101/SPECS/101")));
    copy(form, env_.path("cache/"));
    EXPECT_TRUE(ui_.last().text.startsWith("The copy location is inside"));

    form.findChild<QPushButton*>("Command2")->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ProjectCopyTest, TheWindowRefusesToCloseWhileCopying) {
    for (int i = 0; i < 20; ++i)
        write(QString("cache/101/SPECS/%1.tif").arg(i, 4, 10, QLatin1Char('0')), "page");
    reports::frmCopy form(101);
    form.show();
    bool visibleAfterClose = false;
    // Fires from the event loop the copy yields to between files.
    QTimer::singleShot(0, &form, [&] {
        ASSERT_TRUE(form.copying());
        form.findChild<QPushButton*>("Command2")->click();
        visibleAfterClose = form.isVisible();
    });
    copy(form, env_.path("media"));
    EXPECT_TRUE(visibleAfterClose);
    ASSERT_GE(ui_.shown().size(), 2);
    EXPECT_EQ(ui_.shown()[0].text, "Cannot close while copying project ...");
    EXPECT_EQ(ui_.shown()[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(ui_.last().text, "Project copied successfully ...");
    EXPECT_EQ(read(env_.path("media/101/SPECS/0019.tif")), "page");
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ProjectCopyTest, TheFileMenuOpensTheWindowForTheSelectedProject) {
    auto* list = w_->findChild<QTreeWidget*>("ListView1");
    list->setCurrentItem(w_->FindProjectRow(101));
    ui_.answerPath(env_.path("media/picked"));
    QDir().mkpath(env_.path("media/picked"));
    outputtest::DialogDriver driver;
    driver.whenShown("frmCopy", [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Copy Project");
        w->findChild<QPushButton*>("Command3")->click(); // the folder picker
        w->findChild<QPushButton*>("Command1")->click();
        w->findChild<QPushButton*>("Command2")->click();
    });
    w_->findChild<QAction*>("mnuFile_Copy")->trigger();
    EXPECT_TRUE(driver.idle());
    ASSERT_EQ(ui_.shown().size(), 2);
    EXPECT_EQ(ui_.shown()[0].kind, "pickFolder");
    EXPECT_EQ(ui_.shown()[0].title, "Choose Copy Location");
    EXPECT_EQ(ui_.last().text, "Project copied successfully ...");
    expectCopied(env_.path("media/picked"));
}

TEST_F(ProjectCopyTest, LibreOfficeOpensTheCopiedReport) {
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed (libreoffice-writer-nogui)";
    reports::frmCopy form(101);
    copy(form, env_.path("media"));
    const QString out = env_.path("lo");
    QDir().mkpath(out);
    const QString converted = outputtest::run(
        "soffice", {"-env:UserInstallation=file://" + out + "/profile", "--headless", "--norestore",
                    "--convert-to", "pdf", "--outdir", out, env_.path("media/101/101.rtf")});
    EXPECT_TRUE(outputtest::pdfText(out + "/101.pdf").contains("ALPHA BRIDGE"))
        << converted.toStdString();
}
