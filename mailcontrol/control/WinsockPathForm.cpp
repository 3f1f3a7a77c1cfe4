#include "control/WinsockPathForm.h"

namespace mailvane::detail {

namespace {

constexpr std::size_t kUserPrefixLength = 7;      // "*U" and five more before the name
constexpr std::size_t kPasswordPrefixLength = 11; // "*P" and nine more before the password

} // namespace

WinsockPathForm classifyWinsockPath(const std::string& value, std::string& payload) {
    payload.clear();
    if (value.size() < 2 || value[0] != '*' || (value[1] != 'U' && value[1] != 'P'))
        return WinsockPathForm::Library;
    const bool user = value[1] == 'U';
    const std::size_t prefix = user ? kUserPrefixLength : kPasswordPrefixLength;
    if (value.size() < prefix)
        return WinsockPathForm::Ignored;
    payload = value.substr(prefix);
    return user ? WinsockPathForm::User : WinsockPathForm::Password;
}

} // namespace mailvane::detail
