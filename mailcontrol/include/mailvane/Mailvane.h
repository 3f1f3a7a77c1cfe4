#pragma once
// The mail control: sends one message, with any number of files attached, to an SMTP server,
// directly or through a firewall. A host sets the properties, lists the files and calls Send,
// which returns when the message was handed over or a step failed. Failures are thrown as
// mailvane::ComError; progress arrives through IMailvaneEvents while Send runs.
#include "mailvane/ComError.h"
#include "mailvane/ComposedMessage.h"
#include "mailvane/IMailvaneEvents.h"
#include "mailvane/Persistence.h"
#include "mailvane/PropertyInfo.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>

namespace mailvane {

enum TAction : std::int32_t {
    mailvaneIdle = 0,
    mailvaneSend = 1,
};

enum TFirewallType : std::int32_t {
    fwNone = 0,
    fwTunnel = 1,
    fwSOCKS4 = 2,
    fwSOCKS5 = 3,
};

// Values of Security.
enum TSecurity : std::int32_t {
    secNone = 0,
    secStartTlsRequired = 1,
    secStartTlsIfOffered = 2,
    secImplicitTls = 3,
};

// Values of CharsetMode.
enum TCharsetMode : std::int32_t {
    csAnsi = 0,     // 8-bit text sent as it is
    csJapanese = 1, // Shift_JIS text sent as ISO-2022-JP
    csUtf8 = 2,     // UTF-8 text: encoded words, RFC 2231 file names, charset=utf-8
};

// The program identifiers of the class; the first is the source of every error it raises.
inline constexpr const char* kProgId = "Mailvane.Mailvane";
inline constexpr const char* kProgIdVersioned = "Mailvane.Mailvane.1";
// How a form designer names the class.
inline constexpr const char* kDesignerClassName = "MAILVANELibCtl.Mailvane";

// Handles at most one pending message of the host's thread, or waits up to waitMs for one.
// Returns false once the host's window is gone, which ends the control's waits "Interrupted".
using HostPump = std::function<bool(int waitMs)>;

namespace detail {
struct MailvaneState;
}

class Mailvane {
public:
    Mailvane();
    ~Mailvane();
    Mailvane(const Mailvane&) = delete;
    Mailvane& operator=(const Mailvane&) = delete;

    // Properties, in dispatch-identifier order.
    TAction get_Action() const;
    void put_Action(TAction value);
    std::int16_t get_AttachmentCount() const;
    void put_AttachmentCount(std::int16_t value);
    std::string get_Attachments(std::int16_t index) const;
    void put_Attachments(std::int16_t index, const std::string& value);
    std::string get_BCc() const;
    void put_BCc(const std::string& value);
    std::string get_Cc() const;
    void put_Cc(const std::string& value);
    std::string get_Date() const;
    void put_Date(const std::string& value);
    std::string get_FirewallData() const;
    void put_FirewallData(const std::string& value);
    std::string get_FirewallHost() const;
    void put_FirewallHost(const std::string& value);
    std::string get_FirewallPassword() const;
    void put_FirewallPassword(const std::string& value);
    std::int32_t get_FirewallPort() const;
    void put_FirewallPort(std::int32_t value);
    TFirewallType get_FirewallType() const;
    void put_FirewallType(TFirewallType value);
    std::string get_FirewallUser() const;
    void put_FirewallUser(const std::string& value);
    std::string get_From() const;
    void put_From(const std::string& value);
    std::string get_LastReply() const;
    std::string get_LocalHost() const;
    void put_LocalHost(const std::string& value);
    std::int32_t get_MailPort() const;
    void put_MailPort(std::int32_t value);
    std::string get_MailServer() const;
    void put_MailServer(const std::string& value);
    std::int16_t get_MaxHeaderLength() const;
    void put_MaxHeaderLength(std::int16_t value);
    std::string get_MessageDate() const;
    void put_MessageDate(const std::string& value);
    std::string get_MessageText() const;
    void put_MessageText(const std::string& value);
    std::string get_OtherHeaders() const;
    void put_OtherHeaders(const std::string& value);
    std::string get_ReplyTo() const;
    void put_ReplyTo(const std::string& value);
    std::string get_SendTo() const;
    void put_SendTo(const std::string& value);
    std::int32_t get_SocketHandle() const;
    std::string get_Subject() const;
    void put_Subject(const std::string& value);
    std::int16_t get_Timeout() const;
    void put_Timeout(std::int16_t value);
    std::string get_WinsockInfo() const;
    bool get_WinsockLoaded() const;
    void put_WinsockLoaded(bool value);
    std::int32_t get_WinsockMaxDatagramSize() const;
    std::int32_t get_WinsockMaxSockets() const;
    std::string get_WinsockPath() const;
    void put_WinsockPath(const std::string& value);
    std::string get_WinsockStatus() const;
    // A byte array, or empty while FirewallData is empty.
    PropertyValue get_FirewallDataB() const;
    // Accepts only a byte array.
    void put_FirewallDataB(const PropertyValue& value);
    std::int32_t get_CharsetMode() const;
    void put_CharsetMode(std::int32_t value);
    // 0 plain (the default), 1 STARTTLS required, 2 STARTTLS when offered, 3 implicit TLS.
    std::int32_t get_Security() const;
    void put_Security(std::int32_t value);
    // True (the default): the certificate must chain to the system's trust store and name the
    // server; False accepts any certificate (a local server).
    bool get_VerifyCertificate() const;
    void put_VerifyCertificate(bool value);

    // Methods.
    void AddAttachment(const std::string& FileName);
    void DoEvents();
    void Interrupt();
    void Send();
    void OnStartPage(void* piUnk);
    void OnEndPage();

    // Access by dispatch identifier, with the same checks as the named accessors; index is
    // used by Attachments only.
    PropertyValue GetProperty(std::int32_t dispid, std::int16_t index = 0) const;
    void PutProperty(std::int32_t dispid, const PropertyValue& value, std::int16_t index = 0);
    static std::span<const PropertyInfo> Properties();
    static const PropertyInfo* FindProperty(std::int32_t dispid);
    static const PropertyInfo* FindProperty(const std::string& name);

    // Hosting.
    void Advise(IMailvaneEvents* sink);
    void Unadvise(IMailvaneEvents* sink);
    void SetDesignMode(bool designing);
    bool DesignMode() const;
    void SetHostPump(HostPump pump);

    // Persistence of the stored properties.
    void Save(IPropertyBag& bag) const;
    void Load(IPropertyBag& bag);
    void SaveToStream(std::ostream& stream) const;
    void LoadFromStream(std::istream& stream);
    void Save(IStorage& storage) const;
    void Load(IStorage& storage);

    // The message Send would send, composed without a server; failures raise the error Send
    // would. The body file, if any, is removed when the result is destroyed.
    ComposedMessage Compose() const;

private:
    friend struct detail::MailvaneState;

    void checkRead(std::int32_t dispid) const;
    void checkWrite(std::int32_t dispid) const;
    // Raises code with the text the failing step recorded (raise) or its standard text.
    [[noreturn]] void raise(int code, std::uint32_t helpContext) const;
    [[noreturn]] void raiseFixed(int code, std::uint32_t helpContext) const;
    void send(std::uint32_t helpContext);
    ComposedMessage compose(std::uint32_t helpContext) const;
    void interrupt();

    // The transport step of Send (MailvaneTransmit.cpp): runs the exchange with the server for
    // the composed message and returns 0 or the code of the step that failed, its text
    // recorded with state_->fail().
    int transmit(const ComposedMessage& message);
    // Closes the connection at once, without QUIT (Interrupt, the end of Send, destruction).
    void closeConnection();

    std::unique_ptr<detail::MailvaneState> state_;
};

} // namespace mailvane
