#pragma once
// UTF-8 text in header values and part names (the control's UTF-8 mode): RFC 2047 encoded words
// for a Subject and display names, RFC 2231 parameters for file names. Values that are all
// ASCII are left exactly as the other modes leave them.
#include <string>
#include <string_view>

namespace mailvane::mime {

bool hasEightBit(std::string_view text);

// The text as "=?UTF-8?B?...?=" words of at most 75 characters, separated by single blanks and
// never splitting a UTF-8 character (decoders join adjacent words without the blanks).
std::string utf8EncodedWords(std::string_view text);

// Subject: with 8-bit text the whole value becomes encoded words; then folded at width.
std::string utf8Subject(std::string_view value, int width);

// From, SendTo, Cc, BCc, ReplyTo: the display name of each entry that holds 8-bit text (the text
// before "<", unquoted) becomes encoded words; addresses stay as written; then folded at width.
std::string utf8AddressHeader(std::string_view value, int width);

// An RFC 2231 extended parameter value: "UTF-8''" and the bytes percent-encoded where needed.
std::string rfc2231Value(std::string_view text);

} // namespace mailvane::mime
