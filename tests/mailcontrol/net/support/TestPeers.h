#pragma once
// Starting and stopping the real peers the tests talk to (aiosmtpd, dante, tinyproxy) on free
// ports of 127.0.0.1, in a temporary folder of their own.
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace mailvane::testing {

inline int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

inline bool portAccepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "mailvane-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        std::filesystem::permissions(path_, std::filesystem::perms::all);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A child process, stopped (by its own id) when the object goes.
class PeerProcess {
public:
    PeerProcess() = default;
    PeerProcess(const std::vector<std::string>& argv, const std::filesystem::path& log) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
            std::vector<char*> args;
            for (const std::string& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    PeerProcess(PeerProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    PeerProcess& operator=(PeerProcess&& other) noexcept {
        stop();
        pid_ = other.pid_;
        other.pid_ = -1;
        return *this;
    }
    ~PeerProcess() { stop(); }

    bool running() {
        if (pid_ <= 0) {
            return false;
        }
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG) == 0;
    }
    // Waits until the port accepts connections while the process lives (the two minutes only
    // guard against a hang; a loaded machine may start a peer slowly).
    bool waitForPort(int port) {
        for (int i = 0; i < 2400; ++i) {
            if (portAccepts(port)) {
                return true;
            }
            if (!running()) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            for (int i = 0; i < 100; ++i) {
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) != 0) {
                    pid_ = -1;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

} // namespace mailvane::testing
