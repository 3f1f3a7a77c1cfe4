#pragma once
// This workstation's own identity on a firm's shared store: which plan sheets and sections are
// in its document cache is recorded under it, apart from the other workstations'.
#include <QString>

namespace brevant::base {

// The settings key that holds it.
inline constexpr const char* kWorkstationSetting = "WORKSTATION";

// The id kept in the settings, made (a random UUID) and stored the first time it is asked for,
// so it stays the same for as long as the settings (and with them the cache location) do.
// Throws harlix::ComError when a new id cannot be stored.
QString WorkstationId();

} // namespace brevant::base
