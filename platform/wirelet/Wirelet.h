#pragma once
// The TCP client control of the server exchange: one object per connection. The owner sets the
// remote host and port (and the firewall), sets it connected, sends text when it is ready, and
// hears of the connection through five events. Socket failures arrive as the Error event with a
// 10000-range code and its usual text (SocketErrors.h).
#include <QByteArray>
#include <QObject>
#include <QString>
#include <stdexcept>

class QTcpSocket;

namespace brevant::wirelet {

// Raised by setConnected(true) when the connection cannot even be started.
class WireletError : public std::runtime_error {
public:
    WireletError(int code, const QString& description);
    int code() const { return code_; }
    const QString& description() const { return description_; }

private:
    int code_;
    QString description_;
};

enum FirewallType { FirewallNone = 0, FirewallSocks5 = 3 };

class Wirelet : public QObject {
    Q_OBJECT
public:
    explicit Wirelet(QObject* parent = nullptr);
    ~Wirelet() override;

    // Set before connecting.
    QString RemoteHost;
    int RemotePort = 0;
    int FirewallType = FirewallNone; // 0 none, 3 SOCKS 5 (the mail control's numbering)
    QString FirewallHost;
    int FirewallPort = 1080;
    QString FirewallUser;
    QString FirewallPassword;

    // True while the connection is open (connected and not yet closed).
    bool connected() const;
    // True while a connection is being made or is open.
    bool connecting() const;
    // true: starts connecting and returns at once (Connected follows, or Error); throws
    // WireletError when it cannot start (no host, bad port, unknown firewall type).
    // false: closes the connection at once; no Disconnected event follows.
    void setConnected(bool on);

    // Sends the text (as its UTF-8 bytes). Ignored when not connected.
    void sendText(const QString& text);
    void sendBytes(const QByteArray& bytes);

    // Processes the control's pending events (the owner calls it in a wait loop).
    void pumpEvents();

Q_SIGNALS:
    void Connected();
    void ReadyToSend();
    void DataArrived(const QByteArray& data);
    void Disconnected(); // the peer closed the connection
    void Error(int code, const QString& description);

private:
    void onError();
    QTcpSocket* socket_;
    bool closing_ = false;
};

} // namespace brevant::wirelet
