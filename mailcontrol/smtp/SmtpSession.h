#pragma once
// What Send does on the wire: connect (through the firewall if one is set), secure the
// connection with TLS when asked (implicit, or STARTTLS), greet with EHLO or HELO, log in when
// a user and password were given, run one mail transaction for every recipient and close with
// QUIT. One command, then its reply; every line and note goes to the host's trail.
#include "net/Connection.h"
#include "net/Status.h"
#include "net/TransportHost.h"
#include "smtp/EhloExtensions.h"
#include "smtp/MessageText.h"

#include <functional>
#include <string>
#include <vector>

namespace mailvane::smtp {

// The transport host plus the body transfer events.
class SessionHost : public net::TransportHost {
public:
    virtual void startTransfer() = 0;
    virtual void transfer(long bytesTransferred) = 0;
    virtual void endTransfer() = 0;
};

// How the connection is secured (the control's Security property).
enum class Security : int {
    None = 0,              // plain text, as the control always did
    StartTlsRequired = 1,  // STARTTLS, or fail before anything else is sent
    StartTlsIfOffered = 2, // STARTTLS when the server offers it
    ImplicitTls = 3,       // TLS from the first byte (port 465)
};

struct SessionSettings {
    net::ConnectionSettings connection;
    int timeoutSeconds = 0;   // 0 = no deadline
    std::string greetingName; // sent after EHLO/HELO; empty = the machine's host name
    std::string loginUser;    // AUTH LOGIN only when both are set
    std::string loginPassword;
    Security security = Security::None;
    bool verifyCertificate = true; // trust store and host name; false accepts any certificate
};

enum SessionCode : int {
    kServerRefused = 161,
    kNoSender = 164,
    kNoRecipient = 165,
    kBusy = 166,
    kCannotOpenFile = 302,
    kBadFileHandle = 5,
    kFileReadError = 6,
};

class SmtpSession {
public:
    static constexpr std::size_t kTextBlock = 8192;
    static constexpr std::size_t kFileBlock = 16384;
    static constexpr std::size_t kCommandBuffer = 512;
    // Pending host messages handled after QUIT, so the close is seen before Send returns.
    static constexpr int kQuitPumpMessages = 100;
    // One reply (continuation lines included): an EHLO reply of a busy server has a few dozen
    // lines; a server that never ends its reply must not fill the host's memory.
    static constexpr std::size_t kMaxReplyLines = 100;
    static constexpr std::size_t kMaxReplyBytes = 64 * 1024;

    explicit SmtpSession(SessionHost& host);

    // The whole exchange of one Send. compose fills the message (its failure ends the Send);
    // it runs after the busy check so that a second Send is refused before any work.
    net::Status send(const SessionSettings& settings,
                     const std::function<net::Status(MailMessage&)>& compose);

    // Closes at once without QUIT and ends the wait in progress with 301 "Interrupted".
    void interrupt();

    bool busy() const { return busy_; }
    const std::string& lastReply() const { return lastReply_; }
    net::Connection& connection() { return connection_; }
    const net::Connection& connection() const { return connection_; }

    // The steps of send(), usable on their own by a host that drives the session itself.
    net::Status mailTransaction(const SessionSettings& settings, const MailMessage& message);
    net::Status quit(const SessionSettings& settings);

private:
    net::Status command(const std::string& cmd, const std::string& arg = {});
    net::Status readReply();
    net::Status connectAndGreet(const SessionSettings& settings);
    // EHLO, or HELO when EHLO fails; remembers what the server offered (SmtpLogin.cpp).
    net::Status hello(const std::string& name);
    // STARTTLS as settings ask, then the login (SmtpLogin.cpp).
    net::Status secureAndLogin(const SessionSettings& settings, const std::string& name);
    net::Status startTls(const SessionSettings& settings);
    net::Status login(const SessionSettings& settings);
    net::Status sendRecipients(const std::string& list, bool blind);
    net::Status sendBody(const MailMessage& message);
    net::Status sendBodyFile(const std::string& path);

    SessionHost& host_;
    net::Connection connection_;
    std::string lastReply_;
    std::vector<std::string> replyLines_; // every line of the last reply
    EhloExtensions extensions_;
    std::string greetingName_;
    bool busy_ = false;
};

} // namespace mailvane::smtp
