#pragma once
// The message as composed for sending: the header text the session puts after the generated
// header lines, the body text, and (with attachments) the file of encoded parts sent after the
// body text. The file is a temporary one owned by this object and removed with it.
#include <filesystem>
#include <string>

namespace mailvane {

class ComposedMessage {
public:
    ComposedMessage() = default;
    ComposedMessage(ComposedMessage&& other) noexcept;
    ComposedMessage& operator=(ComposedMessage&& other) noexcept;
    ComposedMessage(const ComposedMessage&) = delete;
    ComposedMessage& operator=(const ComposedMessage&) = delete;
    ~ComposedMessage();

    std::string headerText;
    std::string bodyText;
    // Empty for a message without attachments.
    std::filesystem::path bodyFile;

    bool hasBodyFile() const { return !bodyFile.empty(); }
    // Deletes the body file now (also done by the destructor).
    void removeBodyFile() noexcept;
};

} // namespace mailvane
