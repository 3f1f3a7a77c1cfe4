#pragma once
// The user's CUPS options file (~/.cups/lpoptions): which destination is the default.
// Private to the library.
#include <string>

namespace harlix::detail {

// The file's content with `name` as the only "Default" line: the former default becomes a
// plain "Dest" line, and the options an existing "Dest name" line carries are kept.
std::string withDefaultDestination(const std::string& content, const std::string& name);

// $HOME/.cups/lpoptions.
std::string userLpOptionsPath();

// Rewrites the user's file atomically; throws std::system_error.
void setUserDefaultDestination(const std::string& name);

} // namespace harlix::detail
