#pragma once
// The system's message text for an error code (an errno value on this platform).
#include <cstdint>
#include <string>

namespace harlix::modResources {

// For example GetErrorText(2) is "No such file or directory"; unknown codes give
// "Unknown error <code>".
std::string GetErrorText(std::int32_t code);

} // namespace harlix::modResources
