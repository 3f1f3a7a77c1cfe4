#pragma once
// Base64 for the short texts of proxy and SMTP logins.
#include <string>

namespace mailvane::net {

std::string base64Encode(const std::string& bytes);

} // namespace mailvane::net
