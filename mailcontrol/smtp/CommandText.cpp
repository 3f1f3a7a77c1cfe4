#include "smtp/CommandText.h"

#include "smtp/AddressList.h"
#include "smtp/HeaderLineBreaks.h"

namespace mailvane::smtp {

namespace {

net::Status checkRecipients(const std::string& list, const char* field) {
    for (const std::string& address : envelopeRecipients(list)) {
        if (breaksCommandLine(address)) {
            return {kUnsafeCommandText, std::string("A recipient (") + field +
                                            ") holds a line break or NUL character."};
        }
    }
    return {};
}

} // namespace

bool breaksCommandLine(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string envelopeSenderCommand(const std::string& from) {
    return mailFromCommand(unfoldHeaderValue(from));
}

std::vector<std::string> envelopeRecipients(const std::string& list) {
    return splitAddressList(unfoldHeaderValue(list));
}

net::Status checkCommandTexts(const std::string& greetingName, const std::string& loginUser,
                              const std::string& loginPassword, const MailMessage& message) {
    if (breaksCommandLine(greetingName)) {
        return {kUnsafeCommandText, kUnsafeGreetingNameText};
    }
    // The login travels base64-encoded, but a NUL or line break in it is no login a server
    // can mean, and it would split the fields of a login that packs them into one line.
    if (!loginUser.empty() && !loginPassword.empty() &&
        (breaksCommandLine(loginUser) || breaksCommandLine(loginPassword))) {
        return {kUnsafeCommandText, kUnsafeLoginText};
    }
    if (!message.from.empty() && breaksCommandLine(envelopeSenderCommand(message.from))) {
        return {kUnsafeCommandText, kUnsafeSenderText};
    }
    net::Status status = checkRecipients(message.sendTo, "To");
    if (status.ok()) {
        status = checkRecipients(message.cc, "Cc");
    }
    if (status.ok()) {
        status = checkRecipients(message.bcc, "BCc");
    }
    return status;
}

} // namespace mailvane::smtp
