#include "harlix/RegSettings.h"

#include "RegistryFile.h"
#include "harlix/ComError.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace harlix {
namespace {

constexpr auto E_INVALIDARG = static_cast<std::int32_t>(0x80070057u);
constexpr auto E_FAIL = static_cast<std::int32_t>(0x80004005u);

std::string keyPath(const std::string& app, const std::string& section) {
    return "SOFTWARE\\" + app + "\\" + section;
}

// A section path is written on a line of its own between brackets.
void checkKeyName(const std::string& name, const char* operation) {
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f)
            throw ComError(E_INVALIDARG, std::string("RegSettings.") + operation,
                           "Application and section names cannot hold control characters.");
}

std::string dwordText(const std::string& value) {
    size_t b = value.find_first_not_of(" \t");
    size_t e = value.find_last_not_of(" \t");
    if (b == std::string::npos)
        throw ComError(E_INVALIDARG, "RegSettings.SaveSetting",
                       "Type mismatch: a number value cannot be empty.");
    std::string_view digits(value.data() + b, e - b + 1);
    if (digits.front() == '+')
        digits.remove_prefix(1);
    std::int32_t n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec == std::errc::result_out_of_range)
        throw ComError(E_INVALIDARG, "RegSettings.SaveSetting",
                       "Overflow: \"" + value + "\" does not fit in a 32-bit number.");
    if (ec != std::errc() || end != digits.data() + digits.size())
        throw ComError(E_INVALIDARG, "RegSettings.SaveSetting",
                       "Type mismatch: \"" + value + "\" is not a whole number.");
    return std::to_string(n);
}

} // namespace

std::string RegSettings::get_FileName() const {
    return detail::registryPath();
}

std::string RegSettings::GetSetting(const std::string& vsAppname, const std::string& vsSection,
                                    const std::string& vsEntry,
                                    const std::string& vsDefault) const {
    auto content = detail::readRegistry(detail::registryPath());
    if (!content)
        return vsDefault;
    auto file = detail::RegistryFile::parse(*content);
    const auto* line = file.find(keyPath(vsAppname, vsSection), vsEntry);
    if (!line || line->data.empty())
        return vsDefault;
    return line->data;
}

void RegSettings::SaveSetting(const std::string& vsAppname, const std::string& vsSection,
                              const std::string& vsEntry, const std::string& vsValue,
                              RegType vsType) {
    checkKeyName(vsAppname, "SaveSetting");
    checkKeyName(vsSection, "SaveSetting");
    detail::ValueKind kind;
    std::string data;
    switch (vsType) {
    case vsStringVal:
        kind = detail::ValueKind::String;
        data = vsValue;
        break;
    case vsDWORDVal:
        kind = detail::ValueKind::DWord;
        data = dwordText(vsValue);
        break;
    default:
        throw ComError(E_INVALIDARG, "RegSettings.SaveSetting",
                       "Unknown value type " + std::to_string(static_cast<int>(vsType)) + ".");
    }
    std::string path = detail::registryPath();
    try {
        detail::updateRegistry(path, [&](detail::RegistryFile& file) {
            file.set(keyPath(vsAppname, vsSection), vsEntry, kind, data);
            return true;
        });
    } catch (const std::system_error& e) {
        throw ComError(E_FAIL, "RegSettings.SaveSetting",
                       std::string("Could not save the setting: ") + e.what() + ".");
    }
}

bool RegSettings::DeleteSetting(const std::string& vsAppname, const std::string& vsSection,
                                const std::string& vsEntry) {
    std::string path = detail::registryPath();
    auto content = detail::readRegistry(path);
    if (!content ||
        !detail::RegistryFile::parse(*content).find(keyPath(vsAppname, vsSection), vsEntry))
        return false;
    bool removed = false;
    try {
        detail::updateRegistry(path, [&](detail::RegistryFile& file) {
            removed = file.erase(keyPath(vsAppname, vsSection), vsEntry) > 0;
            return removed;
        });
    } catch (const std::system_error&) {
        return false;
    }
    return removed;
}

bool RegSettings::DeleteAppEntries(const std::string& vsAppname) {
    // An empty name would name all of SOFTWARE.
    if (vsAppname.empty())
        return false;
    std::string root = "SOFTWARE\\" + vsAppname;
    std::string path = detail::registryPath();
    auto content = detail::readRegistry(path);
    if (!content || detail::RegistryFile::parse(*content).eraseTree(root) == 0)
        return false;
    bool removed = false;
    try {
        detail::updateRegistry(path, [&](detail::RegistryFile& file) {
            removed = file.eraseTree(root) > 0;
            return removed;
        });
    } catch (const std::system_error&) {
        return false;
    }
    return removed;
}

} // namespace harlix
