#include "mime/MimeErrors.h"

namespace mailvane::mime {

const char* mimeErrorText(int code) {
    switch (code) {
    case kCantCreateForWrite:
        return "Can't create the file for write (illegal name ?)";
    case kCantOpenForRead:
        return "Can't open the file for read (doesn't exist?)";
    case kCantRead:
        return "Can't read from file";
    case kCantWrite:
        return "Can't write to file (disk full?)";
    case kFileNameTooLong:
        return "The given filename doesn't exist";
    case kCantCreateTempFile:
        return "Can't create temp file.";
    case kOutOfMemory:
        return "Out of memory.";
    case kInvalidPartIndex:
        return "Invalid PartIdx";
    case kNoFileGiven:
        return "No file given";
    default:
        return "";
    }
}

} // namespace mailvane::mime
