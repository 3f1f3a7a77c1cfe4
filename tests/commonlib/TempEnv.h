#pragma once
// A temporary folder and environment variables restored when the test ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace harlix::test {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harlix-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

class ScopedEnv {
public:
    ~ScopedEnv() {
        for (auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace harlix::test

namespace harlix::test {

// Writes an executable shell script `name` into `dir`.
inline void writeScript(const std::filesystem::path& dir, const std::string& name,
                        const std::string& body) {
    auto path = dir / name;
    {
        std::ofstream out(path);
        out << "#!/bin/sh\n" << body << "\n";
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A folder of stand-in programs put first on PATH for the life of the object.
class StandInPath {
public:
    StandInPath() {
        const char* old = std::getenv("PATH");
        env_.set("PATH", dir_.path().string() + ":" + (old ? old : "/usr/bin:/bin"));
    }
    // Only the stand-ins and the basic tools, so that a real program cannot answer instead.
    void isolate() { env_.set("PATH", dir_.path().string() + ":/usr/bin:/bin"); }
    void add(const std::string& name, const std::string& body) {
        writeScript(dir_.path(), name, body);
    }
    const std::filesystem::path& dir() const { return dir_.path(); }

private:
    TempDir dir_;
    ScopedEnv env_;
};

} // namespace harlix::test

#include <thread>

namespace harlix::test {

// Runs `body` on a new thread. The CUPS library keeps the server and home folder it first saw
// per thread, so a test that changes them runs its print calls on a thread of its own.
template <typename F> void onFreshThread(F&& body) {
    std::thread t(std::forward<F>(body));
    t.join();
}

} // namespace harlix::test
