// The window-less check's command line: what it refuses before it touches the database.
#include "shell/CheckUpdatesOption.h"
#include "shell/CommandLine.h"
#include "shell/HeadlessUpdateCheck.h"

#include <QCommandLineParser>
#include <gtest/gtest.h>

using namespace brevant;

namespace {

struct Result {
    int code;
    QString err;
};

Result run(const QStringList& arguments, const QByteArray& stdinText = {}) {
    QCommandLineParser parser;
    for (const shell::ProgramOption& o : shell::ProgramOptions())
        parser.addOption(o.option);
    EXPECT_TRUE(parser.parse(QStringList{"brevant"} + arguments))
        << parser.errorText().toStdString();
    QString out, err;
    QByteArray input = stdinText;
    QTextStream o(&out), e(&err), in(&input);
    const int code = shell::RunCheckUpdatesOption(parser, o, e, in);
    return {code, err};
}

TEST(CheckUpdatesCommandLine, RefusesWhatItCannotRun) {
    qunsetenv("BREVANT_PASSWORD");
    Result r = run({"--check-updates", "--tracked", "--jobs", "1", "--user", "u"}, "pw\n");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("either --tracked or --jobs")) << r.err.toStdString();
    r = run({"--check-updates", "--user", "u"}, "pw\n");
    EXPECT_EQ(r.code, 2);
    r = run({"--check-updates", "--jobs", "12,x", "--user", "u"}, "pw\n");
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("--jobs takes project numbers")) << r.err.toStdString();
    // No password on standard input and none in the environment.
    r = run({"--check-updates", "--jobs", "12", "--user", "u"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("BREVANT_PASSWORD or standard input")) << r.err.toStdString();
    r = run({"--check-updates", "--jobs", "12"}, "pw\n");
    EXPECT_EQ(r.code, 2);
}

TEST(CheckUpdatesCommandLine, JobListsAreWholeNumbersOnce) {
    EXPECT_EQ(shell::parseJobList("12, 34,12"), (QList<int>{12, 34}));
    EXPECT_EQ(shell::parseJobList("210001"), QList<int>{210001});
    EXPECT_FALSE(shell::parseJobList(""));
    EXPECT_FALSE(shell::parseJobList(","));
    EXPECT_FALSE(shell::parseJobList("1;2"));
    EXPECT_FALSE(shell::parseJobList("99999999999"));
}

} // namespace
