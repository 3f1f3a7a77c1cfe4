#include "TempEnv.h"

#include <harlix/harlix.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using harlix::ComError;
using harlix::miscStuff;

namespace {

harlix::WindowHandle handleOf(QWidget& w) {
    return static_cast<harlix::WindowHandle>(w.winId());
}

// The window's _NET_WM_STATE as an X server holds it; only asked under the xcb platform.
std::string netWmState(harlix::WindowHandle h) {
    std::string cmd = "xprop -id " + std::to_string(h) + " _NET_WM_STATE 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p.get()))
        out += buf;
    return out;
}

bool onX() {
    return QGuiApplication::platformName() == "xcb" &&
           std::system("which xprop >/dev/null 2>&1") == 0;
}

void expectInvalidHandle(const std::string& source, const std::function<void()>& call) {
    try {
        call();
        ADD_FAILURE() << source << " accepted a handle of no window";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), 1400);
        EXPECT_EQ(e.source(), source);
        EXPECT_EQ(e.description(), "Invalid window handle.");
    }
}

TEST(WindowOperations, StayOnTopSetsAndClearsTheHintWithoutActivating) {
    QWidget other;
    other.show();
    other.activateWindow();
    QWidget w;
    w.setWindowTitle("target");
    w.resize(200, 100);
    w.move(40, 50);
    w.show();
    QApplication::processEvents();
    other.activateWindow();
    (void)QTest::qWaitForWindowActive(&other, 2000);
    QWidget* activeBefore = QApplication::activeWindow();
    const QPoint pos = w.pos();

    miscStuff m;
    const harlix::WindowHandle handle = handleOf(w);
    m.StayOnTop(handle, harlix::Rect{300, 15, 15, 300});
    QApplication::processEvents();
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.windowHandle()->winId(), handle) << "the caller's handle still names the window";
    EXPECT_TRUE(w.isVisible()) << "changing the hint must not leave the window hidden";
    EXPECT_EQ(w.size(), QSize(200, 100)) << "the rectangle is not applied";
    EXPECT_EQ(w.pos(), pos);
    EXPECT_FALSE(w.testAttribute(Qt::WA_ShowWithoutActivating)) << "attribute restored";
    if (onX()) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return netWmState(handleOf(w)).find("_NET_WM_STATE_ABOVE") != std::string::npos;
            },
            30000))
            << netWmState(handleOf(w));
    }
    // No fixed pause: what the change posted is delivered now (on X the window manager's answer
    // came back before the state above was read), and an activation would be among it.
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), activeBefore) << "the window is not activated";

    m.NotStayOnTop(handle, harlix::Rect{});
    QApplication::processEvents();
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.isVisible());
    if (onX()) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return netWmState(handleOf(w)).find("_NET_WM_STATE_ABOVE") == std::string::npos;
            },
            30000))
            << netWmState(handleOf(w));
    }

    // A hidden window is shown, as the original positioning call did.
    w.hide();
    m.StayOnTop(handle, harlix::Rect{});
    EXPECT_TRUE(w.isVisible());
}

TEST(WindowOperations, AWindowWithoutAWidgetIsFoundToo) {
    QWindow win;
    win.create();
    miscStuff m;
    m.StayOnTop(static_cast<harlix::WindowHandle>(win.winId()), harlix::Rect{});
    EXPECT_TRUE(win.flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(win.isVisible());
    m.FlashTitleBar(static_cast<harlix::WindowHandle>(win.winId()), true);
}

TEST(WindowOperations, HandlesOfNoWindowAreRefused) {
    miscStuff m;
    auto* w = new QWidget;
    w->show();
    harlix::WindowHandle gone = handleOf(*w);
    delete w;
    for (harlix::WindowHandle h : {harlix::WindowHandle{0}, harlix::WindowHandle{0xdead}, gone}) {
        expectInvalidHandle("StayOnTop", [&] { m.StayOnTop(h, harlix::Rect{}); });
        expectInvalidHandle("NotStayOnTop", [&] { m.NotStayOnTop(h, harlix::Rect{}); });
        expectInvalidHandle("FlashTitleBar", [&] { m.FlashTitleBar(h, true); });
    }
}

TEST(WindowOperations, FlashTitleBarAsksForAttentionThroughAChildsHandleToo) {
    QWidget top;
    auto* child = new QWidget(&top);
    top.show();
    QWidget other;
    other.show();
    other.activateWindow();
    (void)QTest::qWaitForWindowActive(&other, 2000);
    miscStuff m;
    EXPECT_NO_THROW(m.FlashTitleBar(handleOf(*child), true));
    if (onX()) {
        // The window manager marks the inactive window while the alert lasts.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return netWmState(handleOf(top)).find("_NET_WM_STATE_DEMANDS_ATTENTION") !=
                       std::string::npos;
            },
            900))
            << netWmState(handleOf(top));
    }
    EXPECT_NO_THROW(m.FlashTitleBar(handleOf(top), false));
}

TEST(WindowOperations, LockwindowLocksOneWindowAtATime) {
    QWidget a, b;
    a.show();
    b.show();
    miscStuff m;
    m.Lockwindow(handleOf(a));
    EXPECT_FALSE(a.updatesEnabled());
    EXPECT_NO_THROW(m.Lockwindow(handleOf(a))) << "the same window again";
    try {
        m.Lockwindow(handleOf(b));
        ADD_FAILURE() << "two windows locked";
    } catch (const ComError& e) {
        EXPECT_EQ(e.source(), "Lockwindow");
        EXPECT_EQ(e.description(), "Could not lock window or another window already locked");
    }
    EXPECT_TRUE(b.updatesEnabled());
    m.Lockwindow(0);
    EXPECT_TRUE(a.updatesEnabled());
    m.Lockwindow(handleOf(b));
    EXPECT_FALSE(b.updatesEnabled());
    m.Lockwindow(0);
    EXPECT_TRUE(b.updatesEnabled());
    EXPECT_THROW(m.Lockwindow(0xdead), ComError);
    EXPECT_NO_THROW(m.Lockwindow(0)) << "unlocking with nothing locked";
}

TEST(WindowOperations, ADestroyedLockedWindowDoesNotBlockTheNextLock) {
    miscStuff m;
    auto* a = new QWidget;
    a->show();
    m.Lockwindow(handleOf(*a));
    delete a;
    QWidget b;
    b.show();
    EXPECT_NO_THROW(m.Lockwindow(handleOf(b)));
    m.Lockwindow(0);
}

// Runs `act` on the folder dialog once it is shown.
void onDialog(const std::function<void(QFileDialog*)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
        }
    });
    timer->start();
}

TEST(FolderPicker, StartsAtTheFolderShowsTheChoiceAndReturnsIt) {
    harlix::test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "Projects/Job 1");
    QWidget owner;
    owner.show();
    QString shownTitle, shownStart, statusBefore, statusAfter;
    bool dirsOnly = false;
    onDialog([&](QFileDialog* dlg) {
        shownTitle = dlg->windowTitle();
        shownStart = dlg->directory().absolutePath();
        dirsOnly =
            dlg->fileMode() == QFileDialog::Directory && dlg->testOption(QFileDialog::ShowDirsOnly);
        auto* status = dlg->findChild<QLabel*>("statusText");
        statusBefore = status ? status->text() : QString();
        // As the user does: pick the folder in the list.
        const QString job = QString::fromStdString((dir.path() / "Projects/Job 1").string());
        auto* view = dlg->findChild<QListView*>("listView");
        auto* files = view ? qobject_cast<QFileSystemModel*>(view->model()) : nullptr;
        if (files) {
            QModelIndex at;
            (void)QTest::qWaitFor([&] { return (at = files->index(job)).isValid(); }, 5000);
            view->setCurrentIndex(at);
        }
        statusAfter = status ? status->text() : QString();
        static_cast<QDialog*>(dlg)->accept();
    });
    miscStuff m;
    std::string chosen = m.FolderPicker(handleOf(owner), "Choose Cache Location",
                                        (dir.path() / "Projects").string());
    EXPECT_EQ(shownTitle, "Choose Cache Location");
    EXPECT_EQ(shownStart.toStdString(), (dir.path() / "Projects").string());
    EXPECT_TRUE(dirsOnly);
    EXPECT_EQ(statusBefore.toStdString(), (dir.path() / "Projects").string());
    EXPECT_EQ(statusAfter.toStdString(), (dir.path() / "Projects/Job 1").string());
    EXPECT_EQ(chosen, (dir.path() / "Projects/Job 1").string());
}

TEST(FolderPicker, CancelGivesAnEmptyTextAndABadStartFolderStartsAtHome) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    env.set("HOME", dir.path().string());
    QString shownStart;
    onDialog([&](QFileDialog* dlg) {
        shownStart = dlg->directory().absolutePath();
        dlg->reject();
    });
    EXPECT_EQ(miscStuff().FolderPicker(0, "Choose Copy Location", "c:\\"), "");
    EXPECT_EQ(shownStart.toStdString(), dir.path().string());
}

} // namespace
