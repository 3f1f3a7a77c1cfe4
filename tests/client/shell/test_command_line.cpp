// The command line: --help and --version answer and end, mistakes are refused with a hint,
// Qt's own window-system options pass through, and added options run their handlers in order.
#include "shell/CommandLine.h"

#include <gtest/gtest.h>

using namespace brevant::shell;

namespace {

struct Outcome {
    std::optional<int> code;
    QString out;
    QString err;
};

Outcome run(const QStringList& args, const std::vector<ProgramOption>& options = {}) {
    Outcome o;
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.code = HandleCommandLine(QStringList{QStringLiteral("brevant")} + args, options, out, err);
    return o;
}

} // namespace

TEST(CommandLine, VersionAndHelpAnswerAndEnd) {
    for (const QString& flag : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const Outcome o = run({flag});
        EXPECT_EQ(o.code, 0);
        EXPECT_EQ(o.out, QStringLiteral("Brevant Desktop %1.%2.%3\n")
                             .arg(BREVANT_VERSION_MAJOR)
                             .arg(BREVANT_VERSION_MINOR)
                             .arg(BREVANT_VERSION_PATCH));
        EXPECT_TRUE(o.err.isEmpty());
    }
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version"))) << qPrintable(help.out);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--help")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("construction projects")));
    // Qt's window-system options are not advertised.
    EXPECT_FALSE(help.out.contains(QStringLiteral("platform")));
}

TEST(CommandLine, NothingOrWindowSystemOptionsStartTheWindow) {
    EXPECT_EQ(run({}).code, std::nullopt);
    const Outcome o = run({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                           QStringLiteral("-style=fusion"), QStringLiteral("-reverse")});
    EXPECT_EQ(o.code, std::nullopt);
    EXPECT_TRUE(o.out.isEmpty());
    EXPECT_TRUE(o.err.isEmpty());
}

TEST(CommandLine, MistakesAreRefusedWithAHint) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("--verison")}, QStringList{QStringLiteral("projects.ics")},
          QStringList{QStringLiteral("-platform")}}) {
        const Outcome o = run(args);
        EXPECT_EQ(o.code, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(o.out.isEmpty());
        EXPECT_TRUE(o.err.startsWith(QStringLiteral("brevant: "))) << qPrintable(o.err);
        EXPECT_TRUE(o.err.contains(QStringLiteral("Try 'brevant --help'"))) << qPrintable(o.err);
    }
    EXPECT_TRUE(run({QStringLiteral("--verison")}).err.contains(QStringLiteral("verison")));
}

TEST(CommandLine, AddedOptionsRunTheirHandlersInOrder) {
    QStringList calls;
    const QCommandLineOption jobs(QStringLiteral("jobs"), QStringLiteral("Projects"),
                                  QStringLiteral("ids"));
    const std::vector<ProgramOption> options = {
        {QCommandLineOption(QStringLiteral("check-first"), QStringLiteral("Goes on")),
         [&](const QCommandLineParser&) -> std::optional<int> {
             calls << QStringLiteral("check");
             return std::nullopt;
         }},
        {QCommandLineOption(QStringLiteral("export-calendar"), QStringLiteral("Ends"),
                            QStringLiteral("file")),
         [&](const QCommandLineParser& p) -> std::optional<int> {
             calls << p.value(QStringLiteral("export-calendar")) + " " + p.value(jobs);
             return 3;
         }},
        {jobs, {}},
    };
    const Outcome help = run({QStringLiteral("--help")}, options);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-calendar <file>")));
    EXPECT_TRUE(calls.isEmpty());

    EXPECT_EQ(
        run({QStringLiteral("--export-calendar"), QStringLiteral("bids.ics"),
             QStringLiteral("--jobs"), QStringLiteral("12,34"), QStringLiteral("--check-first")},
            options)
            .code,
        3);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("check"), QStringLiteral("bids.ics 12,34")}));

    calls.clear();
    EXPECT_EQ(run({QStringLiteral("--check-first")}, options).code, std::nullopt);
    EXPECT_EQ(calls, QStringList{QStringLiteral("check")});
    // An option's handler does not run when only the options it qualifies are given.
    calls.clear();
    EXPECT_EQ(run({QStringLiteral("--jobs"), QStringLiteral("1")}, options).code, std::nullopt);
    EXPECT_TRUE(calls.isEmpty());
}
