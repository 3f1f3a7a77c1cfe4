#pragma once
// Line breaks inside header values. A stored value may hold folds (CRLF followed by a blank or
// tab, inserted by folding or written by the host); any other CR or LF would start a header
// line of its own, or, inside a command, a command of its own.
#include "smtp/MessageText.h"

#include <string>
#include <string_view>

namespace mailvane::smtp {

// The value as one line: every CRLF that is followed by a blank or tab is removed.
std::string unfoldHeaderValue(std::string_view value);

// The value as it may go into the header block: folds are kept, every other CR or LF becomes a
// blank.
std::string headerValueOnWire(std::string_view value);

// The header fields of the message (From, SendTo, Cc, Subject, ReplyTo, MessageDate, the
// charset mode and the header text H) with their values as they may go on the wire; the body
// and the envelope-only BCc are left out.
MailMessage headerFieldsOnWire(const MailMessage& message);

} // namespace mailvane::smtp
