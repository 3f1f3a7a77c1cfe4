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

} // namespace

bool isShiftJisName(std::string_view name) {
    std::string text;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Locale names carry the set after a dot ("ja_jp.sjis"), so compare the ends.
    for (std::string_view set : {"shiftjis", "sjis", "cp932", "windows31j", "mskanji"})
        if (text.size() >= set.size() &&
            text.compare(text.size() - set.size(), set.size(), set) == 0)
            return true;
    return false;
}

namespace {

bool isUtf8Name(std::string_view name) {
    std::string text;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.size() >= 4 && text.compare(text.size() - 4, 4, "utf8") == 0;
}

} // namespace

bool localeUsesUtf8() {
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        const bool utf8 = isUtf8Name(nl_langinfo_l(CODESET, locale));
        freelocale(locale);
        if (utf8)
            return true;
    }
    return isUtf8Name(environmentLocale());
}

bool localeUsesShiftJis() {
    // Ask the C library about the environment's locale without touching the process locale;
    // a locale that is not installed is judged by its name.
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        const bool shiftJis = isShiftJisName(nl_langinfo_l(CODESET, locale));
        freelocale(locale);
        if (shiftJis)
            return true;
    }
    return isShiftJisName(environmentLocale());
}

} // namespace mailvane::detail
