#pragma once
// Which archive entry names may be written to disk. An archive comes from the network, so an
// entry is only ever placed under its own base name inside the target folder: a name that
// carries a folder part, a parent reference or an absolute path is refused outright.
#include <string>

namespace brevant::archive {

// True when name can be used as a file name inside a target folder as it stands.
bool isSafeEntryName(const std::string& name);

} // namespace brevant::archive
