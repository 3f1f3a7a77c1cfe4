#include "net/HostName.h"

#include <algorithm>

namespace mailvane::net {

namespace {

constexpr std::size_t kMaxHostName = 255;

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

bool isHostNameOrAddress(std::string_view name) {
    if (name.empty() || name.size() > kMaxHostName) {
        return false;
    }
    if (name.front() == '[') {
        const std::string_view inside = name.substr(1, name.size() - 1);
        return name.size() > 2 && name.back() == ']' &&
               std::all_of(inside.begin(), inside.end() - 1,
                           [](char c) { return isHexDigit(c) || c == ':' || c == '.'; });
    }
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return isAsciiAlnum(c) || c == '-' || c == '_' || c == '.'; });
}

} // namespace mailvane::net
