// Saving and restoring the stored properties, in table order, to a property bag or a byte
// stream. Restoring puts back what was saved: header values are not folded or encoded again,
// and FirewallType does not reset the saved FirewallPort.
#include "mailvane/Mailvane.h"

#include "control/ControlErrors.h"
#include "control/MailvaneInternal.h"
#include "control/PropertyTable.h"

#include <cstring>
#include <istream>
#include <optional>
#include <ostream>

namespace mailvane {

using namespace detail;

namespace {

constexpr char kStreamMagic[4] = {'M', 'V', 'N', '1'};

[[noreturn]] void damaged() {
    throw ComError(kDamagedDataNumber, kProgId, kDamagedDataText, 0);
}

void writeBytes(std::ostream& out, const void* data, std::size_t length) {
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
}

void writeU32(std::ostream& out, std::uint32_t v) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    writeBytes(out, bytes, 4);
}

std::uint32_t readU32(std::istream& in) {
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        damaged();
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

// One typed value: its kind (the variant index) and little-endian contents.
void writeValue(std::ostream& out, const PropertyValue& value) {
    out.put(static_cast<char>(value.index()));
    std::visit(
        [&out](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                out.put(v ? 1 : 0);
            } else if constexpr (std::is_same_v<T, std::int16_t> ||
                                 std::is_same_v<T, std::int32_t>) {
                writeU32(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
            } else if constexpr (std::is_same_v<T, std::string> ||
                                 std::is_same_v<T, std::vector<std::uint8_t>>) {
                writeU32(out, static_cast<std::uint32_t>(v.size()));
                writeBytes(out, v.data(), v.size());
            }
        },
        value);
}

PropertyValue readValue(std::istream& in) {
    const int kind = in.get();
    switch (kind) {
    case 0:
        return std::monostate{};
    case 1: {
        const int b = in.get();
        if (b != 0 && b != 1)
            damaged();
        return b == 1;
    }
    case 2:
        return static_cast<std::int16_t>(static_cast<std::int32_t>(readU32(in)));
    case 3:
        return static_cast<std::int32_t>(readU32(in));
    case 4:
    case 5: {
        const std::uint32_t length = readU32(in);
        // Read in steps, so a damaged length cannot ask for gigabytes up front.
        std::string bytes;
        char chunk[65536];
        for (std::uint32_t left = length; left > 0;) {
            const std::uint32_t take = std::min<std::uint32_t>(left, sizeof chunk);
            if (!in.read(chunk, take))
                damaged();
            bytes.append(chunk, take);
            left -= take;
        }
        if (kind == 4)
            return bytes;
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    default:
        damaged();
    }
}

} // namespace

void Mailvane::Save(IPropertyBag& bag) const {
    for (const PropertyInfo& info : Properties())
        if (info.persisted)
            bag.Write(info.name, GetProperty(info.dispid));
}

void Mailvane::Load(IPropertyBag& bag) {
    // Every value is restored even when one is refused; the first refusal is raised at the end.
    std::optional<ComError> firstError;
    MailvaneState& s = *state_;
    for (const PropertyInfo& info : Properties()) {
        if (!info.persisted)
            continue;
        PropertyValue value;
        if (!bag.Read(info.name, value))
            continue;
        try {
            const auto* text = std::get_if<std::string>(&value);
            switch (info.dispid) {
            case kBCc:
            case kCc:
            case kDate:
            case kFrom:
            case kMessageDate:
            case kMessageText:
            case kReplyTo:
            case kSendTo:
            case kSubject: {
                if (text == nullptr)
                    damaged();
                std::string* field = info.dispid == kBCc           ? &s.bcc
                                     : info.dispid == kCc          ? &s.cc
                                     : info.dispid == kFrom        ? &s.from
                                     : info.dispid == kMessageText ? &s.messageText
                                     : info.dispid == kReplyTo     ? &s.replyTo
                                     : info.dispid == kSendTo      ? &s.sendTo
                                     : info.dispid == kSubject     ? &s.subject
                                                                   : &s.messageDate;
                *field = *text;
                break;
            }
            case kMailServer:
            case kFirewallHost:
                try {
                    PutProperty(info.dispid, value);
                } catch (const ComError&) {
                    // A name that does not resolve now is kept, so the setting is not lost.
                    if (text == nullptr)
                        throw;
                    if (info.dispid == kMailServer) {
                        s.mailServerName = *text;
                        s.mailServerAddress = 0;
                    } else {
                        s.firewallHostName = *text;
                        s.firewallAddress = 0;
                    }
                    throw;
                }
                break;
            case kFirewallType: {
                const std::int32_t port = s.firewallPort;
                PutProperty(info.dispid, value);
                s.firewallPort = port;
                break;
            }
            default:
                PutProperty(info.dispid, value);
                break;
            }
        } catch (const ComError& error) {
            if (!firstError)
                firstError = error;
        }
    }
    if (firstError)
        throw *firstError;
}

void Mailvane::SaveToStream(std::ostream& stream) const {
    writeBytes(stream, kStreamMagic, sizeof kStreamMagic);
    for (const PropertyInfo& info : Properties())
        if (info.persisted)
            writeValue(stream, GetProperty(info.dispid));
    if (!stream)
        damaged();
}

void Mailvane::LoadFromStream(std::istream& stream) {
    char magic[sizeof kStreamMagic];
    if (!stream.read(magic, sizeof magic) || std::memcmp(magic, kStreamMagic, sizeof magic) != 0)
        damaged();
    // Read everything first, so a damaged stream changes nothing.
    struct Bag : IPropertyBag {
        std::vector<std::pair<std::string, PropertyValue>> values;
        bool Read(const std::string& name, PropertyValue& value) override {
            for (const auto& [n, v] : values)
                if (n == name) {
                    value = v;
                    return true;
                }
            return false;
        }
        void Write(const std::string& name, const PropertyValue& value) override {
            values.emplace_back(name, value);
        }
    } bag;
    for (const PropertyInfo& info : Properties()) {
        if (!info.persisted)
            continue;
        // A stream saved before the security properties existed ends here; they keep their
        // defaults.
        if (info.dispid == kSecurity && stream.peek() == std::char_traits<char>::eof())
            break;
        bag.Write(info.name, readValue(stream));
    }
    Load(bag);
}

void Mailvane::Save(IStorage& storage) const {
    const std::unique_ptr<std::ostream> stream = storage.CreateStream(kContentsStreamName);
    if (!stream)
        damaged();
    SaveToStream(*stream);
    stream->flush();
}

void Mailvane::Load(IStorage& storage) {
    const std::unique_ptr<std::istream> stream = storage.OpenStream(kContentsStreamName);
    if (!stream)
        damaged();
    LoadFromStream(*stream);
}

} // namespace mailvane
