#pragma once
// A file reference list: the success text of a listing, update or documents request,
// "URL,size[,...]". Only the first two elements are used.
#include <QString>
#include <cstdint>

namespace brevant::server {

struct FileReference {
    QString url;
    std::int64_t size = 0; // element 1 as a number; 0 when missing or not a number
    // The URL's part after its last "/" (the whole URL when it has none).
    QString fileName() const;
};

FileReference ParseFileReference(const QString& replyText);

} // namespace brevant::server
