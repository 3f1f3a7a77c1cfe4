#pragma once
// The texts that go into command lines, checked before anything is sent: a CR, LF or NUL in a
// command would end it early and let the rest of the value run as a command of its own (a
// second MAIL FROM after EHLO, extra RCPT commands), so such a value is refused with 167.
#include "net/Status.h"
#include "smtp/MessageText.h"

#include <string>
#include <string_view>
#include <vector>

namespace mailvane::smtp {

inline constexpr int kUnsafeCommandText = 167;

inline constexpr const char* kUnsafeGreetingNameText =
    "The greeting name (LocalHost) holds a line break or NUL character.";
inline constexpr const char* kUnsafeLoginText =
    "The login name or password holds a line break or NUL character.";
inline constexpr const char* kUnsafeSenderText =
    "The sender (From) holds a line break or NUL character.";
inline constexpr const char* kUnsafeCommandLineText =
    "A command holds a line break or NUL character.";

// Whether the text holds a CR, LF or NUL.
bool breaksCommandLine(std::string_view text);

// The envelope is taken from the unfolded values, so that a fold the header needs never ends up
// inside a command.
std::string envelopeSenderCommand(const std::string& from);
std::vector<std::string> envelopeRecipients(const std::string& list);

// Every command text the transaction would write for this greeting name, login and message,
// checked before the connection is opened: ok, or 167 with the text naming the value.
net::Status checkCommandTexts(const std::string& greetingName, const std::string& loginUser,
                              const std::string& loginPassword, const MailMessage& message);

} // namespace mailvane::smtp
