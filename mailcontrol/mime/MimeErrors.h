#pragma once
// Failure codes of message composition and their fixed texts. Composition throws MimeFailure;
// the control turns it into the error Send raises.
#include <stdexcept>
#include <string>

namespace mailvane::mime {

enum MimeCode : int {
    kCantCreateForWrite = 3,
    kCantOpenForRead = 4,
    kCantRead = 5,
    kCantWrite = 6,
    kFileNameTooLong = 16,
    kCantCreateTempFile = 170,
    kOutOfMemory = 200,
    kInvalidPartIndex = 280,
    kNoFileGiven = 283,
};

// The fixed text of a composition code ("" for codes that are not composition codes).
const char* mimeErrorText(int code);

class MimeFailure : public std::runtime_error {
public:
    explicit MimeFailure(int code) : std::runtime_error(mimeErrorText(code)), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

} // namespace mailvane::mime
