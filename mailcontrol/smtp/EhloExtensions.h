#pragma once
// What a server offers in its reply to EHLO: STARTTLS and the AUTH mechanisms.
#include <string>
#include <vector>

namespace mailvane::smtp {

struct EhloExtensions {
    bool startTls = false;
    bool authPlain = false;
    bool authLogin = false;
};

// Reads the lines of an EHLO reply ("250-STARTTLS", "250 AUTH LOGIN PLAIN", the older
// "250-AUTH=PLAIN"); keywords are compared without regard to case.
EhloExtensions parseEhloReply(const std::vector<std::string>& lines);

} // namespace mailvane::smtp
