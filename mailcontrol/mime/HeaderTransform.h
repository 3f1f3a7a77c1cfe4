#pragma once
// What happens to header values when the host writes them: folding at the header width and, in
// Japanese mode, Shift_JIS text wrapped as ISO-2022-JP encoded words.
#include <string>
#include <string_view>

namespace mailvane::mime {

// Folds at width (0 copies unchanged): CR and LF become blanks; once width characters have been
// copied since the last break, the next comma is followed by CRLF TAB and the next blank or tab
// is replaced by it. A separator that is the last character is not followed by a break (a
// trailing blank or tab is dropped there).
std::string foldHeader(std::string_view value, int width);

// "=?ISO-2022-JP?B?" + base64 of the converted Shift_JIS text + "?=".
std::string japaneseEncodedWord(std::string_view shiftJis);

// From, SendTo, Cc, BCc, ReplyTo: in Japanese mode, when the value holds 8-bit text, every
// double-quoted stretch becomes an encoded word (the quotes stay); then folded at width.
std::string transformAddressHeader(std::string_view value, int width, bool japanese);

// Subject: in Japanese mode with 8-bit text, each word (cut at blanks, tabs, commas) holding
// 8-bit bytes becomes an encoded word, long words split over CRLF TAB; otherwise folded.
std::string transformSubject(std::string_view value, int width, bool japanese);

} // namespace mailvane::mime
