#pragma once
// Shift_JIS text to ISO-2022-JP (JIS X 0208 in ESC $ B runs), as Japanese mail expects:
// half-width katakana become full-width ones, a following (semi-)voiced mark merged where a
// combined character exists; single bytes pass unchanged.
#include <string>
#include <string_view>

namespace mailvane::mime {

// True for a Shift_JIS lead byte (0x81-0x9F, 0xE0-0xEF).
constexpr bool isShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF);
}

std::string shiftJisToIso2022Jp(std::string_view text);

} // namespace mailvane::mime
