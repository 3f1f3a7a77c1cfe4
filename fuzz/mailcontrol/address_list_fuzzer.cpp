// Recipient and sender texts as a host may write them: the address splitter and the MAIL
// command, and the UTF-8 header encoding of the same text (display names as encoded words).
#include "mime/HeaderTransform.h"
#include "mime/Utf8Headers.h"
#include "smtp/AddressList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool allAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int width = data[0] % 90;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    for (const std::string& address : mailvane::smtp::splitAddressList(text))
        if (address.empty() || address.size() > mailvane::smtp::kMaxAddressLength)
            std::abort();
    const std::string mail = mailvane::smtp::mailFromCommand(text);
    if (mail.rfind("MAIL FROM:", 0) != 0 || mail.size() > 12 + mailvane::smtp::kMaxAddressLength)
        std::abort();

    const std::string header = mailvane::mime::utf8AddressHeader(text, width);
    const std::string subject = mailvane::mime::utf8Subject(text, width);
    if (!mailvane::mime::hasEightBit(text)) {
        // ASCII text takes the path the other modes take, byte for byte.
        if (header != mailvane::mime::foldHeader(text, width) ||
            subject != mailvane::mime::foldHeader(text, width))
            std::abort();
    } else if (!allAscii(subject)) {
        std::abort(); // a Subject travels as encoded words only
    }
    const std::string words = mailvane::mime::utf8EncodedWords(text);
    std::size_t start = 0;
    while (start < words.size()) {
        std::size_t end = words.find(' ', start);
        if (end == std::string::npos)
            end = words.size();
        if (end - start > 75)
            std::abort();
        start = end + 1;
    }
    if (!allAscii(words) || !allAscii(mailvane::mime::rfc2231Value(text)))
        std::abort();
    return 0;
}
