// The transport step of Send: runs the SMTP session over the control's properties, turning
// the session's host callbacks into the control's events and keeping SocketHandle and
// LastReply current whenever host code can run.
#include "control/MailvaneInternal.h"
#include "net/SocketLibrary.h"
#include "smtp/SmtpSession.h"

#include <ctime>
#include <mutex>
#include <vector>

namespace mailvane {

namespace {

// The session a control is running, so that Interrupt (which may come from any event handler
// inside the wait) can reach its connection.
struct ActiveSession {
    const Mailvane* control;
    smtp::SmtpSession* session;
};

std::mutex& activeMutex() {
    static std::mutex m;
    return m;
}

std::vector<ActiveSession>& actives() {
    static std::vector<ActiveSession> list;
    return list;
}

smtp::SmtpSession* activeSession(const Mailvane* control) {
    std::lock_guard lock(activeMutex());
    for (const ActiveSession& a : actives()) {
        if (a.control == control) {
            return a.session;
        }
    }
    return nullptr;
}

class Registration {
public:
    Registration(const Mailvane* control, smtp::SmtpSession* session) : control_(control) {
        std::lock_guard lock(activeMutex());
        actives().push_back({control, session});
    }
    ~Registration() {
        std::lock_guard lock(activeMutex());
        std::erase_if(actives(), [this](const ActiveSession& a) { return a.control == control_; });
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    const Mailvane* control_;
};

// The control as the session's host.
class ControlHost : public smtp::SessionHost {
public:
    explicit ControlHost(detail::MailvaneState& state) : s_(state) {}
    void attach(smtp::SmtpSession& session) { session_ = &session; }

    void pumpEvents() override {
        sync();
        alive_ = s_.pumpHost(0);
        if (s_.interruptRequested && session_ != nullptr) {
            session_->connection().interrupt();
        }
        sync();
    }
    bool alive() const override { return alive_; }
    void trail(int direction, const std::string& text) override {
        sync();
        s_.firePITrail(static_cast<std::int16_t>(direction), text);
    }
    void error(int code, const std::string& text) override {
        sync();
        s_.fireError(static_cast<std::int16_t>(code), text);
    }
    void startTransfer() override {
        sync();
        s_.fireStartTransfer();
    }
    void transfer(long bytes) override {
        sync();
        s_.fireTransfer(static_cast<std::int32_t>(bytes));
    }
    void endTransfer() override {
        sync();
        s_.fireEndTransfer();
    }

    // What host code may read while the session runs.
    void sync() {
        if (session_ == nullptr) {
            return;
        }
        s_.socketHandle = session_->connection().socketHandle();
        s_.lastReply = session_->lastReply();
    }

private:
    detail::MailvaneState& s_;
    smtp::SmtpSession* session_ = nullptr;
    bool alive_ = true;
};

smtp::SessionSettings settingsOf(const detail::MailvaneState& s) {
    smtp::SessionSettings settings;
    net::ConnectionSettings& c = settings.connection;
    c.serverAddress = s.mailServerAddress;
    c.serverName = s.mailServerName;
    c.serverPort = s.mailPort;
    c.firewallType = static_cast<net::FirewallType>(s.firewallType);
    c.firewallAddress = s.firewallAddress;
    c.firewallPort = s.firewallPort;
    c.firewallUser = s.firewallUser;
    c.firewallPassword = s.firewallPassword;
    c.localAddress = s.localAddress;
    settings.timeoutSeconds = s.timeout;
    settings.greetingName = s.greetingName;
    settings.loginUser = s.loginUser;
    settings.loginPassword = s.loginPassword;
    settings.security = static_cast<smtp::Security>(s.security);
    settings.verifyCertificate = s.verifyCertificate;
    return settings;
}

} // namespace

int Mailvane::transmit(const ComposedMessage& message) {
    detail::MailvaneState& s = *state_;
    // A handler that ran during composition may already have interrupted.
    if (s.interruptRequested) {
        s.firePITrail(2, "Connecting to mail server.");
        return s.fail(301, "Interrupted");
    }
    if (s.greetingName.empty()) {
        // Filled once and kept for later connects.
        s.greetingName = net::localHostName();
    }
    ControlHost host(s);
    smtp::SmtpSession session(host);
    host.attach(session);
    Registration registration(this, &session);

    const net::Status status = session.send(settingsOf(s), [&](smtp::MailMessage& m) {
        m.from = s.from;
        m.sendTo = s.sendTo;
        m.cc = s.cc;
        m.bcc = s.bcc;
        m.subject = s.subject;
        m.replyTo = s.replyTo;
        m.messageDate = s.messageDate;
        m.charsetMode = s.charsetMode;
        m.headers = message.headerText;
        m.bodyText = message.bodyText;
        m.bodyFile = message.hasBodyFile() ? message.bodyFile.string() : std::string();
        smtp::stampMessage(m, s.greetingName, std::time(nullptr));
        return net::Status{};
    });
    host.sync();
    s.socketHandle = -1;
    if (!status.ok()) {
        return s.fail(status.code, status.text);
    }
    return 0;
}

void Mailvane::closeConnection() {
    if (smtp::SmtpSession* session = activeSession(this)) {
        if (state_->interruptRequested) {
            session->interrupt();
        } else {
            session->connection().close();
        }
    }
    state_->socketHandle = -1;
}

} // namespace mailvane
