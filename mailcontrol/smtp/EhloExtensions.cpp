#include "smtp/EhloExtensions.h"

#include <cctype>
#include <sstream>

namespace mailvane::smtp {

namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

EhloExtensions parseEhloReply(const std::vector<std::string>& lines) {
    EhloExtensions found;
    // The first line is the greeting ("250-name says hello"); keywords follow the code.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() < 4 || line.compare(0, 3, "250") != 0) {
            continue;
        }
        std::istringstream words(upper(line.substr(4)));
        std::string keyword;
        words >> keyword;
        if (keyword == "STARTTLS") {
            found.startTls = true;
            continue;
        }
        std::string mechanism;
        if (keyword == "AUTH") {
            words >> mechanism;
        } else if (keyword.rfind("AUTH=", 0) == 0) {
            mechanism = keyword.substr(5);
        } else {
            continue;
        }
        do {
            found.authPlain = found.authPlain || mechanism == "PLAIN";
            found.authLogin = found.authLogin || mechanism == "LOGIN";
        } while (words >> mechanism);
    }
    return found;
}

} // namespace mailvane::smtp
