#pragma once
// A private temporary folder for one mail-control test, named by TMPDIR while it lives, so the
// control's temporary body files land in it and can be counted.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace mailvanetest {

class TempFolder {
public:
    TempFolder() {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "mvtestXXXXXX").string();
        path_ = mkdtemp(pattern.data());
        const char* old = std::getenv("TMPDIR");
        hadOld_ = old != nullptr;
        old_ = hadOld_ ? old : "";
        setenv("TMPDIR", path_.c_str(), 1);
    }
    ~TempFolder() {
        if (hadOld_)
            setenv("TMPDIR", old_.c_str(), 1);
        else
            unsetenv("TMPDIR");
        std::filesystem::remove_all(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::size_t count() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(path_), {}));
    }
    std::filesystem::path write(const std::string& name, const std::string& data) const {
        std::ofstream(path_ / name, std::ios::binary) << data;
        return path_ / name;
    }

private:
    std::filesystem::path path_;
    std::string old_;
    bool hadOld_ = false;
};

} // namespace mailvanetest
