#include "harlix/modResources.h"

#include <cstring>

namespace harlix::modResources {

std::string GetErrorText(std::int32_t code) {
    char buf[2048];
    // The GNU strerror_r returns the text, which may or may not be in buf.
    const char* text = ::strerror_r(code, buf, sizeof buf);
    return text ? std::string(text) : "Unknown error " + std::to_string(code);
}

} // namespace harlix::modResources
