#include "TempEnv.h"

#include <harlix/harlix.h>

#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using harlix::ComError;
using harlix::computerInfo;

TEST(ComputerInfo, NamesComeFromTheSystem) {
    computerInfo info;
    std::string hostname;
    std::getline(std::ifstream("/proc/sys/kernel/hostname"), hostname);
    EXPECT_EQ(info.GetCompName(), hostname);
    const passwd* pw = getpwuid(geteuid());
    if (pw)
        EXPECT_EQ(info.GetCurUserName(), pw->pw_name);
    else
        EXPECT_FALSE(info.GetCurUserName().empty());
}

TEST(ComputerInfo, FoldersAreRealFolders) {
    computerInfo info;
    std::string sys = info.GetSysDir();
    EXPECT_TRUE(std::filesystem::is_directory(sys)) << sys;
    bool hasLibc = false;
    for (const auto& e : std::filesystem::directory_iterator(sys))
        hasLibc |= e.path().filename().string().rfind("libc.so", 0) == 0;
    EXPECT_TRUE(hasLibc) << sys << " should hold the C library";
    EXPECT_EQ(info.GetWinDir(), "/etc");
}

TEST(ComputerInfo, TempDirFollowsTmpdirAndReportsAMissingOne) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    computerInfo info;
    env.set("TMPDIR", dir.path().string());
    EXPECT_EQ(info.GetTempDir(), dir.path().string() + "/");
    env.set("TMPDIR", std::nullopt);
    EXPECT_EQ(info.GetTempDir(), "/tmp/");
    env.set("TMPDIR", (dir.path() / "gone").string());
    try {
        info.GetTempDir();
        FAIL() << "a missing folder was returned";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), ENOENT);
        EXPECT_EQ(e.source(), "GetTempDir");
        EXPECT_EQ(e.description(), "No such file or directory");
    }
}

TEST(ComputerInfo, NoPrintServerMeansNoDefaultPrinter) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    // A server address where nothing listens: the answer must be "" and quick, not an error.
    env.set("CUPS_SERVER", "127.0.0.1:9");
    env.set("HOME", dir.path().string());
    env.set("LPDEST", std::nullopt);
    env.set("PRINTER", std::nullopt);
    harlix::test::onFreshThread([] { EXPECT_EQ(computerInfo().GetDefaultPrinter(), ""); });
}

TEST(ModResources, GivesTheSystemTextOfACode) {
    EXPECT_EQ(harlix::modResources::GetErrorText(2), "No such file or directory");
    EXPECT_EQ(harlix::modResources::GetErrorText(13), "Permission denied");
    EXPECT_EQ(harlix::modResources::GetErrorText(123456), "Unknown error 123456");
}
