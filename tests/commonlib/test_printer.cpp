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

namespace {
std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
} // namespace

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
    EXPECT_EQ(readText(dir.path() / ".cups/lpoptions"), "Dest Old\nDefault Laser\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / ".cups/lpoptions.new"));
}

TEST(SetNewDefaultPrinter, ALinkAtTheOldTemporaryNameIsNotWrittenThrough) {
    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    env.set("HOME", dir.path().string());
    std::filesystem::create_directory(dir.path() / ".cups");
    std::ofstream(dir.path() / "victim") << "precious\n";
    std::filesystem::create_symlink(dir.path() / "victim", dir.path() / ".cups/lpoptions.new");
    harlix::detail::setUserDefaultDestination("Laser");
    EXPECT_EQ(readText(dir.path() / "victim"), "precious\n");
    EXPECT_EQ(readText(dir.path() / ".cups/lpoptions"), "Default Laser\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / ".cups/lpoptions.new"));
    // Only the options file and the planted link are there: no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / ".cups"),
                            std::filesystem::directory_iterator()),
              2);
}

namespace {

int freePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

bool accepts(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

// A print server of our own on 127.0.0.1 with one printer that prints to /dev/null.
class CupsServer {
public:
    bool start(const std::filesystem::path& root) {
        const char* cupsd = "/usr/sbin/cupsd";
        if (!std::filesystem::exists(cupsd) || !std::filesystem::exists("/usr/sbin/lpadmin"))
            return false;
        port_ = freePort();
        for (const char* d : {"cache", "state", "spool", "tmp", "log"}) {
            std::filesystem::create_directories(root / d);
            std::filesystem::permissions(root / d, std::filesystem::perms::all);
        }
        std::ofstream(root / "cupsd.conf")
            << "Listen 127.0.0.1:" << port_ << "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
            << "DefaultAuthType None\n<Location />\n Order allow,deny\n Allow all\n</Location>\n"
            << "<Location /admin>\n Order allow,deny\n Allow all\n</Location>\n"
            << "<Policy default>\n <Limit All>\n  Order deny,allow\n </Limit>\n</Policy>\n";
        std::ofstream(root / "cups-files.conf")
            << "FileDevice Yes\nServerRoot " << root.string() << "\nCacheDir "
            << (root / "cache").string() << "\nStateDir " << (root / "state").string()
            << "\nRequestRoot " << (root / "spool").string() << "\nTempDir "
            << (root / "tmp").string() << "\nErrorLog " << (root / "log/error_log").string()
            << "\nAccessLog " << (root / "log/access_log").string() << "\nPageLog "
            << (root / "log/page_log").string() << "\n";
        std::string conf = (root / "cupsd.conf").string();
        std::string files = (root / "cups-files.conf").string();
        pid_ = fork();
        if (pid_ == 0) {
            execl(cupsd, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !accepts(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        std::string add = "/usr/sbin/lpadmin -h " + address() +
                          " -p TestLaser -E -v file:///dev/null >/dev/null 2>&1";
        return accepts(port_) && std::system(add.c_str()) == 0;
    }
    ~CupsServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace

TEST(SetNewDefaultPrinter, AKnownPrinterBecomesTheDefaultTheUserSees) {
    harlix::test::TempDir dir;
    CupsServer cups;
    if (!cups.start(dir.path() / "cups"))
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
