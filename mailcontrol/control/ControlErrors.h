#pragma once
// Numbers and texts of the errors the control raises, and the help contexts of its members.
#include <cstdint>
#include <string>

namespace mailvane::detail {

// Property-level failures with fixed numbers.
inline constexpr std::int32_t kRuntimeOnlyNumber = static_cast<std::int32_t>(0x800A018A);
inline constexpr std::int32_t kReadOnlyNumber = static_cast<std::int32_t>(0x800A017F);
inline constexpr std::int32_t kInvalidIndexNumber = static_cast<std::int32_t>(0x800A017D);
inline constexpr std::int32_t kOutOfRangeNumber = static_cast<std::int32_t>(0x800A017C);
inline constexpr std::int32_t kOutOfMemoryNumber = static_cast<std::int32_t>(0x800A0007);
inline constexpr std::int32_t kTypeMismatchNumber = static_cast<std::int32_t>(0x80020005);
inline constexpr std::int32_t kDamagedDataNumber = static_cast<std::int32_t>(0x80004005);

inline constexpr const char* kRuntimeOnlyText =
    "Property is runtime only (no supported in design time).";
inline constexpr const char* kReadOnlyText = "Property is read-only.";
inline constexpr const char* kInvalidIndexText = "Invalid array index.";
inline constexpr const char* kOutOfRangeText = "Value is out of range.";
inline constexpr const char* kByteArrayOnlyText =
    "Property accepts only one-dimensional byte arrays.";
inline constexpr const char* kTypeMismatchText = "Type mismatch.";
inline constexpr const char* kDamagedDataText = "The stored control data is damaged.";

// Codes of the control itself.
enum ControlCode : int {
    kPortWhileConnected = 100,
    kServerWhileConnected = 101,
    kNotFromCode = 164,
    kNoRecipientCode = 165,
    kBusyCode = 166,
    kBadAttachmentIndexCode = 169,
    kOutOfMemoryCode = 200,
    kWaitEndedCode = 301,
};

// Help contexts of the methods.
inline constexpr std::uint32_t kHelpAddAttachment = 44101;
inline constexpr std::uint32_t kHelpDoEvents = 44102;
inline constexpr std::uint32_t kHelpInterrupt = 44103;
inline constexpr std::uint32_t kHelpSend = 44104;

// 0x800A0000 + code + 20001 (codes up to 10000) or + 15001 (socket codes); 0x800A0007 for 200.
std::int32_t errorNumberForCode(int code);

// The description for a failure: the recorded text, else the standard one for the code.
std::string describeFailure(int code, const std::string& recorded);

// The fixed text of a control code ("" when it has none).
const char* controlCodeText(int code);

} // namespace mailvane::detail
