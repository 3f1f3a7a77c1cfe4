#pragma once
// The error the mail control throws where the COM control returned a failure HRESULT with
// error information: number, source (the program identifier), description and help context.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace mailvane {

class ComError : public std::runtime_error {
public:
    ComError(std::int32_t number, std::string source, std::string description,
             std::uint32_t helpContext = 0);

    std::int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    std::uint32_t helpContext() const noexcept { return helpContext_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
    std::uint32_t helpContext_;
};

} // namespace mailvane
