#pragma once
// The one error type of the archive layer; what() says which archive and what went wrong.
#include <stdexcept>
#include <string>

namespace brevant::archive {

class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace brevant::archive
