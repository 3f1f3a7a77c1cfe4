// miscStuff: dates, numbers, sizes, waiting and counting files. The shell, printer and window
// operations are in miscStuffShell.cpp and miscStuffWindows.cpp.
#include "harlix/miscStuff.h"

#include "harlix/ComError.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

namespace harlix {
namespace {

namespace chr = std::chrono;

bool readInt(std::string_view s, int& out) {
    if (s.empty() || s.size() > 9)
        return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

// Two-digit years as the classic date parser read them: 0-29 are 2000s, 30-99 1900s.
int fullYear(int year, size_t digits) {
    if (digits <= 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

std::optional<chr::year_month_day> parseDate(const std::string& text) {
    std::string_view s = text;
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    // A time after the date is allowed and ignored.
    size_t space = s.find_first_of(" T");
    std::string_view date = s.substr(0, space);
    int y = 0, m = 0, d = 0;
    if (size_t a = date.find('-'); a != std::string_view::npos) {
        size_t b = date.find('-', a + 1);
        if (b == std::string_view::npos || a != 4 || !readInt(date.substr(0, a), y) ||
            !readInt(date.substr(a + 1, b - a - 1), m) || !readInt(date.substr(b + 1), d))
            return std::nullopt;
    } else if (size_t a = date.find('/'); a != std::string_view::npos) {
        size_t b = date.find('/', a + 1);
        if (b == std::string_view::npos || !readInt(date.substr(0, a), m) ||
            !readInt(date.substr(a + 1, b - a - 1), d) || !readInt(date.substr(b + 1), y))
            return std::nullopt;
        size_t yearDigits = date.size() - b - 1;
        if (yearDigits != 2 && yearDigits != 4)
            return std::nullopt;
        y = fullYear(y, yearDigits);
    } else {
        return std::nullopt;
    }
    chr::year_month_day ymd{chr::year(y), chr::month(static_cast<unsigned>(m)),
                            chr::day(static_cast<unsigned>(d))};
    if (!ymd.ok() || y < 100 || y > 9999)
        return std::nullopt;
    return ymd;
}

std::string formatDate(const chr::year_month_day& ymd) {
    return std::to_string(static_cast<unsigned>(ymd.month())) + "/" +
           std::to_string(static_cast<unsigned>(ymd.day())) + "/" +
           std::to_string(static_cast<int>(ymd.year()));
}

std::string stepToWeekday(const std::string& dateInWeek, chr::weekday target, int step,
                          const char* source) {
    auto ymd = parseDate(dateInWeek);
    if (!ymd)
        throw ComError(-21, source, "Invalid date specified.");
    chr::sys_days day{*ymd};
    while (chr::weekday(day) != target)
        day += chr::days(step);
    return formatDate(chr::year_month_day(day));
}

constexpr const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

void pumpEvents() {
    auto* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents();
}

} // namespace

void miscStuff::Wait(std::int32_t numMilliseconds) {
    if (numMilliseconds > 0)
        std::this_thread::sleep_for(chr::milliseconds(numMilliseconds));
}

std::string miscStuff::GetSaturdayOfWeek(const std::string& dateInWeek) {
    return stepToWeekday(dateInWeek, chr::Saturday, +1, "GetSaturdayOfWeek");
}

std::string miscStuff::GetSundayOfWeek(const std::string& dateInWeek) {
    return stepToWeekday(dateInWeek, chr::Sunday, -1, "GetSundayOfWeek");
}

std::int16_t miscStuff::LastDayOfMonth(std::int16_t intMonth, std::int16_t intYear) {
    switch (intMonth) {
    case 2: {
        int year = intYear >= 0 && intYear < 100 ? fullYear(intYear, 2) : intYear;
        return chr::year(year).is_leap() ? 29 : 28;
    }
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    default:
        return 0;
    }
}

std::int32_t miscStuff::NumFilesInDir(const std::string& dirName) {
    namespace fs = std::filesystem;
    filesCounted_ = 0;
    std::error_code ec;
    if (!fs::is_directory(dirName, ec))
        return 0;
    // Unreadable folders below are skipped rather than ending the count.
    fs::recursive_directory_iterator it(dirName, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc))
            continue;
        if (++filesCounted_ % 10 == 0)
            pumpEvents();
    }
    return filesCounted_;
}

std::string miscStuff::BaseConvert(const std::string& inputValue, std::int32_t inputBase,
                                   std::int32_t outputBase) {
    if (inputBase < 2 || inputBase > 36 || outputBase < 2 || outputBase > 36)
        throw ComError(-1, "BaseConvert - validate",
                       "Invalid base specified. Valid values are 2-36.");
    const std::string error = "Conversion Error";
    size_t b = inputValue.find_first_not_of(' ');
    size_t e = inputValue.find_last_not_of(' ');
    std::string value = b == std::string::npos ? std::string() : inputValue.substr(b, e - b + 1);
    if (inputBase == outputBase)
        return value;
    if (value.empty())
        return error;
    // The value must fit in 14 decimal digits.
    if (static_cast<double>(value.size()) * std::log(inputBase) / std::log(10.0) > 14.0)
        return error;
    std::int64_t number = 0;
    for (char c : value) {
        const char* at = std::strchr(kDigits, std::toupper(static_cast<unsigned char>(c)));
        if (c == '\0' || !at || at - kDigits >= inputBase)
            return error;
        number = number * inputBase + (at - kDigits);
    }
    if (outputBase == 10)
        return std::to_string(number);
    std::string out;
    do {
        out += kDigits[number % outputBase];
        number /= outputBase;
    } while (number > 0);
    std::reverse(out.begin(), out.end());
    return out;
}

std::string miscStuff::FormatSize(std::int64_t llAmount) {
    if (llAmount < 0) {
        std::string text = "-";
        text += FormatSize(llAmount == INT64_MIN ? INT64_MAX : -llAmount);
        return text;
    }
    auto n = static_cast<unsigned __int128>(llAmount);
    if (n < 1024)
        return std::to_string(llAmount) + " bytes";
    static const char* units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    unsigned __int128 scale = 1024;
    int unit = 0;
    // The largest unit that keeps the number below 1000.
    while (unit < 5 && n / scale >= 1000) {
        scale *= 1024;
        ++unit;
    }
    unsigned __int128 whole = n / scale;
    int decimals = whole < 10 ? 2 : whole < 100 ? 1 : 0;
    unsigned __int128 pow10 = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
    // Cut, not rounded, to three significant digits.
    auto fixed = static_cast<std::uint64_t>(n * pow10 / scale);
    std::string digits = std::to_string(fixed);
    if (decimals > 0) {
        auto d = static_cast<size_t>(decimals);
        if (digits.size() <= d)
            digits = std::string(d + 1 - digits.size(), '0') + digits;
        digits = digits.substr(0, digits.size() - d) + "." + digits.substr(digits.size() - d);
    }
    return digits + " " + units[unit];
}

} // namespace harlix
