#include "LpOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace harlix::detail {
namespace {

struct Entry {
    std::string keyword; // "Dest" or "Default" as written, or "" for a line kept as is
    std::string name;
    std::string rest; // the options, with their leading space
    std::string text;
};

Entry parseLine(const std::string& line) {
    Entry e;
    e.text = line;
    size_t k = line.find_first_not_of(" \t");
    if (k == std::string::npos)
        return e;
    size_t kEnd = line.find_first_of(" \t", k);
    std::string keyword = line.substr(k, kEnd == std::string::npos ? kEnd : kEnd - k);
    if (strcasecmp(keyword.c_str(), "Dest") != 0 && strcasecmp(keyword.c_str(), "Default") != 0)
        return e;
    size_t n = kEnd == std::string::npos ? kEnd : line.find_first_not_of(" \t", kEnd);
    if (n == std::string::npos)
        return e;
    size_t nEnd = line.find_first_of(" \t", n);
    e.keyword = keyword;
    e.name = line.substr(n, nEnd == std::string::npos ? nEnd : nEnd - n);
    e.rest = nEnd == std::string::npos ? std::string() : line.substr(nEnd);
    return e;
}

bool isDefault(const Entry& e) {
    return strcasecmp(e.keyword.c_str(), "Default") == 0;
}

} // namespace

std::string withDefaultDestination(const std::string& content, const std::string& name) {
    std::vector<Entry> entries;
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);)
        entries.push_back(parseLine(line));
    bool found = false;
    for (auto& e : entries) {
        if (e.keyword.empty())
            continue;
        // CUPS destination names ignore case.
        bool same = strcasecmp(e.name.c_str(), name.c_str()) == 0;
        if (same && !found) {
            found = true;
            e.text = "Default " + e.name + e.rest;
        } else if (isDefault(e)) {
            e.text = "Dest " + e.name + e.rest;
        }
    }
    std::string out;
    for (const auto& e : entries)
        out += e.text + "\n";
    if (!found)
        out += "Default " + name + "\n";
    return out;
}

std::string userLpOptionsPath() {
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return home + "/.cups/lpoptions";
}

void setUserDefaultDestination(const std::string& name) {
    std::string path = userLpOptionsPath();
    std::string dir = path.substr(0, path.rfind('/'));
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::system_error(errno, std::generic_category(), "cannot create " + dir);
    std::string content;
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        content = ss.str();
    }
    // A new file of our own (never through a link planted at a known name), renamed over the
    // old one when complete.
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "cannot create a file in " + dir);
    const std::string text = withDefaultDestination(content, name);
    size_t done = 0;
    int err = ::fchmod(fd, 0644) == 0 ? 0 : errno;
    while (err == 0 && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        else
            done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(tmp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(tmp.c_str());
        throw std::system_error(err, std::generic_category(), "cannot replace " + path);
    }
}

} // namespace harlix::detail
