// The attachment and assignment commands with their real dialogs (shown modally and answered
// by the test), list views standing in for the main window's, a real database and folder.
#include "OpenedAttachment.h"
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ScriptedUi.h"
#include "store/Assignments.h"
#include "store/AttachmentCommands.h"
#include "store/frmAssign.h"
#include "store/frmAttach.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::store;

namespace {

// Runs a dialog modally; while it is shown, types text and presses the named button
// ("OKButton", "CancelButton") or closes the window ("close").
QString answerDialog(frmAttach& dlg, const QString& text, const QString& action) {
    QTimer::singleShot(0, &dlg, [&dlg, text, action] {
        dlg.findChild<QLineEdit*>("Text1")->setText(text);
        if (action == u"close")
            dlg.close();
        else
            dlg.findChild<QPushButton*>(action)->click();
    });
    return dlg.Ask();
}

class AttachmentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        connection.open(stores.create(dir.filePath("Desktop.mdb")));
        for (int id : {5, 6, 7})
            connection.execute(QString("Insert into [Projects] ([Job_ID], [Name]) values "
                                       "(%1, 'P%1')")
                                   .arg(id));
        QDir().mkpath(dir.filePath("desk"));
        context.connection = &connection;
        context.cacheLocation = dir.filePath("cache");
        context.jobId = 5;
        context.askDescription = [this] {
            frmAttach dlg(DialogResult);
            return answerDialog(dlg, nextText, nextAction);
        };
        context.reload = [this](int jobId) {
            frmAttach::FillAttachmentList(&ListView5, LoadAttachments(connection, jobId));
        };
        context.hourglass = [this](bool on) { hourglassCalls << on; };
    }

    QString desk(const QString& name, const QByteArray& content) {
        const QString path = dir.filePath("desk/" + name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    QStringList listed() const {
        QStringList rows;
        for (int i = 0; i < ListView5.topLevelItemCount(); ++i)
            rows << ListView5.topLevelItem(i)->text(0) + "|" + ListView5.topLevelItem(i)->text(1);
        return rows;
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    db::Connection connection;
    QTreeWidget ListView5;
    QString DialogResult;
    QString nextText;
    QString nextAction = "OKButton";
    QList<bool> hourglassCalls;
    AttachmentContext context;
    ui::ScopedScriptedUi ui;
};

} // namespace

TEST_F(AttachmentCommandsTest, AttachTheSameNameTwiceThenRemoveIt) {
    const QString first = desk("bid.doc", "v1");
    ui.answerPath(first);
    nextText = "Bid form";
    AttachDocument(context);
    ASSERT_EQ(ui.shown().size(), 2); // the file dialog and the question
    EXPECT_EQ(ui.shown()[0].kind, "openFile");
    EXPECT_EQ(ui.shown()[1].text, "Are you sure you want to attach " + first + "?");
    EXPECT_EQ(ui.shown()[1].title, "System Prompt");
    EXPECT_EQ(ui.shown()[1].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(ui.shown()[1].icon, ui::Icon::Question);
    EXPECT_EQ(listed(), QStringList({"bid.doc|Bid form"}));
    EXPECT_EQ(hourglassCalls, QList<bool>({true, false}));

    ui.answerPath(desk("bid.doc", "v2"));
    nextText = "Addendum bid form";
    AttachDocument(context);
    EXPECT_EQ(listed(), QStringList({"bid.doc|Addendum bid form", "bid.doc|Bid form"}));
    EXPECT_EQ(teststore::openedAttachmentBytes(connection, dir.filePath("cache"), 5, "bid.doc"),
              "v2");
    EXPECT_EQ(ListView5.topLevelItem(0)->data(0, Qt::UserRole).toString(), "DOC");

    ui.clear();
    ui.answerMessage(ui::Answer::Yes);
    RemoveSelectedDocument(context, ListView5.topLevelItem(1)->text(0));
    EXPECT_EQ(ui.last().text, "Are you sure you want to delete bid.doc?");
    EXPECT_EQ(ui.last().title, "System Prompt");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cache/5/bid.doc")));
}

TEST_F(AttachmentCommandsTest, EmptyDescriptionAndApostrophes) {
    ui.answerPath(desk("site plan.pdf", "p"));
    nextText = "";
    AttachDocument(context);
    ui.answerPath(desk("O'Hara's quote.xls", "q"));
    nextText = "Mike's 'best' | final";
    AttachDocument(context);
    // Closed with the window's button and "No": an attachment without description.
    ui.answerPath(desk("photo.jpg", "j"));
    ui.answerMessage(ui::Answer::Yes); // attach?
    ui.answerMessage(ui::Answer::No);  // cancel this attachment?
    nextText = "";
    nextAction = "close";
    AttachDocument(context);
    // Ordered by description; the two without one in either order.
    QStringList rows = listed();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.takeLast(), "O'Hara's quote.xls|Mike's 'best' | final");
    rows.sort();
    EXPECT_EQ(rows, QStringList({"photo.jpg|", "site plan.pdf|"}));
    for (const auto& shown : ui.shown())
        EXPECT_NE(shown.title, "System Error") << shown.text.toStdString();
}

TEST_F(AttachmentCommandsTest, NothingHappensWithoutProjectOrWhenDeclinedOrCancelled) {
    context.jobId.reset();
    AttachDocument(context);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "No project is currently selected -- You must selected a "
                              "project before attaching a file ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);

    context.jobId = 5;
    AttachDocument(context); // no file picked
    ui.answerPath(desk("a.txt", "a"));
    ui.answerMessage(ui::Answer::No);
    AttachDocument(context); // declined
    ui.answerPath(desk("a.txt", "a"));
    ui.answerMessage(ui::Answer::Yes);
    ui.answerMessage(ui::Answer::Yes); // cancel this attachment? Yes
    nextAction = "CancelButton";
    AttachDocument(context);
    EXPECT_EQ(ui.last().text, "Cancel this attachment?");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("cache/5/a.txt")));
    EXPECT_TRUE(LoadAttachments(connection, 5).empty());
}

TEST_F(AttachmentCommandsTest, DroppedFilesOneAfterTheOther) {
    nextText = "dropped";
    AttachDroppedFiles(
        context, {desk("one.txt", "1"), dir.filePath("desk/missing.txt"), desk("two.csv", "2")});
    EXPECT_EQ(listed(), QStringList({"one.txt|dropped", "two.csv|dropped"}));
    bool notFound = false;
    for (const auto& shown : ui.shown())
        if (shown.text == "File not found -- No attachment added ...") {
            notFound = true;
            EXPECT_EQ(shown.title, "System Message");
            EXPECT_EQ(shown.icon, ui::Icon::Information);
        }
    EXPECT_TRUE(notFound);
}

TEST_F(AttachmentCommandsTest, AssignmentsSetAndClearedWithTheCheckBoxesKept) {
    QTreeWidget ListView1;
    for (int id : {5, 6, 7}) {
        auto* row = new QTreeWidgetItem(&ListView1, {"No Date Set", QString("P%1").arg(id), ""});
        row->setData(0, Qt::UserRole, id);
        row->setCheckState(0, id == 6 ? Qt::Unchecked : Qt::Checked);
    }
    auto checkedIds = [&] {
        std::vector<int> ids;
        for (int i = 0; i < ListView1.topLevelItemCount(); ++i)
            if (ListView1.topLevelItem(i)->checkState(0) == Qt::Checked)
                ids.push_back(ListView1.topLevelItem(i)->data(0, Qt::UserRole).toInt());
        return ids;
    };
    auto column3 = [&] {
        QStringList texts;
        for (int i = 0; i < ListView1.topLevelItemCount(); ++i)
            texts << ListView1.topLevelItem(i)->text(2);
        return texts;
    };
    AssignmentContext ac;
    ac.connection = &connection;
    ac.checkedJobIds = checkedIds();
    ac.askName = [this] {
        frmAssign dlg(DialogResult);
        return answerDialog(dlg, nextText, nextAction);
    };
    ac.showAssignment = [&](int jobId, const QString& name) {
        for (int i = 0; i < ListView1.topLevelItemCount(); ++i)
            if (ListView1.topLevelItem(i)->data(0, Qt::UserRole).toInt() == jobId)
                ListView1.topLevelItem(i)->setText(2, name);
    };
    nextText = "D'Arcy | Estimating";
    SetAssignments(ac);
    EXPECT_EQ(ui.last().text, "Are you sure you want to add/update these projects?");
    EXPECT_EQ(ui.last().title, "System Prompt");
    EXPECT_EQ(column3(), QStringList({"D'Arcy | Estimating", "", "D'Arcy | Estimating"}));
    auto stored = [&](int id) {
        db::Recordset rs;
        rs.open(QString("Select Assignment from Projects where Job_ID = %1").arg(id), connection);
        return rs.field(0);
    };
    EXPECT_EQ(stored(5).toString(), "D'Arcy | Estimating");
    EXPECT_TRUE(stored(6).isNull());
    EXPECT_EQ(checkedIds(), std::vector<int>({5, 7}));

    ClearAssignments(ac);
    EXPECT_EQ(ui.last().text,
              "Are you sure you want to clear the assignments the selected project(s)?");
    EXPECT_EQ(column3(), QStringList({"", "", ""}));
    EXPECT_EQ(stored(7).toString(), "");
    EXPECT_FALSE(stored(7).isNull());
    // The same projects are still checked, so setting again applies to them.
    EXPECT_EQ(checkedIds(), std::vector<int>({5, 7}));
    nextText = "Ann";
    ac.checkedJobIds = checkedIds();
    SetAssignments(ac);
    EXPECT_EQ(column3(), QStringList({"Ann", "", "Ann"}));

    // A cancelled dialog or a declined question changes nothing.
    ui.answerMessage(ui::Answer::Yes);
    nextAction = "CancelButton";
    SetAssignments(ac);
    nextAction = "OKButton";
    nextText = "Zed";
    ui.answerMessage(ui::Answer::No);
    SetAssignments(ac);
    EXPECT_EQ(column3(), QStringList({"Ann", "", "Ann"}));

    ac.checkedJobIds.clear();
    ui.clear();
    SetAssignments(ac);
    ClearAssignments(ac);
    ASSERT_EQ(ui.shown().size(), 2);
    for (const auto& shown : ui.shown()) {
        EXPECT_EQ(shown.text, "No projects are currently selected -- You must selected at least "
                              "1 project before continuing ...");
        EXPECT_EQ(shown.icon, ui::Icon::Exclamation);
    }
    EXPECT_EQ(column3(), QStringList({"Ann", "", "Ann"}));
}
