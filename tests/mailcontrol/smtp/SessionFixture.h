#pragma once
// A session with the socket library held and a recording host, pointed at a local port.
#include "../net/support/LoadedLibrary.h"
#include "../net/support/RecordingHost.h"
#include "smtp/SmtpSession.h"

namespace mailvane::testing {

class SessionFixture : public LoadedLibrary {
protected:
    smtp::SessionSettings settingsFor(int port) {
        smtp::SessionSettings s;
        s.connection.serverAddress = loopback();
        s.connection.serverName = "127.0.0.1";
        s.connection.serverPort = port;
        s.greetingName = "client.test";
        return s;
    }
    static smtp::MailMessage simpleMessage() {
        smtp::MailMessage m;
        m.from = "Sender <sender@example.com>";
        m.sendTo = "rcpt@example.com";
        m.subject = "Hello";
        m.bodyText = "Line one\r\nLine two\r\n";
        return m;
    }
    net::Status send(const smtp::SessionSettings& settings, const smtp::MailMessage& message) {
        return session.send(settings, [&](smtp::MailMessage& out) {
            out = message;
            return net::Status{};
        });
    }

    RecordingHost host;
    smtp::SmtpSession session{host};
};

} // namespace mailvane::testing
