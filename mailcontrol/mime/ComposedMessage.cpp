#include "mailvane/ComposedMessage.h"

#include <utility>

namespace mailvane {

ComposedMessage::ComposedMessage(ComposedMessage&& other) noexcept
    : headerText(std::move(other.headerText)), bodyText(std::move(other.bodyText)),
      bodyFile(std::exchange(other.bodyFile, {})) {}

ComposedMessage& ComposedMessage::operator=(ComposedMessage&& other) noexcept {
    if (this != &other) {
        removeBodyFile();
        headerText = std::move(other.headerText);
        bodyText = std::move(other.bodyText);
        bodyFile = std::exchange(other.bodyFile, {});
    }
    return *this;
}

ComposedMessage::~ComposedMessage() {
    removeBodyFile();
}

void ComposedMessage::removeBodyFile() noexcept {
    if (bodyFile.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(bodyFile, ignored);
    bodyFile.clear();
}

} // namespace mailvane
