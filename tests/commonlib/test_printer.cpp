#include "../support/CupsScheduler.h"
#include "LpOptions.h"
#include "TempEnv.h"

#include <harlix/harlix.h>

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using harlix::detail::withDefaultDestination;

TEST(LpOptions, TheNewDefaultReplacesTheOldAndKeepsOptions) {
    EXPECT_EQ(withDefaultDestination("", "Office"), "Default Office\n");
    EXPECT_EQ(withDefaultDestination("Default Old sides=two-sided-long-edge\n"
                                     "Dest office media=A4\n"
                                     "# comment kept\n",
                                     "Office"),
              "Dest Old sides=two-sided-long-edge\n"
              "Default office media=A4\n"
              "# comment kept\n");
    EXPECT_EQ(withDefaultDestination("Default Office\n", "Office"), "Default Office\n");
    EXPECT_EQ(withDefaultDestination("Dest Old\nDefault Older\n", "New"),
              "Dest Old\nDest Older\nDefault New\n");
    EXPECT_EQ(
        withDefaultDestination("Dest Office/duplex sides=two-sided-long-edge\n", "Office/duplex"),
        "Default Office/duplex sides=two-sided-long-edge\n");
}

TEST(SetNewDefaultPrinter, AnUnknownPrinterIsRefusedAndNothingIsWritten) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    env.set("HOME", dir.path().string());
    env.set("CUPS_SERVER", "127.0.0.1:9");
    harlix::test::onFreshThread([] {
        try {
            harlix::miscStuff().SetNewDefaultPrinter("NoSuchPrinter");
            ADD_FAILURE() << "no error";
        } catch (const harlix::ComError& e) {
            EXPECT_EQ(e.number(), 1801);
            EXPECT_EQ(e.source(), "SetNewDefaultPrinter");
            EXPECT_NE(e.description().find("NoSuchPrinter"), std::string::npos);
        }
    });
    EXPECT_FALSE(std::filesystem::exists(dir.path() / ".cups/lpoptions"));
}

TEST(SetNewDefaultPrinter, WritesTheUsersOptionsFileAtomically) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    env.set("HOME", dir.path().string());
    std::filesystem::create_directory(dir.path() / ".cups");
    std::ofstream(dir.path() / ".cups/lpoptions") << "Default Old\n";
    harlix::detail::setUserDefaultDestination("Laser");
    std::ifstream in(dir.path() / ".cups/lpoptions");
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "Dest Old\nDefault Laser\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / ".cups/lpoptions.new"));
}

TEST(SetNewDefaultPrinter, AKnownPrinterBecomesTheDefaultTheUserSees) {
    harlix::test::TempDir dir;
    brevant::testing::CupsScheduler cups;
    if (!cups.start(dir.path() / "cups") || !cups.addQueue("TestLaser"))
        GTEST_SKIP() << "no CUPS scheduler (packages cups-daemon, cups-client)";
    harlix::test::ScopedEnv env;
    env.set("CUPS_SERVER", cups.address());
    env.set("HOME", (dir.path() / "home").string());
    env.set("LPDEST", std::nullopt);
    env.set("PRINTER", std::nullopt);
    std::filesystem::create_directory(dir.path() / "home");

    harlix::test::onFreshThread([&] {
        harlix::computerInfo info;
        EXPECT_EQ(info.GetDefaultPrinter(), "") << "the server has no default yet";
        harlix::miscStuff m;
        EXPECT_NO_THROW(m.SetNewDefaultPrinter("testlaser"));
        std::ifstream in(dir.path() / "home/.cups/lpoptions");
        std::stringstream ss;
        ss << in.rdbuf();
        EXPECT_EQ(ss.str(), "Default TestLaser\n") << "written in the server's spelling";
        EXPECT_EQ(info.GetDefaultPrinter(), "TestLaser");
        EXPECT_THROW(m.SetNewDefaultPrinter("OtherLaser"), harlix::ComError);
        EXPECT_EQ(info.GetDefaultPrinter(), "TestLaser");
    });
}
