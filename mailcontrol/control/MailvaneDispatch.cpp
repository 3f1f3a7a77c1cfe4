// The property table: one row per property, driving the access checks, access by dispatch
// identifier and persistence.
#include "mailvane/Mailvane.h"

#include "control/ControlErrors.h"
#include "control/PropertyTable.h"

#include <array>
#include <limits>
#include <strings.h>

namespace mailvane {

using namespace detail;

namespace {

using Getter = PropertyValue (*)(const Mailvane&, std::int16_t index);
using Setter = void (*)(Mailvane&, const PropertyValue&, std::int16_t index);

struct Row {
    PropertyInfo info;
    Getter get;
    Setter put; // null for read-only properties
};

[[noreturn]] void typeMismatch(std::int32_t dispid) {
    throw ComError(kTypeMismatchNumber, kProgId, kTypeMismatchText, help(dispid));
}

std::int32_t asInt32(const PropertyValue& value, std::int32_t dispid) {
    if (const auto* v = std::get_if<std::int32_t>(&value))
        return *v;
    if (const auto* v = std::get_if<std::int16_t>(&value))
        return *v;
    if (const auto* v = std::get_if<bool>(&value))
        return *v ? -1 : 0;
    typeMismatch(dispid);
}

std::int16_t asInt16(const PropertyValue& value, std::int32_t dispid) {
    const std::int32_t v = asInt32(value, dispid);
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max())
        throw ComError(kOutOfRangeNumber, kProgId, kOutOfRangeText, help(dispid));
    return static_cast<std::int16_t>(v);
}

bool asBool(const PropertyValue& value, std::int32_t dispid) {
    if (const auto* v = std::get_if<bool>(&value))
        return *v;
    return asInt32(value, dispid) != 0;
}

const std::string& asString(const PropertyValue& value, std::int32_t dispid) {
    if (const auto* v = std::get_if<std::string>(&value))
        return *v;
    typeMismatch(dispid);
}

// Rows for the common shapes of property.
#define MV_STRING(id, Name, rt, persisted)                                                         \
    Row {                                                                                          \
        {id, #Name, PropertyType::String, false, rt, persisted, false, help(id)},                  \
            [](const Mailvane& c, std::int16_t) -> PropertyValue { return c.get_##Name(); },       \
            [](Mailvane& c, const PropertyValue& v, std::int16_t) {                                \
                c.put_##Name(asString(v, id));                                                     \
            }                                                                                      \
    }
#define MV_READONLY(id, Name, kind, rt)                                                            \
    Row {                                                                                          \
        {id, #Name, PropertyType::kind, true, rt, false, false, help(id)},                         \
            [](const Mailvane& c, std::int16_t) -> PropertyValue { return c.get_##Name(); },       \
            nullptr                                                                                \
    }
#define MV_NUMBER(id, Name, kind, convert, rt, persisted)                                          \
    Row {                                                                                          \
        {id, #Name, PropertyType::kind, false, rt, persisted, false, help(id)},                    \
            [](const Mailvane& c, std::int16_t) -> PropertyValue { return c.get_##Name(); },       \
            [](Mailvane& c, const PropertyValue& v, std::int16_t) {                                \
                c.put_##Name(convert(v, id));                                                      \
            }                                                                                      \
    }

const std::array kRows{
    Row{{kAction, "Action", PropertyType::Action, false, false, false, false, help(kAction)},
        [](const Mailvane& c, std::int16_t) -> PropertyValue {
            return static_cast<std::int32_t>(c.get_Action());
        },
        [](Mailvane& c, const PropertyValue& v, std::int16_t) {
            c.put_Action(static_cast<TAction>(asInt32(v, kAction)));
        }},
    MV_NUMBER(kAttachmentCount, AttachmentCount, Int16, asInt16, false, true),
    Row{{kAttachments, "Attachments", PropertyType::String, false, true, false, true,
         help(kAttachments)},
        [](const Mailvane& c, std::int16_t i) -> PropertyValue { return c.get_Attachments(i); },
        [](Mailvane& c, const PropertyValue& v, std::int16_t i) {
            c.put_Attachments(i, asString(v, kAttachments));
        }},
    MV_STRING(kBCc, BCc, false, true),
    MV_STRING(kCc, Cc, false, true),
    MV_STRING(kDate, Date, false, true),
    MV_STRING(kFirewallData, FirewallData, true, false),
    MV_STRING(kFirewallHost, FirewallHost, false, true),
    MV_STRING(kFirewallPassword, FirewallPassword, false, true),
    MV_NUMBER(kFirewallPort, FirewallPort, Int32, asInt32, false, true),
    Row{{kFirewallType, "FirewallType", PropertyType::FirewallType, false, false, true, false,
         help(kFirewallType)},
        [](const Mailvane& c, std::int16_t) -> PropertyValue {
            return static_cast<std::int32_t>(c.get_FirewallType());
        },
        [](Mailvane& c, const PropertyValue& v, std::int16_t) {
            c.put_FirewallType(static_cast<TFirewallType>(asInt32(v, kFirewallType)));
        }},
    MV_STRING(kFirewallUser, FirewallUser, false, true),
    MV_STRING(kFrom, From, false, true),
    MV_READONLY(kLastReply, LastReply, String, false),
    MV_STRING(kLocalHost, LocalHost, false, false),
    MV_NUMBER(kMailPort, MailPort, Int32, asInt32, true, false),
    MV_STRING(kMailServer, MailServer, false, true),
    MV_NUMBER(kMaxHeaderLength, MaxHeaderLength, Int16, asInt16, true, false),
    MV_STRING(kMessageDate, MessageDate, false, true),
    MV_STRING(kMessageText, MessageText, false, true),
    MV_STRING(kOtherHeaders, OtherHeaders, true, false),
    MV_STRING(kReplyTo, ReplyTo, false, true),
    MV_STRING(kSendTo, SendTo, false, true),
    MV_READONLY(kSocketHandle, SocketHandle, Int32, true),
    MV_STRING(kSubject, Subject, false, true),
    MV_NUMBER(kTimeout, Timeout, Int16, asInt16, false, true),
    MV_READONLY(kWinsockInfo, WinsockInfo, String, false),
    MV_NUMBER(kWinsockLoaded, WinsockLoaded, Boolean, asBool, false, true),
    MV_READONLY(kWinsockMaxDatagramSize, WinsockMaxDatagramSize, Int32, true),
    MV_READONLY(kWinsockMaxSockets, WinsockMaxSockets, Int32, true),
    MV_STRING(kWinsockPath, WinsockPath, true, false),
    MV_READONLY(kWinsockStatus, WinsockStatus, String, false),
    Row{{kFirewallDataB, "FirewallDataB", PropertyType::ByteArray, false, true, false, false,
         help(kFirewallDataB)},
        [](const Mailvane& c, std::int16_t) -> PropertyValue { return c.get_FirewallDataB(); },
        [](Mailvane& c, const PropertyValue& v, std::int16_t) { c.put_FirewallDataB(v); }},
    MV_NUMBER(kCharsetMode, CharsetMode, Int32, asInt32, true, false),
    MV_NUMBER(kSecurity, Security, Int32, asInt32, false, true),
    MV_NUMBER(kVerifyCertificate, VerifyCertificate, Boolean, asBool, false, true),
};

#undef MV_STRING
#undef MV_READONLY
#undef MV_NUMBER

const std::array<PropertyInfo, kRows.size()>& infos() {
    static const auto table = [] {
        std::array<PropertyInfo, kRows.size()> out{};
        for (std::size_t i = 0; i < kRows.size(); ++i)
            out[i] = kRows[i].info;
        return out;
    }();
    return table;
}

const Row* findRow(std::int32_t dispid) {
    for (const Row& row : kRows)
        if (row.info.dispid == dispid)
            return &row;
    return nullptr;
}

// Unknown member: the dispatch interface's "member not found".
[[noreturn]] void unknownMember() {
    throw ComError(static_cast<std::int32_t>(0x80020003), kProgId, "Member not found.", 0);
}

} // namespace

std::span<const PropertyInfo> Mailvane::Properties() {
    return infos();
}

const PropertyInfo* Mailvane::FindProperty(std::int32_t dispid) {
    const Row* row = findRow(dispid);
    return row != nullptr ? &infos()[static_cast<std::size_t>(row - kRows.data())] : nullptr;
}

const PropertyInfo* Mailvane::FindProperty(const std::string& name) {
    for (const PropertyInfo& info : infos())
        if (strcasecmp(info.name, name.c_str()) == 0)
            return &info;
    return nullptr;
}

PropertyValue Mailvane::GetProperty(std::int32_t dispid, std::int16_t index) const {
    const Row* row = findRow(dispid);
    if (row == nullptr)
        unknownMember();
    return row->get(*this, index);
}

void Mailvane::PutProperty(std::int32_t dispid, const PropertyValue& value, std::int16_t index) {
    const Row* row = findRow(dispid);
    if (row == nullptr)
        unknownMember();
    checkWrite(dispid);
    row->put(*this, value, index);
}

} // namespace mailvane
