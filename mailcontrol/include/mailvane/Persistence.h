#pragma once
// Loosely typed property values and the two places a host keeps a control's properties: a
// property bag (name -> value) and a storage holding a byte stream named "Contents".
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace mailvane {

// Empty, Boolean, 16-bit, 32-bit, text (8-bit, any bytes), byte array.
using PropertyValue = std::variant<std::monostate, bool, std::int16_t, std::int32_t, std::string,
                                   std::vector<std::uint8_t>>;

class IPropertyBag {
public:
    virtual ~IPropertyBag() = default;
    // False when the bag holds no value of that name.
    virtual bool Read(const std::string& name, PropertyValue& value) = 0;
    virtual void Write(const std::string& name, const PropertyValue& value) = 0;
};

class IStorage {
public:
    virtual ~IStorage() = default;
    // A new (or emptied) stream of that name to write; null when it cannot be made.
    virtual std::unique_ptr<std::ostream> CreateStream(const std::string& name) = 0;
    // The stream of that name to read; null when there is none.
    virtual std::unique_ptr<std::istream> OpenStream(const std::string& name) = 0;
};

// The name of the stream a storage-based host keeps the control's properties in.
inline constexpr const char* kContentsStreamName = "Contents";

} // namespace mailvane
