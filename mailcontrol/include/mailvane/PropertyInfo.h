#pragma once
// The description of one property of the control: the single table that drives access checks,
// access by dispatch identifier and persistence.
#include "mailvane/Persistence.h"

#include <cstdint>

namespace mailvane {

enum class PropertyType { Action, Int16, Int32, String, Boolean, FirewallType, ByteArray };

struct PropertyInfo {
    std::int32_t dispid;
    const char* name;
    PropertyType type;
    bool readOnly;
    bool runtimeOnlyRead; // reading fails while the host form is being designed
    bool persisted;       // kept in property bags and streams (in table order)
    bool indexed;         // Attachments(i)
    std::uint32_t helpContext;
};

} // namespace mailvane
