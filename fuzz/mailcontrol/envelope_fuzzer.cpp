// Feeds arbitrary bytes to the address splitter and the envelope built from header values, and
// checks what the session relies on: addresses are non-empty and at most 255 bytes; whatever
// passes the command check yields MAIL and RCPT lines without CR, LF or NUL; a value folded at
// any width passes that check unless it holds a NUL; and header values on the wire keep their
// folds and nothing else that could end a line. The first byte is the folding width (0 to 79).
#include "mime/HeaderTransform.h"
#include "smtp/AddressList.h"
#include "smtp/CommandText.h"
#include "smtp/HeaderLineBreaks.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace mailvane;

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every CR starts a fold (CRLF then a blank or tab) and every LF belongs to one.
bool onlyFolds(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            return false;
        }
        if (text[i] == '\r') {
            if (i + 2 >= text.size() || text[i + 1] != '\n' ||
                (text[i + 2] != ' ' && text[i + 2] != '\t')) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int width = data[0] % 80;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const std::string& address : smtp::splitAddressList(text)) {
        require(!address.empty() && address.size() <= smtp::kMaxAddressLength);
    }
    const std::string mailFrom = smtp::mailFromCommand(text);
    require(mailFrom.rfind("MAIL FROM:", 0) == 0 &&
            mailFrom.size() <= 10 + 2 + smtp::kMaxAddressLength);

    const std::string folded = mime::foldHeader(text, width);
    smtp::MailMessage message;
    message.from = folded;
    message.sendTo = folded;
    message.cc = text;
    message.bcc = folded;
    if (smtp::checkCommandTexts("client.test", "user", "password", message).ok()) {
        require(!smtp::breaksCommandLine(smtp::envelopeSenderCommand(message.from)));
        for (const std::string* list : {&message.sendTo, &message.cc, &message.bcc}) {
            for (const std::string& address : smtp::envelopeRecipients(*list)) {
                require(!smtp::breaksCommandLine("RCPT TO:<" + address + ">"));
            }
        }
    }
    if (width > 0 && text.find('\0') == std::string::npos) {
        message.cc = folded;
        require(smtp::checkCommandTexts("client.test", "", "", message).ok());
        require(smtp::headerValueOnWire(folded) == folded);
    }

    const std::string wire = smtp::headerValueOnWire(text);
    require(onlyFolds(wire));
    require(wire.size() == text.size());
    require(smtp::headerValueOnWire(wire) == wire);
    require(onlyFolds(smtp::headerValueOnWire(mime::transformSubject(text, width, true))));
    return 0;
}
