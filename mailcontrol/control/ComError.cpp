#include "mailvane/ComError.h"

namespace mailvane {

ComError::ComError(std::int32_t number, std::string source, std::string description,
                   std::uint32_t helpContext)
    : std::runtime_error(description), number_(number), source_(std::move(source)),
      description_(std::move(description)), helpContext_(helpContext) {}

} // namespace mailvane
