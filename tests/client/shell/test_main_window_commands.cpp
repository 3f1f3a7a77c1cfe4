// The main window's own behaviour: menus and their separators, menu bitmaps, the toolbar,
// EnableCommands during a request, the print buttons following the detail tab, "Copy Selected
// Text", commands of parts this version lacks, and the pictures behind every icon number.
#include "ShellTestEnv.h"

#include "base/ProgramFolders.h"
#include "platform/ui/QtUiImageList.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/frmIcons.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w_ = std::make_unique<frmMain>();
        w_->Form_Load();
        ui_.clear();
    }
    void TearDown() override { w_.reset(); }

    template <class T> T* child(const char* name) const {
        T* c = w_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    // The captions of a menu as they read (without the accelerator's "&"), "-" for a separator.
    static QStringList captions(const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : QString(a->text()).remove('&'));
        return out;
    }

    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    std::unique_ptr<frmMain> w_;
};

} // namespace

TEST_F(MainWindowTest, MenusHoldEveryEntryInOrderWithTheirSeparators) {
    QStringList top;
    for (const QAction* a : w_->menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{"&File", "&Projects", "&Options", "&About "}));
    EXPECT_EQ(captions(child<QMenu>("mnuFile")),
              (QStringList{"Find Projects (Online)", "Icon Summary", "-", "Copy Project",
                           "Clear Cache for Selected Project(s)", "E-Mail Selected Documents", "-",
                           "Export Bid Calendar...", "Export Project List...",
                           "Move Projects to the Firm Store...", "-", "Exit"}));
    EXPECT_EQ(captions(child<QMenu>("mnuList")),
              (QStringList{"Select All", "De-Select All", "-", "Project Display", "-",
                           "Print Full Report for Selected Project(s)",
                           "Create Current Job Listing Report", "Delete Selected Project(s)", "-",
                           "Set Selected Project(s) as Tagged", "Set Selected Project(s) as Opened",
                           "Set Assignments for Selected Project(s)",
                           "Clear Assignments for Selected Project(s)", "-",
                           "Check for Updates on Selected Project(s)"}));
    EXPECT_EQ(captions(child<QMenu>("mnuList_Project")),
              (QStringList{"All Projects", "New Projects Only", "Tagged Projects Only",
                           "Opened Projects Only"}));
    EXPECT_EQ(captions(child<QMenu>("mnuOptions")),
              (QStringList{"Program Preferences", "Change Login Credentials"}));
    EXPECT_EQ(captions(child<QMenu>("mnuCPY")), QStringList{"Copy Selected Text"});
    EXPECT_EQ(captions(child<QMenu>("mnuPlans")),
              (QStringList{"Select All", "De-Select All", "-", "Download Selected Plan Page(s)",
                           "-", "View Plans"}));
    EXPECT_EQ(captions(child<QMenu>("mnuSpecs")),
              (QStringList{"Select All", "De-Select All", "-",
                           "Download Selected Specification Section(s)"}));
    EXPECT_EQ(captions(child<QMenu>("mnuAdd")),
              (QStringList{"Select All", "De-Select All", "-", "Download Selected Addenda"}));
    EXPECT_EQ(captions(child<QMenu>("mnuAttach")),
              (QStringList{"Attach Document", "Remove Selected Document", "Open Document", "-",
                           "Display Icon View", "Display List View"}));
    // The filter entries start with "All Projects" alone checked.
    EXPECT_TRUE(child<QAction>("mnuListAllRec")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuListVeiwedRec")->isChecked());
}

TEST_F(MainWindowTest, MenuBitmapsSitOnTheirEntries) {
    const QStringList withBitmap = {"mnuFile_Find",        "mnuFile_Copy",   "mnuFileClear",
                                    "mnuFileEmail",        "mnuListMark",    "mnuListRemove",
                                    "mnuListPrintSummary", "mnuListJobList", "mnuListDelete",
                                    "mnuListTrack",        "mnuListView",    "mnuListAssign",
                                    "mnuListAssign2",      "mnuList_Update", "mnuOptions_Setup"};
    for (const QString& name : withBitmap)
        EXPECT_FALSE(w_->findChild<QAction*>(name)->icon().isNull()) << qPrintable(name);
    for (const char* name : {"mnuFile_Icon", "mnuExit", "mnuOptions_Login"})
        EXPECT_TRUE(child<QAction>(name)->icon().isNull()) << name;
}

TEST_F(MainWindowTest, ToolbarButtonsCarryTextTooltipAndImage) {
    struct Expect {
        int index;
        const char* text;
        const char* tip;
        int image;
    };
    const Expect expected[] = {
        {1, "Find", "Find Projects ...", 7},
        {3, "All Projects", "Display all records ...", 31},
        {4, "Tracked", "Display tagged records only ...", 23},
        {5, "", "Display new records only ...", 24},
        {6, "Viewed", "Display opened records only ...", 25},
        {8, "Print", "Print full report for selected projects ...", 18},
        {9, "Download", "Download all selected documents ...", 27},
        {11, "Delete", "Delete selected projects ...", 20},
        {12, "Email", "E-Mail selected documents ...", 21},
    };
    for (const Expect& e : expected) {
        auto* a = w_->findChild<QAction*>(QStringLiteral("Toolbar1_Button%1").arg(e.index));
        ASSERT_NE(a, nullptr) << e.index;
        EXPECT_EQ(a->text(), QString::fromLatin1(e.text));
        EXPECT_EQ(a->toolTip(), QString::fromLatin1(e.tip));
        EXPECT_EQ(a->property("imageIndex").toInt(), e.image);
        EXPECT_FALSE(a->icon().isNull()) << e.index;
    }
    for (int separator : {2, 7, 10})
        EXPECT_TRUE(w_->findChild<QAction*>(QStringLiteral("Toolbar1_Button%1").arg(separator))
                        ->isSeparator());
}

TEST_F(MainWindowTest, EveryCommandButEmailIsDisabledDuringARequest) {
    auto checkAll = [&](bool enabled) {
        for (const char* name :
             {"SSTab1", "SSTab2", "ListView1", "Command2", "Command3", "Command4"})
            EXPECT_EQ(w_->findChild<QWidget*>(QString::fromLatin1(name))->isEnabled(), enabled)
                << name;
        for (const char* name : {"mnuFile", "mnuList", "mnuOptions"})
            EXPECT_EQ(child<QMenu>(name)->menuAction()->isEnabled(), enabled) << name;
        EXPECT_EQ(child<QAction>("mnuAbout")->isEnabled(), enabled);
        for (int i : {1, 3, 4, 5, 6, 8, 9, 11})
            EXPECT_EQ(
                w_->findChild<QAction*>(QStringLiteral("Toolbar1_Button%1").arg(i))->isEnabled(),
                enabled)
                << i;
        EXPECT_TRUE(child<QAction>("Toolbar1_Button12")->isEnabled());
    };
    w_->EnableCommands(false);
    checkAll(false);
    // The e-mail button still answers while everything else is off.
    child<QAction>("Toolbar1_Button12")->trigger();
    EXPECT_EQ(ui_.shown().size(), 1);
    w_->EnableCommands(true);
    checkAll(true);
}

TEST_F(MainWindowTest, PrintButtonsFollowTheDetailTab) {
    auto* tabs = child<QTabWidget>("SSTab1");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    EXPECT_EQ(titles, (QStringList{"Details", "Bidders", "Contacts", "Notes", "Attachments",
                                   "Updates", "Awards / Apparent Lows"}));
    auto visible = [&] {
        return QString::fromLatin1("%1%2%3")
            .arg(int(!child<QPushButton>("Command2")->isHidden()))
            .arg(int(!child<QPushButton>("Command3")->isHidden()))
            .arg(int(!child<QPushButton>("Command4")->isHidden()));
    };
    EXPECT_EQ(visible(), QStringLiteral("100"));
    tabs->setCurrentIndex(1);
    EXPECT_EQ(visible(), QStringLiteral("010"));
    tabs->setCurrentIndex(2);
    EXPECT_EQ(visible(), QStringLiteral("001"));
    tabs->setCurrentIndex(3);
    EXPECT_EQ(visible(), QStringLiteral("000"));
    EXPECT_EQ(child<QPushButton>("Command3")->text().remove('&'), QStringLiteral("PRINT"));
}

TEST_F(MainWindowTest, CopySelectedTextCopiesFromDetailsAndBiddersOnly) {
    auto* summary = child<QTextEdit>("Summary");
    summary->setPlainText(QStringLiteral("PROJECT SUMMARY"));
    summary->selectAll();
    auto* bidders = child<QTextEdit>("Bidders");
    bidders->setPlainText(QStringLiteral("LOW BIDDER"));
    bidders->selectAll();
    auto* tabs = child<QTabWidget>("SSTab1");
    QApplication::clipboard()->setText(QStringLiteral("before"));

    tabs->setCurrentIndex(3); // Notes: nothing is copied
    child<QAction>("mnuCPY_Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    tabs->setCurrentIndex(0);
    child<QAction>("mnuCPY_Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("PROJECT SUMMARY"));
    tabs->setCurrentIndex(1);
    child<QAction>("mnuCPY_Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("LOW BIDDER"));
}

TEST_F(MainWindowTest, FindMenuEntryAndToolbarButtonOpenTheSearchDialog) {
    for (const char* name : {"mnuFile_Find", "Toolbar1_Button1"}) {
        QString caption;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QLatin1String("frmFind") && w->isVisible()) {
                    caption = w->windowTitle();
                    w->close();
                }
            }
        });
        child<QAction>(name)->trigger();
        EXPECT_EQ(caption, QStringLiteral("Find Projects")) << name;
    }
    EXPECT_TRUE(ui_.shown().isEmpty());
}

TEST(MainWindowImages, EveryIconNumberHasItsOwnPicture) {
    const ui::ImageList list1(base::DataFile(QStringLiteral("Graphics/ImageList1")));
    const ui::ImageList list2(base::DataFile(QStringLiteral("Graphics/ImageList2")));
    QList<QImage> seen;
    auto distinct = [&](const ui::ImageList& list, int n) {
        ASSERT_TRUE(list.has(n)) << n;
        const QImage img = list.pixmap(n, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        for (const QImage& other : seen)
            EXPECT_NE(img, other) << "picture " << n << " repeats another";
        seen << img;
    };
    for (int n : {1, 2, 7, 14, 15, 18, 20, 21, 23, 24, 25, 27, 31})
        distinct(list1, n);
    for (int n = 1; n <= 12; ++n)
        distinct(list2, n);
    QList<QImage> menus;
    for (const char* file :
         {"FIND", "CD", "TRASH", "MAIL", "MARK", "UNMARK", "PRINT", "MAG", "trash01", "TRACK",
          "DISK12", "ASSIGN", "ASSIGN2", "CHECKMRK", "PREF"}) {
        const QImage img(
            base::DataFile(QStringLiteral("Graphics/Menus/%1.bmp").arg(QLatin1String(file))),
            "BMP");
        ASSERT_FALSE(img.isNull()) << file;
        for (const QImage& other : menus)
            EXPECT_NE(img, other) << file;
        menus << img;
    }
}

TEST_F(MainWindowTest, RightButtonReleaseOnTheNotesShowsOnlyTheCopyMenu) {
    auto* notes = child<QWidget>("Text2");
    child<QTabWidget>("SSTab1")->setCurrentIndex(3);
    w_->show();
    QWidget* viewport = notes->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport"));
    ASSERT_NE(viewport, nullptr);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5),
                        viewport->mapToGlobal(QPointF(5, 5)), Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
    auto* menu = child<QMenu>("mnuCPY");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(captions(menu), QStringList{"Copy Selected Text"});
    EXPECT_FALSE(child<QMenu>("mnuList")->isVisible());
    menu->hide();
}

TEST_F(MainWindowTest, DocumentListsSelectAndDeselectEveryRow) {
    auto* plans = child<QTreeWidget>("ListView2");
    for (const char* name : {"A101", "A102"}) {
        auto* item = new QTreeWidgetItem(plans, {QString::fromLatin1(name)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    child<QAction>("mnuPlansSelect")->trigger();
    EXPECT_TRUE(frmMain::AnyChecked(plans));
    EXPECT_EQ(plans->topLevelItem(1)->checkState(0), Qt::Checked);
    child<QAction>("mnuPlansDeSelect")->trigger();
    EXPECT_FALSE(frmMain::AnyChecked(plans));
    EXPECT_TRUE(ui_.shown().isEmpty());
}

TEST_F(MainWindowTest, IconLegendExplainsEveryRowMarker) {
    child<QAction>("mnuFile_Icon")->trigger();
    frmIcons* legend = w_->findChild<frmIcons*>();
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(legend->windowTitle(), QStringLiteral("Icon Summary"));
    QStringList texts;
    QList<int> icons;
    for (int i = 1; i <= 5; ++i) {
        texts << legend->findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->text();
        icons << legend->findChild<QLabel*>(QStringLiteral("Image%1").arg(i))
                     ->property("iconNumber")
                     .toInt();
    }
    EXPECT_EQ(icons, (QList<int>{24, 23, 25, 14, 15}));
    EXPECT_EQ(texts.last(), QStringLiteral("(Update) Projects displaying this symbol have had an "
                                           "information update and  have either new bidders, "
                                           "addenda or memos"));
    EXPECT_EQ(legend->findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
              QStringLiteral("&CLOSE"));
    legend->close();
}

TEST_F(MainWindowTest, EveryEntryHasItsOwnAltLetterAndTheCommonCommandsTheirShortcuts) {
    // Within each menu, every entry has an accelerator and no two share one.
    for (const char* name : {"mnuFile", "mnuList", "mnuList_Project", "mnuOptions", "mnuCPY",
                             "mnuPlans", "mnuSpecs", "mnuAdd", "mnuAttach"}) {
        QSet<QString> letters;
        for (const QAction* a : child<QMenu>(name)->actions()) {
            if (a->isSeparator())
                continue;
            const QString letter = QKeySequence::mnemonic(a->text()).toString();
            EXPECT_FALSE(letter.isEmpty()) << name << ": " << qPrintable(a->text());
            EXPECT_FALSE(letters.contains(letter)) << name << ": " << qPrintable(a->text());
            letters.insert(letter);
        }
    }
    // In the window itself, the menu bar's letters and the buttons' are all different.
    QStringList owners;
    QSet<QString> letters;
    auto claim = [&](const QString& text) {
        const QString letter = QKeySequence::mnemonic(text).toString();
        if (letter.isEmpty())
            return;
        EXPECT_FALSE(letters.contains(letter))
            << qPrintable(text) << " after " << qPrintable(owners.join(", "));
        letters.insert(letter);
        owners << text;
    };
    for (const QAction* a : w_->menuBar()->actions())
        claim(a->text());
    QSet<QString> buttons;
    for (const QPushButton* b : w_->findChildren<QPushButton*>())
        buttons.insert(b->text()); // the three print buttons show one at a time
    for (const QString& text : buttons)
        claim(text);

    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"mnuFile_Find", QKeySequence(QStringLiteral("Ctrl+Shift+F"))},
        {"mnuListPrintSummary", QKeySequence(QStringLiteral("Ctrl+P"))},
        {"mnuListMark", QKeySequence(QStringLiteral("Ctrl+A"))},
        {"mnuOptions_Setup", QKeySequence(QStringLiteral("Ctrl+,"))},
        {"mnuExit", QKeySequence(QStringLiteral("Ctrl+Q"))},
    };
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(child<QAction>(name)->shortcut(), keys) << name;
    auto* refresh = child<QShortcut>("keyRefresh");
    EXPECT_EQ(refresh->key(), QKeySequence(QKeySequence::Refresh));
}

TEST_F(MainWindowTest, EscapeClearsTheSearchBox) {
    w_->show();
    QApplication::setActiveWindow(w_.get());
    auto* search = child<QLineEdit>("txtSearch");
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("roof"));
    ASSERT_EQ(search->text(), QStringLiteral("roof"));
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
}
