// One current project for the whole main window: ticking another project's check box makes it
// the current row as well as the project on screen, and Copy Project, E-Mail and removing an
// attachment all act on that project (driven through the real list with mouse clicks).
#include "../../mailcontrol/smtp/SmtpSink.h"
#include "../shell/ListClicks.h"
#include "OutputTestSupport.h"
#include "shell/ShellTestEnv.h"

#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using brevant::shell::test::ShellTestEnv;

namespace {

constexpr int Alpha = 101; // listed first (latest bid date), so current at start
constexpr int Bravo = 102;

class CurrentProjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sink_.up()) << "aiosmtpd (python3-aiosmtpd) did not start";
        const QString file = env_.createDatabase();
        QStringList sql = {
            ShellTestEnv::insertProject(Alpha, "ALPHA BRIDGE", "04/15/2027", true, false),
            ShellTestEnv::insertProject(Bravo, "BRAVO ROOF", "03/01/2027", true, false)};
        for (int job : {Alpha, Bravo}) {
            const QString folder = env_.path(QString("cache/%1/").arg(job));
            sql << QString("Insert into [Plans] ([JobID], [File], [Description], [Size], [Local]) "
                           "values (%1, 'PLAN001', 'A-101', 10, TRUE)")
                       .arg(job)
                << QString("INSERT INTO Attachments (JobID, FileName, Path, Description, Type, "
                           "Added) VALUES (%1, 'quote.doc', '%2', 'Quote', 'DOC', '1/2/2027')")
                       .arg(job)
                       .arg(folder);
            const QByteArray name = job == Alpha ? "alpha" : "bravo";
            write(QString("cache/%1/plans/PLAN.SVD").arg(job), name + " plan set");
            write(QString("cache/%1/plans/PLAN001").arg(job), name + " sheet");
            write(QString("cache/%1/quote.doc").arg(job), name + " quote");
        }
        ShellTestEnv::execute(file, sql);
        WriteSetting("SMTPSVR", "127.0.0.1");
        WriteSetting("SMTPPORT", QString::number(sink_.port()));
        WriteSetting("SMTPFROM", "estimator@example.com");
        QDir().mkpath(env_.path("media"));

        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_.path("cache");
        projects_ = w_->findChild<QTreeWidget*>("ListView1");
        ASSERT_EQ(w_->selectedJobId(), Alpha);
    }
    void TearDown() override { EXPECT_TRUE(driver_.idle()) << "a window was not shown"; }

    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(outputtest::writeFile(env_.path(name), bytes)) << name.toStdString();
    }
    QByteArray read(const QString& name) const { return outputtest::readFile(env_.path(name)); }
    int attachmentRows(int job) const {
        db::Recordset rs;
        rs.open(QString("Select count(*) AS n FROM [Attachments] WHERE [JobID] = %1").arg(job),
                *modResources::DbConnection);
        return rs.field("n").toInt();
    }

    mailvane::testing::SmtpSink sink_;
    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    outputtest::DialogDriver driver_;
    std::unique_ptr<shell::frmMain> w_;
    QTreeWidget* projects_ = nullptr;
};

} // namespace

TEST_F(CurrentProjectTest, TickingAProjectMakesItTheOneCopyMailAndRemoveActOn) {
    QTreeWidgetItem* bravo = w_->FindProjectRow(Bravo);
    shell::test::clickCheckBox(projects_, bravo);
    ASSERT_EQ(bravo->checkState(0), Qt::Checked) << "the click hit the check box";
    // The ticked project is on screen and is the list's current row: one current project.
    EXPECT_EQ(w_->findChild<QGroupBox*>("Frame1")->title(), "BRAVO ROOF");
    EXPECT_EQ(projects_->currentItem(), bravo);
    EXPECT_EQ(w_->selectedJobId(), Bravo);

    // Copy Project copies the project on screen, and only it.
    driver_.whenShown("frmCopy", [this](QWidget* form) {
        form->findChild<QLineEdit*>("Text1")->setText(env_.path("media"));
        form->findChild<QPushButton*>("Command1")->click();
        form->findChild<QPushButton*>("Command2")->click();
    });
    w_->findChild<QAction*>("mnuFile_Copy")->trigger();
    EXPECT_EQ(read(QString("media/%1/plans/PLAN.SVD").arg(Bravo)), "bravo plan set");
    EXPECT_EQ(read(QString("media/%1/quote.doc").arg(Bravo)), "bravo quote");
    EXPECT_FALSE(QFileInfo::exists(env_.path(QString("media/%1").arg(Alpha))));
    ui_.clear();

    // E-mail sends that project's title and sheets.
    QTreeWidget* plans = w_->findChild<QTreeWidget*>("ListView2");
    ASSERT_EQ(plans->topLevelItemCount(), 1);
    plans->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QStringList listed;
    driver_.whenShown("frmSelectFiles", [&](QWidget* form) {
        auto* files = form->findChild<QListWidget*>("List1");
        for (int i = 0; i < files->count(); ++i)
            listed << files->item(i)->text();
        form->findChild<QLineEdit*>("Text1")->setText("site@example.com");
        form->findChild<QPushButton*>("Command1")->click();
        form->findChild<QPushButton*>("Command4")->click();
    });
    w_->findChild<QAction*>("mnuFileEmail")->trigger();
    const QString bravoCache = env_.path(QString("cache/%1/").arg(Bravo));
    EXPECT_EQ(listed, QStringList({bravoCache + "plans/PLAN.SVD", bravoCache + "plans/PLAN001"}));
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "Email sent to server ...");
    const std::vector<std::string> report = sink_.parse();
    EXPECT_NE(std::find(report.begin(), report.end(), "Subject: BRAVO ROOF"), report.end());
    int sheetPart = 0, index = 0;
    for (const std::string& line : report) {
        if (line.rfind("part ", 0) != 0)
            continue;
        ++index;
        if (line.substr(line.rfind(' ') + 1) == "PLAN001")
            sheetPart = index;
    }
    ASSERT_NE(sheetPart, 0);
    EXPECT_EQ(sink_.partBytes(sheetPart), "bravo sheet");
    ui_.clear();

    // "Remove Selected Document" removes the listed attachment of that project only.
    QTreeWidget* attachments = w_->findChild<QTreeWidget*>("ListView5");
    ASSERT_EQ(attachments->topLevelItemCount(), 1);
    attachments->setCurrentItem(attachments->topLevelItem(0));
    ui_.answerMessage(ui::Answer::Yes);
    w_->findChild<QAction*>("mnuAttachDel")->trigger();
    EXPECT_EQ(ui_.last().text, "Are you sure you want to delete quote.doc?");
    EXPECT_FALSE(QFileInfo::exists(bravoCache + "quote.doc"));
    EXPECT_EQ(attachmentRows(Bravo), 0);
    EXPECT_EQ(read(QString("cache/%1/quote.doc").arg(Alpha)), "alpha quote");
    EXPECT_EQ(attachmentRows(Alpha), 1);
    EXPECT_EQ(attachments->topLevelItemCount(), 0);
}

TEST_F(CurrentProjectTest, AClickOnARowsTextStillMakesItCurrentAndKeepsItsTick) {
    QTreeWidgetItem* bravo = w_->FindProjectRow(Bravo);
    shell::test::clickRow(projects_, bravo);
    EXPECT_EQ(projects_->currentItem(), bravo);
    EXPECT_EQ(w_->selectedJobId(), Bravo);
    EXPECT_EQ(bravo->checkState(0), Qt::Unchecked);
    // Ticking the first project again brings it back on screen with its own attachment.
    QTreeWidgetItem* alpha = w_->FindProjectRow(Alpha);
    shell::test::clickCheckBox(projects_, alpha);
    EXPECT_EQ(alpha->checkState(0), Qt::Checked);
    EXPECT_EQ(w_->selectedJobId(), Alpha);
    EXPECT_EQ(w_->findChild<QGroupBox*>("Frame1")->title(), "ALPHA BRIDGE");
}
