#include "smtp/SmtpSession.h"

#include "net/SocketLibrary.h"
#include "smtp/CommandText.h"

#include <cstdio>
#include <memory>

namespace mailvane::smtp {

using net::Status;

SmtpSession::SmtpSession(SessionHost& host) : host_(host), connection_(host) {}

Status SmtpSession::send(const SessionSettings& settings,
                         const std::function<Status(MailMessage&)>& compose) {
    if (busy_) {
        return {kBusy, "Busy performing current action."};
    }
    busy_ = true;
    connection_.clearInterrupt();
    MailMessage message;
    Status result = compose ? compose(message) : Status{};
    if (result.ok()) {
        result = mailTransaction(settings, message);
        if (result.ok()) {
            result = quit(settings);
        }
    }
    connection_.close();
    busy_ = false;
    return result;
}

void SmtpSession::interrupt() {
    // The running Send stays busy until it has unwound, so a Send started from the same
    // handler is refused instead of running inside the one being torn down.
    connection_.interrupt();
    connection_.close();
}

Status SmtpSession::readReply() {
    replyLines_.clear();
    std::size_t replyBytes = 0;
    for (;;) {
        std::string line;
        Status read = connection_.readLine(line);
        if (!read.ok()) {
            return read;
        }
        replyBytes += line.size();
        if (replyLines_.size() >= kMaxReplyLines || replyBytes > kMaxReplyBytes) {
            return {net::kReplyTooLong, "The mail server sent a reply of more than " +
                                            std::to_string(kMaxReplyLines) + " lines or " +
                                            std::to_string(kMaxReplyBytes / 1024) + " KB."};
        }
        lastReply_ = line;
        replyLines_.push_back(line);
        host_.trail(1, line);
        if (line.size() >= 4 && line[3] == '-') {
            continue;
        }
        const char first = line.empty() ? '\0' : line[0];
        if (first == '1') {
            continue;
        }
        if (first == '2' || first == '3') {
            return {};
        }
        return {kServerRefused, line};
    }
}

Status SmtpSession::command(const std::string& cmd, const std::string& arg) {
    std::string line = cmd;
    if (!arg.empty()) {
        // The argument is cut to what the command buffer leaves beside the command.
        const std::size_t room = kCommandBuffer - 1;
        line += ' ';
        line += arg.substr(0, room > cmd.size() ? room - cmd.size() : 0);
    }
    if (breaksCommandLine(line)) {
        return {kUnsafeCommandText, kUnsafeCommandLineText};
    }
    host_.trail(0, line);
    line += "\r\n";
    Status sent = connection_.sendAll(line);
    if (!sent.ok()) {
        return sent;
    }
    return readReply();
}

Status SmtpSession::connectAndGreet(const SessionSettings& settings) {
    host_.trail(2, "Connecting to mail server.");
    Status status = connection_.connect(settings.connection);
    if (!status.ok()) {
        return status;
    }
    if (settings.security == Security::ImplicitTls) {
        status = startTls(settings);
        if (!status.ok()) {
            return status;
        }
    }
    status = readReply();
    if (!status.ok()) {
        return status;
    }
    std::string name = settings.greetingName;
    if (name.empty()) {
        if (greetingName_.empty()) {
            greetingName_ = net::localHostName();
        }
        name = greetingName_;
    }
    status = hello(name);
    if (!status.ok()) {
        return status;
    }
    return secureAndLogin(settings, name);
}

Status SmtpSession::sendRecipients(const std::string& list, bool blind) {
    for (const std::string& address : envelopeRecipients(list)) {
        Status status = command("RCPT TO:<" + address + ">");
        if (status.ok()) {
            continue;
        }
        if (blind && status.code == kServerRefused) {
            host_.error(kServerRefused, status.text);
            continue;
        }
        return status;
    }
    return {};
}

Status SmtpSession::mailTransaction(const SessionSettings& settings, const MailMessage& message) {
    // Refused before the connection is opened, so nothing at all is sent.
    Status status = checkCommandTexts(settings.greetingName, settings.loginUser,
                                      settings.loginPassword, message);
    if (!status.ok()) {
        return status;
    }
    connection_.startDeadline(settings.timeoutSeconds);
    if (!connection_.isConnected()) {
        status = connectAndGreet(settings);
        if (!status.ok()) {
            return status;
        }
    }
    if (message.from.empty()) {
        return {kNoSender, "Please specify a sender (From)."};
    }
    if (message.sendTo.empty()) {
        return {kNoRecipient, "Please specify a recipient (To)."};
    }
    if (!(status = command("RSET")).ok() ||
        !(status = command(envelopeSenderCommand(message.from))).ok() ||
        !(status = sendRecipients(message.sendTo, false)).ok() ||
        !(status = sendRecipients(message.cc, false)).ok() ||
        !(status = sendRecipients(message.bcc, true)).ok() || !(status = command("DATA")).ok() ||
        !(status = connection_.sendAll(DotStuffer().stuff(headerBlock(message)))).ok() ||
        !(status = sendBody(message)).ok() || !(status = connection_.sendAll("\r\n", 2)).ok()) {
        return status;
    }
    return command(".");
}

Status SmtpSession::sendBody(const MailMessage& message) {
    if (!message.bodyText.empty()) {
        host_.startTransfer();
        const std::string stuffed = DotStuffer().stuff(message.bodyText);
        std::size_t sent = 0;
        while (sent < stuffed.size()) {
            const std::size_t block = std::min(kTextBlock, stuffed.size() - sent);
            Status status = connection_.sendAll(stuffed.data() + sent, block);
            if (!status.ok()) {
                return status;
            }
            sent += block;
            host_.transfer(static_cast<long>(sent));
        }
        host_.endTransfer();
    }
    if (!message.bodyFile.empty()) {
        return sendBodyFile(message.bodyFile);
    }
    return {};
}

Status SmtpSession::sendBodyFile(const std::string& path) {
    host_.startTransfer();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        return {kCannotOpenFile, "Can't open file for reading."};
    }
    DotStuffer stuffer;
    std::string block(kFileBlock, '\0');
    std::string stuffed;
    long total = 0;
    for (;;) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), file.get());
        if (n == 0) {
            if (std::ferror(file.get()) != 0) {
                return {kFileReadError};
            }
            break;
        }
        stuffed.clear();
        stuffer.stuff(block.data(), n, stuffed);
        const long before = total;
        Status status = connection_.sendAll(stuffed.data(), stuffed.size(), [&](std::size_t part) {
            host_.transfer(before + static_cast<long>(std::min(part, n)));
        });
        if (!status.ok()) {
            return status;
        }
        total += static_cast<long>(n);
        host_.transfer(total);
    }
    stuffed.clear();
    stuffer.finish(stuffed);
    if (Status status = connection_.sendAll(stuffed); !status.ok()) {
        return status;
    }
    host_.endTransfer();
    return {};
}

Status SmtpSession::quit(const SessionSettings& settings) {
    Status result;
    if (connection_.isConnected()) {
        connection_.startDeadline(settings.timeoutSeconds);
        Status status = command("QUIT");
        if (!status.ok() && status.code != net::kWaitEnded) {
            host_.trail(2, "Forcing disconnection from mail server.");
            result = status;
        }
    }
    connection_.close();
    // Let the host handle what is pending (what the close set off among it) before Send
    // returns, without waiting for more.
    for (int i = 0; i < kQuitPumpMessages && host_.alive(); ++i) {
        host_.pumpEvents();
    }
    return result;
}

} // namespace mailvane::smtp
