#pragma once
// The error every Harlix operation throws: the number, source and description a COM caller
// would have found in the error information.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace harlix {

class ComError : public std::runtime_error {
public:
    ComError(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

} // namespace harlix
