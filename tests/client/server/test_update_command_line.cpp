// The window-less check's command line: what it refuses before it touches the database.
#include "ImportDatabase.h"
#include "shell/CheckUpdatesOption.h"
#include "shell/CommandLine.h"
#include "shell/CredentialsFile.h"
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

TEST(CheckUpdatesCommandLine, CredentialsFilesHoldAPasswordOrTheTimersLines) {
    // The password alone: the first line as it is, blanks included.
    shell::Credentials c = shell::ParseCredentials(" pass word \r\nsecond line\n");
    EXPECT_EQ(c.password, " pass word ");
    EXPECT_TRUE(c.user.isEmpty());
    // The lines a systemd EnvironmentFile holds, in any order, with comments and quotes.
    c = shell::ParseCredentials("# the morning check\r\nBREVANT_PASSWORD='s3=cret'\r\n"
                                "  BREVANT_USER = estimator\nOTHER=x\n");
    EXPECT_EQ(c.password, "s3=cret");
    EXPECT_EQ(c.user, "estimator");
    // A user without a password is no password (the caller refuses it).
    EXPECT_TRUE(shell::ParseCredentials("BREVANT_USER=estimator\n").password.isEmpty());
    EXPECT_TRUE(shell::ParseCredentials("").password.isEmpty());
}

TEST(CheckUpdatesCommandLine, ASecondCheckOnTheSameStoreSaysSoAndChecksNothing) {
    shell::test::ShellTestEnv env;
    const QString file = env.createDatabase();
    env.execute(file, {shell::test::ShellTestEnv::insertProject(210001, "School", "3/1/2027", false,
                                                                true)});
    // Another check (here, this test's own connection) holds the store.
    db::Connection other;
    other.open(file);
    ASSERT_TRUE(other.tryLockStore(db::StoreLock::UpdateCheck));
    shell::HeadlessCheckOptions options;
    options.jobs = {210001};
    options.user = "u";
    options.password = "p";
    QString out, err;
    QTextStream o(&out), e(&err);
    EXPECT_EQ(shell::RunHeadlessUpdateCheck(options, o, e), shell::kAnotherCheckRunning);
    EXPECT_TRUE(out.contains("Another check is running")) << out.toStdString();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
}

} // namespace
