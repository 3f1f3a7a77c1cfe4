#pragma once
// The success handling of a file reference list (listing, update, documents): the archive named
// in the reply is downloaded into the "Download" folder and unpacked. Failures show the kind's
// message ("System Message", critical icon), restore the pointer and empty the status; the
// owner then resets its own state.
#include "platform/archive/TempFolder.h"
#include "server/RequestKind.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace brevant::server {

struct FetchOptions {
    // Unpacks in the owner's own way (documents); true on success. Without it entry 0 is
    // unpacked into a folder of its own under "Download" (listing and update).
    std::function<bool(const QString& archivePath)> unpack;
    // Bytes received and the size announced by the server (or by HTTP; -1 when unknown).
    std::function<void(std::int64_t received, std::int64_t total)> progress;
    // True once the user cancelled: the download stops, nothing is unpacked, no file is left
    // and no failure is shown.
    std::function<bool()> cancelled;
};

struct FetchedArchive {
    bool ok = false;
    bool cancelled = false;         // stopped by FetchOptions::cancelled; nothing was kept
    QString archivePath;            // the downloaded archive in the "Download" folder
    QString unpackedPath;           // the file unpacked (default unpacking only)
    std::int64_t announcedSize = 0; // element 1 of the reference list
    // The folder unpackedPath lies in; removed with the file when the last copy of this goes,
    // so the consumer reads the file while it holds the result.
    std::shared_ptr<const archive::TempFolder> unpackFolder;
};

// Shows the kind's retrieving text in the status, downloads element 0 of the reply to
// Download/<the URL's last segment> and unpacks it. The default unpacking makes a new folder
// under "Download" for entry 0 (the entry's name never meets a file of the program) and deletes
// the archive; after an unpack failure the archive stays.
FetchedArchive FetchArchive(RequestKind kind, const QString& replyText,
                            const FetchOptions& options);

} // namespace brevant::server
