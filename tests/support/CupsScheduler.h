#pragma once
// A CUPS scheduler of the tests' own on a free port of 127.0.0.1, in a folder of its own, with
// queues that print to /dev/null. The documents of printed jobs are kept in its spool folder
// (d<job>-001), so a test can read what each job carried.
#include "../mailcontrol/net/support/TestPeers.h"

#include <algorithm>

namespace brevant::testing {

class CupsScheduler {
public:
    CupsScheduler() = default;
    CupsScheduler(const CupsScheduler&) = delete;
    CupsScheduler& operator=(const CupsScheduler&) = delete;
    ~CupsScheduler() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // Starts cupsd under root; false when the scheduler is not installed or does not come up.
    bool start(const std::filesystem::path& root) {
        namespace fs = std::filesystem;
        const char* cupsd = "/usr/sbin/cupsd";
        if (!fs::exists(cupsd) || !fs::exists("/usr/sbin/lpadmin"))
            return false;
        root_ = root;
        port_ = mailvane::testing::freePort();
        for (const char* d : {"cache", "state", "spool", "tmp", "log"}) {
            fs::create_directories(root / d);
            fs::permissions(root / d, fs::perms::all);
        }
        std::ofstream(root / "cupsd.conf")
            << "Listen 127.0.0.1:" << port_ << "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
            << "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
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
        const std::string conf = (root / "cupsd.conf").string();
        const std::string files = (root / "cups-files.conf").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(cupsd, "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Polls for the event itself, the port taking connections, for as long as the scheduler
        // lives (the limit only guards against a hang): a loaded machine may start it slowly.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!mailvane::testing::portAccepts(port_)) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1; // gone: nothing left to stop
                return false;
            }
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return true;
    }

    // Runs an administration command (lpadmin, cupsreject, ...) against this scheduler.
    bool admin(const std::string& command, const std::string& arguments) const {
        const std::string line =
            "/usr/sbin/" + command + " -h " + address() + " " + arguments + " >/dev/null 2>&1";
        return std::system(line.c_str()) == 0;
    }
    // A queue that prints to /dev/null and takes jobs.
    bool addQueue(const std::string& name) const {
        return admin("lpadmin", "-p " + name + " -E -v file:///dev/null");
    }

    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

    // The documents of the jobs received so far, oldest first.
    std::vector<std::filesystem::path> jobDocuments() const {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(root_ / "spool")) {
            const std::string name = e.path().filename().string();
            if (name.size() > 1 && name[0] == 'd' && name.ends_with("-001"))
                out.push_back(e.path());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path root_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace brevant::testing
