// Attachments, assignments and the job listing report driven through the main window's menus,
// its attachment list and drops, with the dialogs answered while they are shown.
#include "../../support/RecordingOpener.h"
#include "OpenedAttachment.h"
#include "shell/ShellTestEnv.h"

#include "base/ImageIndexes.h"
#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/db/Recordset.h"
#include "platform/ui/QtUiImageList.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::columnTexts;
using brevant::shell::test::ShellTestEnv;

namespace {

class AttachMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const QString db = env_.createDatabase();
        ShellTestEnv::execute(
            db, {ShellTestEnv::insertProject(101, "BRIDGE DECK", "04/15/2027", true, false),
                 ShellTestEnv::insertProject(102, "ARMORY ROOF", "03/01/2027", true, false),
                 ShellTestEnv::insertProject(103, "CITY HALL", "02/01/2027", true, false)});
        w_ = std::make_unique<frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_.path("cache");
        list1_ = w_->findChild<QTreeWidget*>("ListView1");
        list5_ = w_->findChild<QTreeWidget*>("ListView5");
        QDir().mkpath(env_.path("desk"));
        ui_.clear();
    }
    void TearDown() override {
        if (path_)
            qputenv("PATH", *path_);
        poll_.reset();
        EXPECT_TRUE(answers_.isEmpty()) << "a dialog that was to be answered was not shown";
        w_.reset();
    }

    void select(int jobId) { list1_->setCurrentItem(w_->FindProjectRow(jobId)); }
    void trigger(const char* action) {
        QAction* a = w_->findChild<QAction*>(action);
        ASSERT_TRUE(a) << action;
        a->trigger();
    }
    // Answers the text-entry dialogs (found by name) with the texts, one per dialog shown, in
    // order; the timer belongs to the test, so nothing outlives it.
    void answerDialog(const QString& name, const QString& text) {
        answers_.append({name, text});
        if (!poll_) {
            poll_ = std::make_unique<QTimer>();
            poll_->setInterval(5);
            QObject::connect(poll_.get(), &QTimer::timeout, [this] {
                if (answers_.isEmpty())
                    return;
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->objectName() == answers_.first().first && w->isVisible()) {
                        const QString t = answers_.takeFirst().second;
                        w->findChild<QLineEdit*>("Text1")->setText(t);
                        w->findChild<QPushButton*>("OKButton")->click();
                        return;
                    }
                }
            });
            poll_->start();
        }
    }
    QString desk(const QString& name, const QByteArray& content) {
        const QString path = env_.path("desk/" + name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    // Puts a stand-in for xdg-open first on PATH (until the test ends) that records each file
    // it is asked to open.
    const brevant::test::RecordingOpener& installOpener() {
        opener_.emplace(env_.path("bin"), env_.path("opened"), "$*");
        path_ = qgetenv("PATH");
        qputenv("PATH", (env_.path("bin") + ":").toUtf8() + *path_);
        return *opener_;
    }
    QVariant stored(const QString& sql) const {
        db::Recordset rs;
        rs.open(sql, *modResources::DbConnection);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    std::unique_ptr<frmMain> w_;
    std::unique_ptr<QTimer> poll_;
    QList<QPair<QString, QString>> answers_;
    std::optional<QByteArray> path_;
    std::optional<brevant::test::RecordingOpener> opener_;
    QTreeWidget* list1_ = nullptr;
    QTreeWidget* list5_ = nullptr;
};

} // namespace

TEST_F(AttachMainWindow, AttachTwiceRemoveAndReloadOnSelection) {
    select(101);
    ui_.answerPath(desk("bid.doc", "one"));
    answerDialog("frmAttach", "Mike's bid");
    trigger("mnuAttachAdd");
    ui_.answerPath(desk("bid.doc", "two"));
    answerDialog("frmAttach", "");
    trigger("mnuAttachAdd");
    EXPECT_EQ(columnTexts(list5_, 0), QStringList({"bid.doc", "bid.doc"}));
    EXPECT_EQ(columnTexts(list5_, 1), QStringList({"", "Mike's bid"}));
    EXPECT_EQ(columnTexts(list5_, 2).first(), QDate::currentDate().toString("MM/dd/yyyy"));
    // Opened as the program registered for it: on a firm store from this PC's cache, fetched
    // again when it is gone.
    QDir(env_.path("cache/Attachments")).removeRecursively();
    const auto& opener = installOpener();
    list5_->setCurrentItem(list5_->topLevelItem(1));
    trigger("mnuAttachOpen");
    const QStringList openedFiles = opener.waitFor(1);
    ASSERT_EQ(openedFiles.size(), 1);
    QFile copy(openedFiles.front());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "two");
    copy.close();
    EXPECT_EQ(openedFiles.front(), teststore::openedAttachment(*modResources::DbConnection,
                                                               env_.path("cache"), 101, "bid.doc"));

    // Another project has none; coming back lists them again.
    select(102);
    EXPECT_EQ(list5_->topLevelItemCount(), 0);
    select(101);
    EXPECT_EQ(list5_->topLevelItemCount(), 2);

    list5_->setCurrentItem(list5_->topLevelItem(0));
    ui_.clear();
    ui_.answerMessage(ui::Answer::Yes);
    trigger("mnuAttachDel");
    EXPECT_EQ(ui_.last().text, "Are you sure you want to delete bid.doc?");
    EXPECT_EQ(list5_->topLevelItemCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(env_.path("cache/101/bid.doc")));
    EXPECT_TRUE(stored("Select Count(*) from [Attachments]").toInt() == 0);
}

TEST_F(AttachMainWindow, RowsShowThePictureOfTheirFileType) {
    ShellTestEnv::execute(
        env_.store(),
        {"INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) VALUES "
         "(103, 'a.pdf', '', 'A', 'pdf', '01/02/2027')",
         "INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) VALUES "
         "(103, 'b.DOC', '', 'B', 'DOC', '01/02/2027')",
         "INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) VALUES "
         "(103, 'c.xyz', '', 'C', 'xyz', '01/02/2027')"});
    select(103);
    ASSERT_EQ(list5_->topLevelItemCount(), 3);
    const ui::ImageList images(base::ReadOnlyDataFolder() + "/Graphics/ImageList2");
    auto picture = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    QMap<QString, QImage> shown;
    for (int i = 0; i < 3; ++i)
        shown[list5_->topLevelItem(i)->text(0)] = picture(list5_->topLevelItem(i)->icon(0));
    EXPECT_EQ(shown["a.pdf"], picture(images.icon(base::AttachmentImage("PDF"))));
    EXPECT_EQ(shown["b.DOC"], picture(images.icon(base::AttachmentImage("DOC"))));
    EXPECT_EQ(shown["c.xyz"], picture(images.icon(base::images2::GenericFile)));
    EXPECT_NE(shown["a.pdf"], shown["b.DOC"]);
}

TEST_F(AttachMainWindow, FilesDroppedOnTheListAreAttached) {
    select(103);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(desk("O'Neil's plan.pdf", "p")),
                  QUrl::fromLocalFile(desk("notes.txt", "n"))});
    answerDialog("frmAttach", "dropped | first");
    answerDialog("frmAttach", "second");
    // As the desktop delivers a drop: the drag enters the list, then is dropped on it.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list5_->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list5_->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(columnTexts(list5_, 0), QStringList({"O'Neil's plan.pdf", "notes.txt"}));
    EXPECT_EQ(columnTexts(list5_, 1), QStringList({"dropped | first", "second"}));
}

TEST_F(AttachMainWindow, AssignmentsSetAndClearedWithTheCheckBoxesKept) {
    w_->FindProjectRow(101)->setCheckState(0, Qt::Checked);
    w_->FindProjectRow(103)->setCheckState(0, Qt::Checked);
    answerDialog("frmAssign", "O'Brien | Sons");
    trigger("mnuListAssign");
    EXPECT_EQ(ui_.last().text, "Are you sure you want to add/update these projects?");
    EXPECT_EQ(w_->FindProjectRow(101)->text(2), "O'Brien | Sons");
    EXPECT_EQ(w_->FindProjectRow(102)->text(2), "");
    EXPECT_EQ(w_->FindProjectRow(103)->text(2), "O'Brien | Sons");
    EXPECT_EQ(stored("Select Assignment from Projects where Job_ID = 103").toString(),
              "O'Brien | Sons");

    trigger("mnuListAssign2");
    EXPECT_EQ(w_->FindProjectRow(101)->text(2), "");
    EXPECT_EQ(stored("Select Assignment from Projects where Job_ID = 101").toString(), "");
    EXPECT_EQ(w_->FindProjectRow(101)->checkState(0), Qt::Checked);
    EXPECT_EQ(w_->FindProjectRow(103)->checkState(0), Qt::Checked);
    EXPECT_EQ(w_->FindProjectRow(102)->checkState(0), Qt::Unchecked);

    // Reloading the list shows what is stored.
    w_->FindProjectRow(102)->setCheckState(0, Qt::Checked);
    answerDialog("frmAssign", "Ann");
    trigger("mnuListAssign");
    w_->LoadProjects("ALL", true);
    EXPECT_EQ(w_->FindProjectRow(102)->text(2), "Ann");
    EXPECT_EQ(w_->FindProjectRow(101)->text(2), "Ann");
}

TEST_F(AttachMainWindow, JobListingReportWrittenAndOpened) {
    const auto& opener = installOpener();
    trigger("mnuListJobList");
    QFile report(env_.home() + "/current.rtf");
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QByteArray rtf = report.readAll();
    EXPECT_TRUE(rtf.contains("04/15/2027       BRIDGE DECK"));
    EXPECT_TRUE(rtf.contains("02/01/2027       CITY HALL"));
    EXPECT_EQ(opener.waitFor(1), QStringList{env_.home() + "/current.rtf"});
    EXPECT_TRUE(w_->findChild<QTextEdit*>("RichTextBox1")->toPlainText().contains("CITY HALL"));
    EXPECT_TRUE(ui_.shown().isEmpty());
}

TEST_F(AttachMainWindow, OpenDocumentUsesTheStoredFolderWhileTheFileIsThereAndNeverRunsIt) {
    // One attachment made before the cache moved (its file still in the old folder), one whose
    // stored folder is gone but whose file is in the current cache location. The first is a
    // script with the execute bits, as every file on a vfat or cifs mount has them: it is
    // opened like any document, not run.
    const QString oldCache = env_.path("oldcache");
    const QString ran = env_.path("ran");
    QDir().mkpath(oldCache + "/101");
    QDir().mkpath(env_.path("cache/101"));
    for (const QString& file : {oldCache + "/101/plan.pdf", env_.path("cache/101/spec.pdf")}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(file.endsWith("plan.pdf") ? ("#!/bin/sh\ntouch '" + ran + "'\n").toUtf8()
                                          : QByteArray("%PDF"));
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    const QString insert = "INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, "
                           "Added ) VALUES (101, '%1', '%2', '%3', 'pdf', '2026-03-05')";
    ShellTestEnv::execute(env_.store(),
                          {insert.arg("plan.pdf", oldCache + "/101/", "a plan"),
                           insert.arg("spec.pdf", env_.path("moved/101/"), "b spec")});
    select(102);
    select(101);
    ASSERT_EQ(columnTexts(list5_, 0), QStringList({"plan.pdf", "spec.pdf"}));

    const auto& opener = installOpener();
    list5_->setCurrentItem(list5_->topLevelItem(0));
    trigger("mnuAttachOpen");
    list5_->setCurrentItem(list5_->topLevelItem(1));
    trigger("mnuAttachOpen");
    EXPECT_EQ(opener.waitFor(2),
              QStringList({oldCache + "/101/plan.pdf", env_.path("cache/101/spec.pdf")}));
    EXPECT_TRUE(ui_.shown().isEmpty());
    EXPECT_FALSE(QFile::exists(ran));
}
