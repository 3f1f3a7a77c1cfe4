#include "service/smtp/SmtpSession.h"

#include "service/log/LogLine.h"
#include "service/smtp/SmtpSink.h"

#include <QSaveFile>
#include <algorithm>

namespace brevant::service {

namespace {
constexpr int InactiveMs = 300000;

bool isCommand(const QByteArray& line, const char* verb) {
    const QByteArray v(verb);
    return line.size() >= v.size() && line.left(v.size()).toUpper() == v &&
           (line.size() == v.size() || line.at(v.size()) == ' ' || line.at(v.size()) == ':');
}

// The address inside "MAIL FROM:<a@b>" / "RCPT TO:<a@b>", or the text after the colon.
QByteArray addressOf(const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    QByteArray rest = line.mid(colon + 1).trimmed();
    const qsizetype open = rest.indexOf('<');
    const qsizetype close = rest.indexOf('>');
    if (open >= 0 && close > open)
        return rest.mid(open + 1, close - open - 1);
    return rest.split(' ').value(0);
}
} // namespace

SmtpSession::SmtpSession(QTcpSocket* socket, SmtpSink& sink, int firstBytesMs, QObject* parent)
    : QObject(parent), socket_(socket), sink_(sink) {
    socket_->setParent(this);
    // Qt stops taking bytes from the system once this much is waiting to be handled, so a
    // client that is not being read from feels it in its own sending.
    socket_->setReadBufferSize(ReadChunkBytes);
    inactive_.setSingleShot(true);
    firstBytes_.setSingleShot(true);
    connect(&inactive_, &QTimer::timeout, this, [this] { onInactive(); });
    connect(&firstBytes_, &QTimer::timeout, this, [this] {
        writeLogLine("smtp closed: nothing sent after the greeting");
        socket_->abort();
    });
    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        firstBytes_.stop();
        inactive_.start(InactiveMs);
        process();
    });
    // Replies leaving make room to handle the commands that wait.
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] { process(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { deleteLater(); });
    inactive_.start(InactiveMs);
    firstBytes_.start(firstBytesMs);
    reply("220 brevant-service SMTP sink ready");
}

void SmtpSession::onInactive() {
    if (socket_->bytesToWrite() > MaxUnreadReplyBytes) {
        // It does not read: a polite goodbye would never leave.
        socket_->abort();
        return;
    }
    reply("421 Timeout");
    socket_->disconnectFromHost();
}

void SmtpSession::reply(const QByteArray& text) {
    socket_->write(text + "\r\n");
}

void SmtpSession::resetEnvelope() {
    from_.clear();
    recipients_.clear();
    message_.clear();
    tooLarge_ = false;
}

void SmtpSession::process() {
    while (socket_->state() == QAbstractSocket::ConnectedState) {
        // Commands sent without reading the replies wait, and so (through the read buffer's
        // limit) does the client, until it has read what it was sent.
        if (socket_->bytesToWrite() > MaxUnreadReplyBytes)
            return;
        const qsizetype end = input_.indexOf("\r\n", scanFrom_);
        if (end >= 0) {
            const QByteArray line = input_.mid(consumed_, end - consumed_);
            consumed_ = scanFrom_ = end + 2;
            onLine(line);
            continue;
        }
        // Only an unfinished line is left: keep it, then read more.
        input_.remove(0, consumed_);
        consumed_ = 0;
        scanFrom_ = std::max<qsizetype>(0, input_.size() - 1); // a CR may end the buffer
        if (input_.size() > MaxLineBytes && state_ != State::Data) {
            reply("500 Line too long");
            input_.clear();
            scanFrom_ = 0;
        } else if (input_.size() > MaxMessageBytes) {
            tooLarge_ = true;
            input_.clear();
            scanFrom_ = 0;
        }
        if (socket_->bytesAvailable() == 0)
            return;
        input_ += socket_->read(ReadChunkBytes);
    }
}

void SmtpSession::onLine(const QByteArray& line) {
    switch (state_) {
    case State::Data:
        onDataLine(line);
        return;
    case State::AuthUser:
        state_ = State::AuthPassword;
        reply("334 UGFzc3dvcmQ6"); // "Password:"
        return;
    case State::AuthPassword:
    case State::AuthPlain:
        state_ = State::Command;
        reply("235 Authentication successful");
        return;
    case State::Command:
        onCommand(line);
        return;
    }
}

void SmtpSession::onCommand(const QByteArray& line) {
    if (isCommand(line, "EHLO")) {
        greeted_ = true;
        resetEnvelope();
        reply("250-brevant-service\r\n250-AUTH LOGIN PLAIN\r\n250-8BITMIME\r\n250 SIZE " +
              QByteArray::number(MaxMessageBytes));
    } else if (isCommand(line, "HELO")) {
        greeted_ = true;
        resetEnvelope();
        reply("250 brevant-service");
    } else if (isCommand(line, "AUTH")) {
        const QList<QByteArray> words = line.split(' ');
        const QByteArray mech = words.value(1).toUpper();
        if (mech == "LOGIN") {
            if (words.size() > 2) {
                state_ = State::AuthPassword;
                reply("334 UGFzc3dvcmQ6");
            } else {
                state_ = State::AuthUser;
                reply("334 VXNlcm5hbWU6"); // "Username:"
            }
        } else if (mech == "PLAIN") {
            if (words.size() > 2) {
                reply("235 Authentication successful");
            } else {
                state_ = State::AuthPlain;
                reply("334 ");
            }
        } else {
            reply("504 Unrecognized authentication type");
        }
    } else if (isCommand(line, "MAIL FROM")) {
        if (!greeted_) {
            reply("503 Send HELO or EHLO first");
            return;
        }
        resetEnvelope();
        from_ = addressOf(line);
        reply("250 OK");
    } else if (isCommand(line, "RCPT TO")) {
        if (from_.isNull()) {
            reply("503 Need MAIL FROM first");
            return;
        }
        if (recipients_.size() >= MaxRecipients) {
            reply("452 4.5.3 Too many recipients");
            return;
        }
        recipients_ << addressOf(line);
        reply("250 OK");
    } else if (isCommand(line, "DATA")) {
        if (recipients_.isEmpty()) {
            reply("503 Need RCPT TO first");
            return;
        }
        state_ = State::Data;
        reply("354 End data with <CR><LF>.<CR><LF>");
    } else if (isCommand(line, "RSET")) {
        resetEnvelope();
        reply("250 OK");
    } else if (isCommand(line, "NOOP")) {
        reply("250 OK");
    } else if (isCommand(line, "VRFY")) {
        reply("252 Cannot verify, will attempt delivery");
    } else if (isCommand(line, "QUIT")) {
        reply("221 Bye");
        socket_->disconnectFromHost();
    } else {
        reply("500 Command not recognized");
    }
}

void SmtpSession::onDataLine(const QByteArray& line) {
    if (line == ".") {
        state_ = State::Command;
        if (tooLarge_) {
            reply("552 Message too large");
        } else {
            storeMessage();
        }
        resetEnvelope();
        return;
    }
    if (tooLarge_)
        return;
    // A leading dot was doubled by the sender.
    message_ += (line.startsWith('.') ? line.mid(1) : line) + "\r\n";
    if (message_.size() > MaxMessageBytes) {
        tooLarge_ = true;
        message_.clear();
    }
}

void SmtpSession::storeMessage() {
    const QString path = sink_.nextMessagePath();
    QByteArray envelope = "X-Envelope-From: <" + from_ + ">\r\n";
    for (const QByteArray& r : recipients_)
        envelope += "X-Envelope-To: <" + r + ">\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(envelope + message_) < 0 || !file.commit()) {
        reply("451 Could not store the message");
        return;
    }
    writeLogLine(QString("smtp from=%1 to=%2 message=%3 bytes file=%4")
                     .arg(logEscaped(QString::fromUtf8(from_)), QString::number(recipients_.size()),
                          QString::number(message_.size()), logEscaped(path)));
    reply("250 OK: message stored");
}

} // namespace brevant::service
