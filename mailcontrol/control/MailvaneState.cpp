#include "control/MailvaneInternal.h"

#include "control/LocaleCharset.h"
#include "mime/HeaderTransform.h"
#include "mime/Utf8Headers.h"

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

namespace mailvane::detail {

namespace {

std::uint32_t nextIdentity() {
    static std::atomic<std::uint32_t> counter{0};
    // Odd numbers, so that the product with the tick count keeps varying.
    return counter.fetch_add(1) * 2654435761u | 1u;
}

// Calls every sink; a copy, because a handler may attach or detach sinks. A failure thrown by
// a host's handler must not end the control's work.
template <class Call> void fireAll(const std::vector<IMailvaneEvents*>& sinks, Call call) {
    const std::vector<IMailvaneEvents*> copy = sinks;
    for (IMailvaneEvents* sink : copy) {
        try {
            call(*sink);
        } catch (...) {
        }
    }
}

} // namespace

MailvaneState::MailvaneState(Mailvane& control)
    : owner(control), charsetMode(localeUsesShiftJis() ? csJapanese
                                  : localeUsesUtf8()   ? csUtf8
                                                       : csAnsi),
      identity(nextIdentity()) {}

std::string MailvaneState::addressValue(std::string_view value) const {
    return utf8() ? mime::utf8AddressHeader(value, maxHeaderLength)
                  : mime::transformAddressHeader(value, maxHeaderLength, japanese());
}

std::string MailvaneState::subjectValue(std::string_view value) const {
    return utf8() ? mime::utf8Subject(value, maxHeaderLength)
                  : mime::transformSubject(value, maxHeaderLength, japanese());
}

int MailvaneState::fail(int code, std::string text) {
    failureText = std::move(text);
    return code;
}

void MailvaneState::fireEndTransfer() {
    fireAll(sinks, [](IMailvaneEvents& sink) { sink.EndTransfer(); });
}

void MailvaneState::fireError(std::int16_t code, std::string description) {
    fireAll(sinks, [&](IMailvaneEvents& sink) {
        std::int16_t c = code;
        std::string d = description;
        sink.Error(c, d);
    });
}

void MailvaneState::firePITrail(std::int16_t direction, std::string message) {
    fireAll(sinks, [&](IMailvaneEvents& sink) {
        std::int16_t d = direction;
        std::string m;
        try {
            m = message;
        } catch (const std::bad_alloc&) {
            // No room for the handler's copy of the line: the host learns that instead.
            std::int16_t code = 7;
            std::string text = "Out of memory while firing PITrail.";
            sink.Error(code, text);
            return;
        }
        sink.PITrail(d, m);
    });
}

void MailvaneState::fireStartTransfer() {
    fireAll(sinks, [](IMailvaneEvents& sink) { sink.StartTransfer(); });
}

void MailvaneState::fireTransfer(std::int32_t bytesTransferred) {
    fireAll(sinks, [&](IMailvaneEvents& sink) {
        std::int32_t b = bytesTransferred;
        sink.Transfer(b);
    });
}

bool MailvaneState::pumpHost(int waitMs) {
    if (pump)
        return pump(waitMs);
    if (waitMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    return true;
}

} // namespace mailvane::detail
