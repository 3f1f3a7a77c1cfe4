#include "platform/archive/ZipWriter.h"

#include "platform/archive/ArchiveError.h"
#include "platform/archive/TempFile.h"

#include <algorithm>
#include <zip.h>

namespace brevant::archive {

namespace fs = std::filesystem;

namespace {

// libzip removes an archive that would have no entries, but an empty archive is a reply in its
// own right ("these documents are no longer available"), so it is written by hand: a zip with no
// entries is just the end-of-central-directory record.
void writeEmptyZip(TempFile& file) {
    static const char record[22] = {'P', 'K', 5, 6};
    file.write(record, sizeof record);
}

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

} // namespace

ZipWriter::ZipWriter(fs::path path) : path_(std::move(path)) {}

void ZipWriter::addFile(const std::string& entryName, const fs::path& source, std::string comment) {
    entries_.push_back(Entry{entryName, source, {}, true, std::move(comment)});
}

void ZipWriter::addBytes(const std::string& entryName, std::string bytes, std::string comment) {
    entries_.push_back(Entry{entryName, {}, std::move(bytes), false, std::move(comment)});
}

void ZipWriter::write() const {
    TempFile temp(path_);
    if (entries_.empty()) {
        writeEmptyZip(temp);
    } else {
        // libzip reopens the file by name, treats it as a new archive (ZIP_TRUNCATE) and
        // replaces it by rename when closing, so it never writes through what is there either.
        temp.close();
        int code = 0;
        zip_t* za = zip_open(temp.path().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!za)
            throw ArchiveError("cannot create " + path_.string() + ": " + zipErrorText(code));
        for (const Entry& e : entries_) {
            zip_source_t* src = e.fromFile
                                    ? zip_source_file(za, e.source.c_str(), 0, -1)
                                    : zip_source_buffer(za, e.bytes.data(), e.bytes.size(), 0);
            const zip_int64_t index =
                src ? zip_file_add(za, e.name.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0 ||
                (!e.comment.empty() &&
                 zip_file_set_comment(za, zip_uint64_t(index), e.comment.data(),
                                      zip_uint16_t(std::min<size_t>(e.comment.size(), 0xffff)),
                                      ZIP_FL_ENC_UTF_8) < 0)) {
                std::string why = zip_strerror(za);
                if (src && index < 0)
                    zip_source_free(src);
                zip_discard(za);
                throw ArchiveError("cannot add " + e.name + " to " + path_.string() + ": " + why);
            }
        }
        if (zip_close(za) < 0) {
            std::string why = zip_strerror(za);
            zip_discard(za);
            throw ArchiveError("cannot write " + path_.string() + ": " + why);
        }
    }
    temp.commit(path_);
}

} // namespace brevant::archive
