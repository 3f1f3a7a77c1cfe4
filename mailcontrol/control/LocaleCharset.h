#pragma once
// Whether the user's locale uses the Shift_JIS character set (the control's Japanese mode).
#include <string_view>

namespace mailvane::detail {

// From the character set of the environment's LC_ALL / LC_CTYPE / LANG locale.
bool localeUsesShiftJis();

// Whether the environment's locale uses UTF-8 (the control's UTF-8 mode).
bool localeUsesUtf8();

// Whether a character-set or locale name ("ja_JP.SJIS", "SHIFT_JIS", "cp932") means Shift_JIS.
bool isShiftJisName(std::string_view name);

} // namespace mailvane::detail
