#include "platform/archive/ZipReader.h"

#include "platform/archive/ArchiveError.h"
#include "platform/archive/EntryName.h"
#include "platform/archive/TempFile.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <system_error>

namespace brevant::archive {

namespace fs = std::filesystem;

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The file the entry replaces: an existing one spelt in another case, else the name as given.
fs::path targetFor(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        if (sameNameIgnoringCase(item.path().filename().string(), name))
            return item.path();
    }
    return folder / name;
}

struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

} // namespace

ZipReader::ZipReader(const fs::path& path) : path_(path.string()) {
    int code = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!zip_) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw ArchiveError("cannot open " + path_ + ": " + why);
    }
}

ZipReader::~ZipReader() {
    if (zip_)
        zip_discard(zip_);
}

std::int64_t ZipReader::entryCount() const {
    return zip_get_num_entries(zip_, 0);
}

std::string ZipReader::entryName(std::int64_t index) const {
    const char* name = zip_get_name(zip_, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_GUESS);
    if (!name)
        throw ArchiveError("no entry " + std::to_string(index) + " in " + path_);
    return name;
}

std::string ZipReader::entryComment(std::int64_t index) const {
    zip_uint32_t length = 0;
    const char* comment =
        zip_file_get_comment(zip_, static_cast<zip_uint64_t>(index), &length, ZIP_FL_ENC_GUESS);
    if (!comment)
        throw ArchiveError("no entry " + std::to_string(index) + " in " + path_);
    return std::string(comment, length);
}

std::uint64_t ZipReader::entrySize(std::int64_t index) const {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) < 0 ||
        !(st.valid & ZIP_STAT_SIZE))
        throw ArchiveError("no entry " + std::to_string(index) + " in " + path_);
    return st.size;
}

fs::path ZipReader::extract(std::int64_t index, const fs::path& folder,
                            std::uint64_t maxBytes) const {
    const std::string name = entryName(index);
    if (!isSafeEntryName(name))
        throw ArchiveError("refused entry name \"" + name + "\" in " + path_);
    const std::uint64_t declared = entrySize(index);
    if (declared > maxBytes)
        throw ArchiveError("entry " + name + " of " + path_ + " is too large");

    std::unique_ptr<zip_file_t, FileCloser> in(
        zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0));
    if (!in)
        throw ArchiveError("cannot read " + name + " in " + path_ + ": " + zip_strerror(zip_));

    const fs::path target = targetFor(folder, name);
    TempFile temp(folder / name);
    char buffer[65536];
    std::uint64_t total = 0;
    for (;;) {
        zip_int64_t n = zip_fread(in.get(), buffer, sizeof buffer);
        if (n < 0)
            throw ArchiveError("cannot read " + name + " in " + path_ + ": " +
                               zip_file_strerror(in.get()));
        if (n == 0)
            break;
        total += static_cast<std::uint64_t>(n);
        // libzip compares the bytes with the declared size only at the end of the entry; the
        // callers' checks (free space, limits) went by the declared size, so not one byte more
        // is written.
        if (total > declared)
            throw ArchiveError("entry " + name + " of " + path_ + " holds more than the " +
                               std::to_string(declared) + " bytes it declares");
        temp.write(buffer, static_cast<std::size_t>(n));
    }
    temp.commit(target);
    return target;
}

std::string ZipReader::readAll(std::int64_t index, std::uint64_t maxBytes) const {
    maxBytes = std::min(maxBytes, entrySize(index));
    std::unique_ptr<zip_file_t, FileCloser> in(
        zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0));
    if (!in)
        throw ArchiveError("cannot read entry " + std::to_string(index) + " in " + path_);
    std::string data;
    char buffer[65536];
    for (;;) {
        zip_int64_t n = zip_fread(in.get(), buffer, sizeof buffer);
        if (n < 0)
            throw ArchiveError("cannot read entry " + std::to_string(index) + " in " + path_);
        if (n == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
        if (data.size() > maxBytes)
            throw ArchiveError("entry " + std::to_string(index) + " of " + path_ + " is too large");
    }
    return data;
}

} // namespace brevant::archive
