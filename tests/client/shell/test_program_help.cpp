// Both programs answer --help and --version on a machine with no display at all (no X, no
// Wayland, no Qt platform chosen), and refuse a mistake with a hint, without making a window.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int code = -1;
    QString out;
    QString err;
};

ProgramRun runWithoutDisplay(const QString& program, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << qPrintable(program);
    ProgramRun r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString kVersion = QStringLiteral("%1.%2.%3\n")
                             .arg(BREVANT_VERSION_MAJOR)
                             .arg(BREVANT_VERSION_MINOR)
                             .arg(BREVANT_VERSION_PATCH);

void expectHelpAndVersion(const QString& program, const QString& versionLine,
                          const QString& helpText) {
    ASSERT_TRUE(QFile::exists(program)) << qPrintable(program);
    ProgramRun r = runWithoutDisplay(program, {QStringLiteral("--version")});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, versionLine + QLatin1Char(' ') + kVersion);
    // --help-all (which Qt adds) answers as --help does, never starting the window.
    for (const char* flag : {"--help", "--help-all"}) {
        r = runWithoutDisplay(program, {QString::fromLatin1(flag)});
        EXPECT_EQ(r.code, 0) << flag << qPrintable(r.err);
        EXPECT_TRUE(r.out.contains(QStringLiteral("--version"))) << qPrintable(r.out);
        EXPECT_TRUE(r.out.contains(helpText)) << qPrintable(r.out);
        EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    }
    r = runWithoutDisplay(program, {QStringLiteral("--no-such-switch")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--help' for more information")))
        << qPrintable(r.err);
}

} // namespace

TEST(ProgramHelp, BrevantAnswersWithoutADisplay) {
    expectHelpAndVersion(QStringLiteral(BREVANT_BINARY_DIR "/client/brevant"),
                         QStringLiteral("Brevant Desktop"),
                         QStringLiteral("Without options the main window starts."));
}

#ifdef BREVANT_VIEWER_EXE
TEST(ProgramHelp, ViewerAnswersWithoutADisplay) {
    expectHelpAndVersion(QStringLiteral(BREVANT_VIEWER_EXE),
                         QStringLiteral("Brevant Document Viewer"),
                         QStringLiteral("[file] [page]"));
    // A file, a page and something more is one argument too many.
    const ProgramRun r =
        runWithoutDisplay(QStringLiteral(BREVANT_VIEWER_EXE),
                          {QStringLiteral("a.svd"), QStringLiteral("2"), QStringLiteral("3")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("unexpected argument '3'"))) << qPrintable(r.err);
}
#endif

// The manual pages: groff reads them without a warning, and each documents exactly the
// switches its program's --help lists, so that neither can drift from the other.
namespace {

const QString kManDir = QStringLiteral(BREVANT_SOURCE_DIR "/share/man/man1/");

// The switches named in the tags (the lines after ".TP") of a page's OPTIONS section.
QSet<QString> documentedSwitches(const QString& page) {
    QFile f(page);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(page);
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    static const QRegularExpression sw(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    QSet<QString> found;
    bool inOptions = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String(".SH ")))
            inOptions = lines[i] == QLatin1String(".SH OPTIONS");
        if (!inOptions || i == 0 || lines[i - 1] != QLatin1String(".TP"))
            continue;
        QString tag = lines[i];
        tag.replace(QLatin1String("\\-"), QLatin1String("-"));
        for (const auto& m : sw.globalMatch(tag))
            found << m.captured(1);
    }
    return found;
}

// The switches of the option column of --help.
QSet<QString> helpSwitches(const QString& help) {
    static const QRegularExpression column(QStringLiteral("^  (-\\S.*?)(?:\\s{2,}|$)"));
    static const QRegularExpression sw(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    QSet<QString> found;
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        const auto m = column.match(line);
        if (!m.hasMatch())
            continue;
        for (const auto& s : sw.globalMatch(m.captured(1)))
            found << s.captured(1);
    }
    return found;
}

QString sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.join(QLatin1Char(' '));
}

void expectPageMatchesHelp(const QString& page, const QString& program) {
    const QSet<QString> documented = documentedSwitches(page);
    const ProgramRun help = runWithoutDisplay(program, {QStringLiteral("--help")});
    const QSet<QString> listed = helpSwitches(help.out);
    ASSERT_FALSE(listed.isEmpty()) << qPrintable(help.out);
    EXPECT_EQ(sorted(documented).toStdString(), sorted(listed).toStdString()) << qPrintable(page);
}

} // namespace

TEST(ManualPages, GroffReadsThemWithoutWarnings) {
    for (const char* name : {"brevant.1", "brevant-viewer.1"}) {
        QProcess man;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        env.remove(QStringLiteral("MAN_KEEP_FORMATTING"));
        man.setProcessEnvironment(env);
        man.start(QStringLiteral("man"),
                  {QStringLiteral("--warnings"), QStringLiteral("-l"), kManDir + name});
        ASSERT_TRUE(man.waitForStarted()) << "man is not installed (package man-db)";
        ASSERT_TRUE(man.waitForFinished(120000));
        EXPECT_EQ(man.exitCode(), 0) << name;
        EXPECT_EQ(man.readAllStandardError().toStdString(), "") << name;
        const QString text = QString::fromUtf8(man.readAllStandardOutput());
        for (const char* section : {"SYNOPSIS", "OPTIONS", "EXIT STATUS", "FILES"})
            EXPECT_TRUE(text.contains(QLatin1String(section))) << name << ' ' << section;
    }
}

TEST(ManualPages, DocumentExactlyTheSwitchesHelpLists) {
    expectPageMatchesHelp(kManDir + QStringLiteral("brevant.1"),
                          QStringLiteral(BREVANT_BINARY_DIR "/client/brevant"));
#ifdef BREVANT_VIEWER_EXE
    expectPageMatchesHelp(kManDir + QStringLiteral("brevant-viewer.1"),
                          QStringLiteral(BREVANT_VIEWER_EXE));
#endif
    // The comparison itself sees a switch that is missing from a page.
    EXPECT_TRUE(documentedSwitches(kManDir + QStringLiteral("brevant.1"))
                    .contains(QStringLiteral("--password-file")));
    EXPECT_EQ(
        helpSwitches(QStringLiteral("Options:\n  -h, --help  Help.\n  --jobs <ids>  "
                                    "The --tracked ones.\n  Not -x an option\n")),
        (QSet<QString>{QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("--jobs")}));
}
