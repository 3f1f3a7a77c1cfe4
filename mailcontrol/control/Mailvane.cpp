// Creation, hosting, the access checks and the methods of the control.
#include "mailvane/Mailvane.h"

#include "control/ControlErrors.h"
#include "control/MailvaneInternal.h"
#include "mime/MessageComposer.h"
#include "mime/MimeErrors.h"

#include <algorithm>
#include <new>

namespace mailvane {

using namespace detail;

namespace {

// Longest attachment path the list keeps.
constexpr std::size_t kMaxAttachmentPath = 16777215;
constexpr std::int16_t kMaxAttachments = 32767;

} // namespace

Mailvane::Mailvane() : state_(std::make_unique<MailvaneState>(*this)) {
    state_->library.acquire();
}

Mailvane::~Mailvane() {
    state_->interruptRequested = true;
    closeConnection();
}

void Mailvane::checkRead(std::int32_t dispid) const {
    const PropertyInfo* info = FindProperty(dispid);
    if (info != nullptr && info->runtimeOnlyRead && state_->designMode)
        throw ComError(kRuntimeOnlyNumber, kProgId, kRuntimeOnlyText, info->helpContext);
}

void Mailvane::checkWrite(std::int32_t dispid) const {
    const PropertyInfo* info = FindProperty(dispid);
    if (info != nullptr && info->readOnly)
        throw ComError(kReadOnlyNumber, kProgId, kReadOnlyText, info->helpContext);
}

void Mailvane::raise(int code, std::uint32_t helpContext) const {
    throw ComError(errorNumberForCode(code), kProgId, describeFailure(code, state_->failureText),
                   helpContext);
}

void Mailvane::raiseFixed(int code, std::uint32_t helpContext) const {
    throw ComError(errorNumberForCode(code), kProgId, describeFailure(code, {}), helpContext);
}

void Mailvane::Advise(IMailvaneEvents* sink) {
    if (sink != nullptr &&
        std::find(state_->sinks.begin(), state_->sinks.end(), sink) == state_->sinks.end())
        state_->sinks.push_back(sink);
}

void Mailvane::Unadvise(IMailvaneEvents* sink) {
    std::erase(state_->sinks, sink);
}

void Mailvane::SetDesignMode(bool designing) {
    state_->designMode = designing;
}

bool Mailvane::DesignMode() const {
    return state_->designMode;
}

void Mailvane::SetHostPump(HostPump pump) {
    state_->pump = std::move(pump);
}

void Mailvane::AddAttachment(const std::string& FileName) {
    if (FileName.size() > kMaxAttachmentPath || state_->attachments.size() >= kMaxAttachments)
        throw ComError(kOutOfRangeNumber, kProgId, kOutOfRangeText, kHelpAddAttachment);
    state_->attachments.push_back(FileName);
}

void Mailvane::DoEvents() {
    constexpr int kDoEventsWaitMs = 20;
    state_->pumpHost(kDoEventsWaitMs);
}

void Mailvane::Interrupt() {
    interrupt();
}

void Mailvane::interrupt() {
    MailvaneState& s = *state_;
    if (s.busy)
        s.interruptRequested = true;
    s.busy = false;
    closeConnection();
}

void Mailvane::Send() {
    send(kHelpSend);
}

void Mailvane::OnStartPage(void* piUnk) {
    (void)piUnk;
}

void Mailvane::OnEndPage() {}

ComposedMessage Mailvane::Compose() const {
    return compose(kHelpSend);
}

ComposedMessage Mailvane::compose(std::uint32_t helpContext) const {
    const MailvaneState& s = *state_;
    mime::CompositionInput input;
    input.otherHeaders = s.otherHeaders;
    input.messageText = s.messageText;
    input.attachments = s.attachments;
    input.japanese = s.japanese();
    input.utf8 = s.utf8();
    input.identity = s.identity;
    try {
        return mime::composeMessage(input);
    } catch (const mime::MimeFailure& failure) {
        state_->fail(failure.code(), failure.what());
        raise(failure.code(), helpContext);
    } catch (const std::bad_alloc&) {
        raise(kOutOfMemoryCode, helpContext);
    }
}

void Mailvane::send(std::uint32_t helpContext) {
    MailvaneState& s = *state_;
    // inSend also covers the unwinding after an Interrupt, when Action already reads 0.
    if (s.busy || s.inSend) {
        raiseFixed(kBusyCode, helpContext);
    }
    s.busy = true;
    s.inSend = true;
    s.interruptRequested = false;
    s.failureText.clear();

    struct EndOfSend {
        Mailvane& control;
        ~EndOfSend() {
            control.closeConnection();
            control.state_->busy = false;
            control.state_->inSend = false;
            control.state_->interruptRequested = false;
        }
    } endOfSend{*this};

    int code = 0;
    try {
        ComposedMessage message = compose(helpContext);
        code = transmit(message);
        // The temporary file goes here, as Send ends, whatever the outcome.
    } catch (const std::bad_alloc&) {
        code = kOutOfMemoryCode;
    }
    if (code != 0)
        raise(code, helpContext);
}

} // namespace mailvane
