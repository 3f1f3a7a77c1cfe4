#pragma once
// The success handling of a file reference list (listing, update, documents): the archive named
// in the reply is downloaded into the "Download" folder and unpacked. Failures show the kind's
// message ("System Message", critical icon), restore the pointer and empty the status; the
// owner then resets its own state.
#include "server/RequestKind.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace brevant::server {

struct FetchOptions {
    // Where entry 0 is unpacked (listing and update: the program folder).
    QString unpackFolder;
    // Unpacks in the owner's own way instead (documents); true on success.
    std::function<bool(const QString& archivePath)> unpack;
    // Bytes received and the size announced by the server (or by HTTP; -1 when unknown).
    std::function<void(std::int64_t received, std::int64_t total)> progress;
};

struct FetchedArchive {
    bool ok = false;
    QString archivePath;            // the downloaded archive in the "Download" folder
    QString unpackedPath;           // the file unpacked (default unpacking only)
    std::int64_t announcedSize = 0; // element 1 of the reference list
};

// Shows the kind's retrieving text in the status, downloads element 0 of the reply to
// Download/<the URL's last segment> and unpacks it.
FetchedArchive FetchArchive(RequestKind kind, const QString& replyText,
                            const FetchOptions& options);

} // namespace brevant::server
