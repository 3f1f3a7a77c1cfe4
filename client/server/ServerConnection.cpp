#include "server/ServerConnection.h"

#include "base/MainWindow.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/ui/PeerText.h"
#include "platform/wirelet/SocketErrors.h"
#include "server/Request.h"
#include "server/ServerSession.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>

namespace brevant::server {

int ServerMinRateKilobytes() {
    bool ok = false;
    const int rate =
        ReadSetting(QStringLiteral("SERVERMINRATE"), QStringLiteral("2")).trimmed().toInt(&ok);
    return ok && rate >= 0 ? rate : 2;
}

QString communicationErrorText(int code, const QString& description) {
    return QCoreApplication::translate("brevant::server::ServerConnection",
                                       "Error communicating with server - %1 %2")
        .arg(code)
        .arg(description);
}

ServerConnection::ServerConnection(RequestKind kind, QObject* parent)
    : QObject(parent), kind_(kind) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] {
        fail(wirelet::codes::TimedOut,
             QCoreApplication::translate(
                 "brevant::server::ServerConnection",
                 "Connection timed out (no answer from the server for %1 seconds)")
                 .arg(timeoutSeconds()));
    });
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(wirelet::codes::TimedOut,
             QCoreApplication::translate(
                 "brevant::server::ServerConnection",
                 "Connection timed out (the server sent less than %1 KB a second)")
                 .arg(minBytesPerSecond_ / 1024));
    });
    connect(&control_, &wirelet::Wirelet::Connected, this, [this] { connected(); });
    connect(&control_, &wirelet::Wirelet::ReadyToSend, this, [this] {
        if (active_ && !sent_)
            SendRequest();
    });
    connect(&control_, &wirelet::Wirelet::DataArrived, this,
            [this](const QByteArray& data) { dataArrived(data); });
    connect(&control_, &wirelet::Wirelet::Disconnected, this, [this] { peerClosed(); });
    connect(&control_, &wirelet::Wirelet::Error, this,
            [this](int code, const QString& description) {
                if (active_)
                    fail(code, description);
            });
}

ServerConnection::~ServerConnection() {
    onLabel = nullptr;
    onBytes = nullptr;
    onReply = nullptr;
    onEnded = nullptr;
    idle_.stop();
    deadline_.stop();
    control_.setConnected(false);
}

int ServerConnection::timeoutSeconds() const {
    return timeoutSeconds_ > 0 ? timeoutSeconds_ : ServerTimeoutSeconds();
}

int ServerConnection::minRateKilobytes() const {
    return minRateKilobytes_ >= 0 ? minRateKilobytes_ : ServerMinRateKilobytes();
}

ServerConnection::Open ServerConnection::OpenConnection(const QString& argument) {
    const KindTexts& texts = kindTexts(kind_);
    if (!IsOnline()) {
        ui::message(
            texts.noInternet.text, ui::Buttons::Ok, texts.noInternet.icon,
            QCoreApplication::translate("brevant::server::ServerConnection", "System Message"));
        Hourglass(false);
        return Open::NotOnline;
    }
    Hourglass(true);
    if (kind_ == RequestKind::AccessCheck)
        base::SetStatusText(QCoreApplication::translate("brevant::server::ServerConnection",
                                                        "Checking Access - Please Wait ..."));
    if (modResources::UserName.isEmpty() || modResources::Password.isEmpty()) {
        ShowLogon();
        if (modResources::LogonCancelled || modResources::UserName.isEmpty() ||
            modResources::Password.isEmpty()) {
            Hourglass(false);
            return Open::LogonCancelled;
        }
    }
    argument_ = argument;

    // Let a close by the server that is already on its way be noticed, so a connection left
    // open by an earlier search and closed meanwhile is opened again instead of failing.
    if (control_.connected())
        control_.pumpEvents();
    if (control_.connected()) {
        switch (kind_) {
        case RequestKind::Search:
            active_ = true;
            sent_ = false;
            reused_ = true;
            reply_.reset();
            startDeadline();
            if (onLabel)
                onLabel(QCoreApplication::translate("brevant::server::ServerConnection",
                                                    "Connecting..."));
            base::SetStatusText(QCoreApplication::translate("brevant::server::ServerConnection",
                                                            "Connecting to Server ..."));
            SendRequest();
            return Open::Sent;
        case RequestKind::ProjectUpdate:
        case RequestKind::AccessCheck:
            return Open::AlreadyConnected;
        case RequestKind::ProjectListing:
        case RequestKind::Documents:
            Disconnect();
            ui::message(
                alreadyConnectedText(), ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::server::ServerConnection", "System Message"));
            base::SetStatusText(QString());
            Hourglass(false);
            return Open::AlreadyConnected;
        }
    }

    control_.setConnected(false); // a connection still being made is dropped
    control_.RemoteHost = ServerAddress();
    control_.RemotePort = ServerPort();
    ApplyFirewall(control_, modResources::ProxyOn);
    try {
        control_.setConnected(true);
    } catch (const wirelet::WireletError&) {
        const bool settings = ShowConnectionProblem(
            texts.connectFailed.text, texts.connectFailed.icon,
            QCoreApplication::translate("brevant::server::ServerConnection", "System Message"));
        base::SetStatusText(QString());
        control_.setConnected(false);
        Hourglass(false);
        if (settings)
            ShowServerSettings();
        return Open::Failed;
    }
    active_ = true;
    sent_ = false;
    reused_ = false;
    reached_ = false;
    reply_.reset();
    restartTimer();
    startDeadline();
    switch (kind_) {
    case RequestKind::Documents:
    case RequestKind::ProjectListing:
    case RequestKind::Search:
        base::SetStatusText(QCoreApplication::translate("brevant::server::ServerConnection",
                                                        "Connecting to Server ..."));
        if (onLabel)
            onLabel(
                QCoreApplication::translate("brevant::server::ServerConnection", "Connecting..."));
        break;
    case RequestKind::ProjectUpdate:
        base::SetStatusText(QString());
        break;
    case RequestKind::AccessCheck:
        break;
    }
    return Open::Connecting;
}

void ServerConnection::connected() {
    reached_ = true;
    base::SetStatusText(QCoreApplication::translate("brevant::server::ServerConnection",
                                                    "Connected to Server ..."));
    if (onLabel)
        onLabel(QCoreApplication::translate("brevant::server::ServerConnection", "Connected"));
    restartTimer();
}

void ServerConnection::SendRequest() {
    if (kind_ == RequestKind::Documents)
        base::ShowWaitForm();
    while (!control_.connected()) {
        if (!control_.connecting() || !active_)
            return; // failed meanwhile; the error path has run
        control_.pumpEvents();
    }
    sent_ = true;
    control_.sendText(
        BuildRequest(kind_, modResources::UserName, modResources::Password, argument_));
    restartTimer();
    if (kind_ == RequestKind::Documents)
        base::SetStatusText(QCoreApplication::translate("brevant::server::ServerConnection",
                                                        "Compiling Documents - Please Wait ..."));
}

void ServerConnection::Disconnect() {
    idle_.stop();
    deadline_.stop();
    active_ = false;
    control_.setConnected(false);
}

void ServerConnection::restartTimer() {
    idle_.start(timeoutSeconds() * 1000);
}

void ServerConnection::startDeadline() {
    // Read once per request: the settings are not read again for every chunk.
    deadlineBaseMs_ = std::int64_t(timeoutSeconds()) * 1000;
    minBytesPerSecond_ = std::int64_t(minRateKilobytes()) * 1024;
    started_.start();
    armDeadline();
}

void ServerConnection::armDeadline() {
    if (minBytesPerSecond_ <= 0) {
        deadline_.stop();
        return;
    }
    const std::int64_t allowedMs =
        deadlineBaseMs_ + reply_.BytesReceived * 1000 / minBytesPerSecond_;
    const std::int64_t left = allowedMs - started_.elapsed();
    deadline_.start(int(std::clamp<std::int64_t>(left, 0, std::numeric_limits<int>::max())));
}

void ServerConnection::finish() {
    idle_.stop();
    deadline_.stop();
    active_ = false;
}

void ServerConnection::dataArrived(const QByteArray& data) {
    if (!active_)
        return; // nothing was asked for
    restartTimer();
    const ReplyAssembler::Result result = reply_.add(data);
    armDeadline();
    if (onBytes)
        onBytes(reply_.BytesReceived);
    switch (result) {
    case ReplyAssembler::Result::Partial:
        return;
    case ReplyAssembler::Result::TooLarge:
        fail(wirelet::codes::MessageTooLong,
             QCoreApplication::translate("brevant::server::ServerConnection",
                                         "Message too long (the reply exceeds %1 MB)")
                 .arg(ReplyAssembler::DefaultMaxBytes >> 20));
        return;
    case ReplyAssembler::Result::Refused:
        refuse();
        return;
    case ReplyAssembler::Result::Complete:
        break;
    }
    finish();
    // Only a search keeps its connection for the next request.
    if (kind_ != RequestKind::Search)
        control_.setConnected(false);
    const QByteArray text = reply_.text();
    if (onReply)
        onReply(text);
}

void ServerConnection::refuse() {
    finish();
    control_.setConnected(false);
    const QString message = ui::peerText(reply_.message());
    ui::message(message, ui::Buttons::Ok, ui::Icon::Information,
                QCoreApplication::translate("brevant::server::ServerConnection", "System Message"));
    Hourglass(false);
    base::SetStatusText(QString());
    reply_.BytesReceived = 0;
    if (onLabel)
        onLabel(QString());
    if (onEnded)
        onEnded();
}

void ServerConnection::peerClosed() {
    if (!active_) {
        if (onLabel)
            onLabel(QString());
        return;
    }
    if (reused_ && sent_ && reply_.BytesReceived == 0) {
        // The server had closed the connection left open before this request reached it.
        reused_ = false;
        sent_ = false;
        reached_ = false;
        try {
            control_.setConnected(false);
            control_.setConnected(true);
            restartTimer();
            return;
        } catch (const wirelet::WireletError& e) {
            fail(e.code(), e.description());
            return;
        }
    }
    fail(wirelet::codes::ConnectionReset,
         wirelet::socketErrorText(wirelet::codes::ConnectionReset));
}

void ServerConnection::fail(int code, const QString& description) {
    finish();
    control_.setConnected(false);
    const QString text = communicationErrorText(code, description);
    // Not reaching the server at all (refused, unknown host, no route, no answer) is what the
    // address, port and proxy settings decide: the message offers them, and they open once the
    // request has been cleaned up, on a window at rest.
    const QString title =
        QCoreApplication::translate("brevant::server::ServerConnection", "System Error");
    bool settings = false;
    if (reached_)
        ui::message(text, ui::Buttons::Ok, ui::Icon::Critical, title);
    else
        settings = ShowConnectionProblem(text, ui::Icon::Critical, title);
    if (onLabel)
        onLabel(QString());
    Hourglass(false);
    base::SetStatusText(QString());
    reply_.reset();
    if (onEnded)
        onEnded();
    if (settings)
        ShowServerSettings();
}

} // namespace brevant::server
