#include "control/LocaleCharset.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace mailvane::detail {

namespace {

std::string environmentLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

// Letters and digits only, lower-cased: "en_US.UTF-8" and "utf8" compare alike.
std::string simplified(std::string_view name) {
    std::string text;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool isShiftJisName(std::string_view name) {
    const std::string text = simplified(name);
    // Locale names carry the set after a dot ("ja_jp.sjis"), so compare the ends.
    for (std::string_view set : {"shiftjis", "sjis", "cp932", "windows31j", "mskanji"})
        if (text.size() >= set.size() &&
            text.compare(text.size() - set.size(), set.size(), set) == 0)
            return true;
    return false;
}

namespace {

bool isUtf8Name(std::string_view name) {
    const std::string text = simplified(name);
    return text.size() >= 4 && text.compare(text.size() - 4, 4, "utf8") == 0;
}

// Asks the C library about the environment's locale without touching the process locale; a
// locale that is not installed is judged by its name.
bool localeCharsetIs(bool (*matches)(std::string_view)) {
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        const bool found = matches(nl_langinfo_l(CODESET, locale));
        freelocale(locale);
        if (found)
            return true;
    }
    return matches(environmentLocale());
}

} // namespace

bool localeUsesUtf8() {
    return localeCharsetIs(isUtf8Name);
}

bool localeUsesShiftJis() {
    return localeCharsetIs(isShiftJisName);
}

} // namespace mailvane::detail
