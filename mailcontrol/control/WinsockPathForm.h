#pragma once
// WinsockPath carries, besides the socket library's name, the SMTP login: a value starting
// "*U" gives the user name from its eighth character on, "*P" the password from its twelfth.
#include <string>

namespace mailvane::detail {

enum class WinsockPathForm {
    Library,  // names the socket library to load next time
    User,     // payload is the SMTP login user name
    Password, // payload is the SMTP login password
    Ignored,  // a login form too short to carry anything
};

WinsockPathForm classifyWinsockPath(const std::string& value, std::string& payload);

} // namespace mailvane::detail
