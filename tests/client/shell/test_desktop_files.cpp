// What the package gives the desktop besides the programs: the AppStream metainfo passes
// appstreamcli's checks and names this version among its releases; the systemd user units of
// the morning check pass systemd-analyze verify.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kShare = QStringLiteral(BREVANT_SOURCE_DIR "/share/");

QString read(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    return QString::fromUtf8(f.readAll());
}

struct ToolRun {
    int code = -1;
    QString output;
};

ToolRun run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << qPrintable(program);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll())};
}

} // namespace

TEST(DesktopFiles, MetainfoValidatesAndListsThisRelease) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (program.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed (package appstream)";
    const QString file = kShare + QStringLiteral("metainfo/com.velmora.brevant.metainfo.xml");
    const ToolRun r = run(program,
                          {QStringLiteral("validate"), QStringLiteral("--no-net"),
                           QStringLiteral("--pedantic"), file},
                          QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(r.code, 0) << qPrintable(r.output);
    const QString xml = read(file);
    // The newest release comes first and is the version being built.
    const auto release =
        QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(xml);
    ASSERT_TRUE(release.hasMatch());
    EXPECT_EQ(release.captured(1).toStdString(), QStringLiteral("%1.%2.%3")
                                                     .arg(BREVANT_VERSION_MAJOR)
                                                     .arg(BREVANT_VERSION_MINOR)
                                                     .arg(BREVANT_VERSION_PATCH)
                                                     .toStdString());
    // It describes the desktop entry that is installed.
    EXPECT_TRUE(xml.contains(QStringLiteral("<launchable type=\"desktop-id\">brevant.desktop<")));
    EXPECT_TRUE(QFile::exists(kShare + QStringLiteral("brevant/brevant.desktop")));
}

TEST(DesktopFiles, SystemdAcceptsTheMorningCheckUnits) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    if (program.isEmpty())
        GTEST_SKIP() << "systemd-analyze is not installed (package systemd)";
    const QString service = read(kShare + QStringLiteral("systemd/user/brevant-updates.service"));
    const QString timer = read(kShare + QStringLiteral("systemd/user/brevant-updates.timer"));
    // The unit runs the installed program from systemd's search path, with the private file.
    const QString exec = QStringLiteral("ExecStart=brevant --check-updates --tracked --notify "
                                        "--password-file %E/brevant/credentials");
    ASSERT_TRUE(service.contains(exec + QLatin1Char('\n'))) << qPrintable(service);

    // verify checks that the command exists and that the documentation it names is there: the
    // program built here stands in for the installed one, the manual pages of the tree for the
    // installed ones.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString local = service;
    local.replace(QStringLiteral("ExecStart=brevant "),
                  QStringLiteral("ExecStart=" BREVANT_BINARY_DIR "/client/brevant "));
    for (const auto& [name, text] : {std::pair{QStringLiteral("brevant-updates.service"), local},
                                     std::pair{QStringLiteral("brevant-updates.timer"), timer}}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("MANPATH"), kShare + QStringLiteral("man"));
    const ToolRun r = run(program,
                          {QStringLiteral("--user"), QStringLiteral("verify"),
                           dir.filePath(QStringLiteral("brevant-updates.service")),
                           dir.filePath(QStringLiteral("brevant-updates.timer"))},
                          env);
    EXPECT_EQ(r.code, 0) << qPrintable(r.output);
    // Unknown keys and the like are only warned about: any output is a fault.
    EXPECT_EQ(r.output.toStdString(), "");
    EXPECT_TRUE(timer.contains(QStringLiteral("\nWantedBy=timers.target\n")));
}
