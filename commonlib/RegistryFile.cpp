#include "RegistryFile.h"

#include <QString>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace harlix::detail {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string quote(const std::string& s) {
    static const char* digits = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\x";
                out += digits[c >> 4];
                out += digits[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
    return out;
}

// Reads a quoted string at the start of `s`; advances `s` past it.
std::optional<std::string> unquote(std::string_view& s) {
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string out;
    size_t i = 1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"')
            break;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= s.size())
            return std::nullopt;
        switch (s[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 >= s.size())
                return std::nullopt;
            int hi = hexDigit(s[i + 1]), lo = hexDigit(s[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    if (i >= s.size())
        return std::nullopt;
    s.remove_prefix(i + 1);
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

// Parses `"name"=value`; false when the line is not a well-formed value.
bool parseValue(std::string_view s, RegistryLine& line) {
    auto name = unquote(s);
    if (!name)
        return false;
    s = trim(s);
    if (s.empty() || s.front() != '=')
        return false;
    s = trim(s.substr(1));
    if (!s.empty() && s.front() == '"') {
        auto text = unquote(s);
        if (!text || !trim(s).empty())
            return false;
        line.kind = ValueKind::String;
        line.data = *text;
    } else if (startsWithNoCase(s, "dword:")) {
        auto digits = trim(s.substr(6));
        std::int32_t n = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec != std::errc() || end != digits.data() + digits.size())
            return false;
        line.kind = ValueKind::DWord;
        line.data = std::to_string(n);
    } else if (startsWithNoCase(s, "hex:")) {
        std::string bytes;
        std::string_view rest = trim(s.substr(4));
        while (!rest.empty()) {
            size_t comma = rest.find(',');
            std::string_view item = trim(rest.substr(0, comma));
            if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0)
                return false;
            bytes += static_cast<char>(hexDigit(item[0]) * 16 + hexDigit(item[1]));
            if (comma == std::string_view::npos)
                break;
            rest = rest.substr(comma + 1);
            if (trim(rest).empty())
                return false;
        }
        line.kind = ValueKind::Binary;
        line.data = std::move(bytes);
    } else {
        return false;
    }
    line.type = RegistryLine::Type::Value;
    line.name = std::move(*name);
    return true;
}

// Where the line starting at `start` ends: at LF (a CR before it stays part of the line, so a
// CRLF file is written back as it was) or at a CR not followed by LF (old Mac files).
size_t lineEnd(const std::string& content, size_t start) {
    for (size_t i = start; i < content.size(); ++i) {
        if (content[i] == '\n')
            return i;
        if (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n'))
            return i;
    }
    return content.size();
}

// The text of a file that starts with a UTF-16 byte-order mark, as UTF-8 without that mark.
std::optional<std::string> fromUtf16(const std::string& bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    const bool little = b0 == 0xFF && b1 == 0xFE;
    if (!little && !(b0 == 0xFE && b1 == 0xFF))
        return std::nullopt;
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        text += QChar(static_cast<char16_t>(little ? (b << 8 | a) : (a << 8 | b)));
    }
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

bool isBlank(const RegistryLine& line) {
    return line.type == RegistryLine::Type::Raw && trim(line.text).empty();
}

// Whether `path` is `root` or lies below it, without regard to case.
bool inTree(const std::string& path, const std::string& root) {
    if (RegistryFile::sameName(path, root))
        return true;
    return path.size() > root.size() + 1 && path[root.size()] == '\\' &&
           RegistryFile::sameName(path.substr(0, root.size()), root);
}

std::string homeDir() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

void makeDirs(const std::string& dir) {
    if (dir.empty())
        return;
    for (size_t pos = 1; pos != std::string::npos;) {
        pos = dir.find('/', pos + 1);
        std::string part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            throw std::system_error(errno, std::generic_category(), "cannot create " + part);
    }
}

void writeAll(int fd, const std::string& data, const std::string& what) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::system_error(errno, std::generic_category(), "cannot write " + what);
        done += static_cast<size_t>(n);
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace

bool RegistryFile::sameName(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())).toCaseFolded() ==
           QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())).toCaseFolded();
}

std::string RegistryFile::sectionName(const std::string& section) {
    return std::string(trim(section));
}

RegistryFile RegistryFile::parse(const std::string& bytes) {
    RegistryFile file;
    bool inSection = false;
    size_t start = 0;
    // A file saved as UTF-16 (with its byte-order mark, as editors write it) is read as its
    // text and written back as UTF-8 with a byte-order mark.
    const std::optional<std::string> decoded = fromUtf16(bytes);
    const std::string& content = decoded ? *decoded : bytes;
    file.byteOrderMark_ = decoded.has_value();
    // A byte-order mark some editors put first is not part of the first line; it is kept for
    // writing back.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        file.byteOrderMark_ = true;
        start = 3;
    }
    while (start < content.size()) {
        const size_t end = lineEnd(content, start);
        RegistryLine line;
        line.text = content.substr(start, end - start);
        std::string_view t = trim(line.text);
        if (t.size() > 2 && t.front() == '[' && t.back() == ']' &&
            !trim(t.substr(1, t.size() - 2)).empty()) {
            line.type = RegistryLine::Type::Section;
            line.name = std::string(trim(t.substr(1, t.size() - 2)));
            inSection = true;
        } else if (inSection && !t.empty() && t.front() == '"') {
            RegistryLine value = line;
            if (parseValue(t, value))
                line = std::move(value);
        }
        file.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return file;
}

std::string RegistryFile::serialize() const {
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const auto& line : lines_) {
        out += line.text;
        out += '\n';
    }
    return out;
}

std::string RegistryFile::formatValue(const std::string& name, ValueKind kind,
                                      const std::string& data) {
    std::string out = quote(name) + "=";
    switch (kind) {
    case ValueKind::String:
        out += quote(data);
        break;
    case ValueKind::DWord:
        out += "dword:" + data;
        break;
    case ValueKind::Binary: {
        static const char* digits = "0123456789abcdef";
        out += "hex:";
        for (size_t i = 0; i < data.size(); ++i) {
            auto c = static_cast<unsigned char>(data[i]);
            if (i)
                out += ',';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
        break;
    }
    }
    return out;
}

const RegistryLine* RegistryFile::find(const std::string& sectionPath,
                                       const std::string& name) const {
    const std::string section = sectionName(sectionPath);
    bool match = false;
    for (const auto& line : lines_) {
        if (line.type == RegistryLine::Type::Section)
            match = sameName(line.name, section);
        else if (match && line.type == RegistryLine::Type::Value && sameName(line.name, name))
            return &line;
    }
    return nullptr;
}

void RegistryFile::set(const std::string& sectionPath, const std::string& name, ValueKind kind,
                       const std::string& data) {
    const std::string section = sectionName(sectionPath);
    RegistryLine value;
    value.type = RegistryLine::Type::Value;
    value.text = formatValue(name, kind, data);
    value.name = name;
    value.kind = kind;
    value.data = data;

    if (const RegistryLine* existing = find(section, name)) {
        // Keep the spelling the name already has in the file.
        value.name = existing->name;
        value.text = formatValue(existing->name, kind, data);
        lines_[static_cast<size_t>(existing - lines_.data())] = std::move(value);
        return;
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].type != RegistryLine::Type::Section || !sameName(lines_[i].name, section))
            continue;
        size_t insertAt = i + 1;
        for (size_t j = i + 1; j < lines_.size() && lines_[j].type != RegistryLine::Type::Section;
             ++j)
            if (!isBlank(lines_[j]))
                insertAt = j + 1;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(value));
        return;
    }
    if (!lines_.empty() && !isBlank(lines_.back()))
        lines_.push_back(RegistryLine{});
    RegistryLine header;
    header.type = RegistryLine::Type::Section;
    header.text = "[" + section + "]";
    header.name = section;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(value));
}

int RegistryFile::erase(const std::string& sectionPath, const std::string& name) {
    const std::string section = sectionName(sectionPath);
    int removed = 0;
    bool match = false;
    std::vector<RegistryLine> kept;
    kept.reserve(lines_.size());
    for (auto& line : lines_) {
        if (line.type == RegistryLine::Type::Section)
            match = sameName(line.name, section);
        else if (match && line.type == RegistryLine::Type::Value && sameName(line.name, name)) {
            ++removed;
            continue;
        }
        kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
    return removed;
}

int RegistryFile::eraseTree(const std::string& treePath) {
    const std::string path = sectionName(treePath);
    int removed = 0;
    bool match = false;
    std::vector<RegistryLine> kept;
    kept.reserve(lines_.size());
    for (auto& line : lines_) {
        if (line.type == RegistryLine::Type::Section) {
            match = inTree(line.name, path);
            if (match) {
                ++removed;
                // The blank line that separated the section goes with it.
                if (!kept.empty() && isBlank(kept.back()))
                    kept.pop_back();
            }
        }
        if (!match)
            kept.push_back(std::move(line));
    }
    while (!kept.empty() && isBlank(kept.front()))
        kept.erase(kept.begin());
    lines_ = std::move(kept);
    return removed;
}

std::string registryPath() {
    if (const char* p = std::getenv("BREVANT_REGISTRY"); p && *p)
        return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        base = x;
    else
        base = homeDir() + "/.config";
    return base + "/Velmora/registry";
}

std::optional<std::string> readRegistry(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return std::string();
        return std::nullopt;
    }
    std::string content;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        content.append(buf, static_cast<size_t>(n));
    }
    return content;
}

void updateRegistry(const std::string& requested, const std::function<bool(RegistryFile&)>& edit) {
    // Replace the file a symbolic link points to, not the link.
    std::filesystem::path target = requested;
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, ec); ++hops) {
        std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    std::string path = target.string();

    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (slash != std::string::npos && slash > 0)
        makeDirs(dir);

    std::string lockPath = path + ".lock";
    // Never through a link: one planted there would have the file it names created or opened.
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (lock.get() < 0)
        throw std::system_error(errno, std::generic_category(), "cannot open " + lockPath);
    while (::flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "cannot lock " + lockPath);

    auto content = readRegistry(path);
    if (!content)
        throw std::system_error(errno, std::generic_category(), "cannot read " + path);
    RegistryFile file = RegistryFile::parse(*content);
    if (!edit(file))
        return;

    std::string tmpPath = path + ".XXXXXX";
    FileDescriptor tmp(::mkostemp(tmpPath.data(), O_CLOEXEC));
    if (tmp.get() < 0)
        throw std::system_error(errno, std::generic_category(), "cannot create a file in " + dir);
    try {
        if (::fchmod(tmp.get(), 0600) != 0)
            throw std::system_error(errno, std::generic_category(), "cannot protect " + tmpPath);
        writeAll(tmp.get(), file.serialize(), tmpPath);
        if (::fsync(tmp.get()) != 0)
            throw std::system_error(errno, std::generic_category(), "cannot write " + tmpPath);
        if (::close(tmp.release()) != 0)
            throw std::system_error(errno, std::generic_category(), "cannot write " + tmpPath);
        if (::rename(tmpPath.c_str(), path.c_str()) != 0)
            throw std::system_error(errno, std::generic_category(), "cannot replace " + path);
    } catch (...) {
        ::unlink(tmpPath.c_str());
        throw;
    }
    FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get());
}

} // namespace harlix::detail
