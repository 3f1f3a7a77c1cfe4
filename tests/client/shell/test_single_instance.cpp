// A second start of the program: the running copy is asked over its local socket to bring its
// window to the front, and the "already running" message is left for when nobody answers.
#include "ShellTestEnv.h"

#include "base/ProgramFolders.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/SingleInstance.h"
#include "shell/frmMain.h"

#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

// What a copy killed while listening leaves: a socket file nobody listens on.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(std::size_t(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

// What it leaves in the program folder: a lock naming a process that is gone.
void leaveStaleLock(const QString& programFolder) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    QDir().mkpath(programFolder);
    QFile lock(programFolder + QStringLiteral("/brevant.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(
        QStringLiteral("%1\nbrevant\n%2\n").arg(child).arg(QSysInfo::machineHostName()).toUtf8());
}

int mainWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<frmMain*>(w) != nullptr;
    return n;
}

} // namespace

TEST(SingleInstance, SecondStartBringsTheRunningWindowToTheFront) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    SingleInstance first(base::ProgramFolder());
    ASSERT_TRUE(first.acquire());
    ASSERT_TRUE(first.listening());
    QWidget running;
    running.showMinimized();
    int asked = 0;
    first.setShowHandler([&] {
        ++asked;
        return BringToFront(&running);
    });

    EXPECT_EQ(Main(), 0);
    EXPECT_TRUE(ui.shown().isEmpty()) << qPrintable(ui.last().text);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(running.isVisible());
    EXPECT_FALSE(running.isMinimized());
    // The second start touched nothing.
    EXPECT_FALSE(QFileInfo::exists(env.work() + QStringLiteral("/Desktop.mdb")));
    EXPECT_EQ(modResources::DbConnection, nullptr);
    EXPECT_EQ(mainWindows(), 0);
}

TEST(SingleInstance, WithNobodyAnsweringTheMessageStays) {
    ShellTestEnv env;
    const QString folder = base::ProgramFolder();
    QDir().mkpath(folder);
    // A copy holds the lock but does not listen (as a copy of an earlier version), and a
    // socket file of a crash lies there: the question finds nobody and the message is shown.
    QLockFile older(folder + QStringLiteral("/brevant.lock"));
    ASSERT_TRUE(older.tryLock(0));
    leaveStaleSocket(InstanceSocketPath(folder));
    {
        ui::ScopedScriptedUi ui;
        EXPECT_EQ(Main(), 0);
        ASSERT_EQ(ui.shown().size(), 1);
        EXPECT_EQ(ui.last().text, AlreadyRunningText());
        EXPECT_EQ(ui.last().title, QStringLiteral("System Message"));
        EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
    }
    // A running copy that has no window to show says so: the message as well.
    older.unlock();
    SingleInstance first(folder);
    ASSERT_TRUE(first.acquire());
    first.setShowHandler([] { return false; });
    ui::ScopedScriptedUi ui;
    EXPECT_EQ(Main(), 0);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, AlreadyRunningText());
}

TEST(SingleInstance, LockAndSocketLeftByACrashedCopyDoNotBlock) {
    ShellTestEnv env;
    const QString folder = base::ProgramFolder();
    leaveStaleLock(folder);
    leaveStaleSocket(InstanceSocketPath(folder));

    SingleInstance first(folder);
    ASSERT_TRUE(first.acquire());
    EXPECT_TRUE(first.listening());
    int asked = 0;
    first.setShowHandler([&] { return ++asked > 0; });
    SingleInstance second(folder);
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.heldByAnotherCopy());
    EXPECT_TRUE(second.askRunningCopyToShow());
    EXPECT_EQ(asked, 1);
}

TEST(SingleInstance, SocketIsPerProgramFolderAndUser) {
    ShellTestEnv env;
    const QString a = InstanceSocketPath(env.path(QStringLiteral("a")));
    EXPECT_EQ(a, InstanceSocketPath(env.path(QStringLiteral("a/"))));
    EXPECT_NE(a, InstanceSocketPath(env.path(QStringLiteral("b"))));
    EXPECT_TRUE(a.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/')));
    // Without a runtime folder the shared temporary folder is used, with the user's id.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString shared = InstanceSocketPath(env.path(QStringLiteral("a")));
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_TRUE(shared.contains(QStringLiteral("brevant-%1-").arg(::getuid())))
        << qPrintable(shared);
}

#ifdef BREVANT_EXE
TEST(SingleInstance, SecondProgramProcessRaisesThisOneAndEnds) {
    ShellTestEnv env;
    SingleInstance first(base::ProgramFolder());
    ASSERT_TRUE(first.acquire());
    QWidget running;
    running.showMinimized();
    int asked = 0;
    first.setShowHandler([&] {
        ++asked;
        return BringToFront(&running);
    });

    // The program itself, on the same program folder, settings and runtime folder.
    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy finished(&second, &QProcess::finished);
    second.start(QStringLiteral(BREVANT_EXE), {});
    ASSERT_TRUE(second.waitForStarted());
    // This thread's events run while waiting: they serve the question on the socket. Had the
    // second copy shown its message instead, it would wait for a click and never end.
    if (!finished.wait(120000)) {
        second.kill();
        second.waitForFinished();
        FAIL() << "the second copy did not end";
    }
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(running.isMinimized());
    EXPECT_FALSE(QFileInfo::exists(env.work() + QStringLiteral("/Desktop.mdb")));
}
#endif
