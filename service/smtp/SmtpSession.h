#pragma once
// One SMTP conversation of the sink: commands line by line, the message after DATA up to the
// line holding a single ".", stored through the sink. What one client can make it hold is
// bounded: a line, a message, 100 recipients, and the replies it has not read yet (while those
// pile up, nothing more is read from it, so its own sending stalls).
#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

namespace brevant::service {

class SmtpSink;

class SmtpSession : public QObject {
public:
    SmtpSession(QTcpSocket* socket, SmtpSink& sink, int firstBytesMs, QObject* parent);

    static constexpr qsizetype MaxLineBytes = 4096;
    static constexpr qsizetype MaxMessageBytes = 64 * 1024 * 1024;
    static constexpr int MaxRecipients = 100; // RFC 5321's minimum a server must take
    static constexpr qsizetype MaxUnreadReplyBytes = 64 * 1024;
    static constexpr qsizetype ReadChunkBytes = 64 * 1024;

private:
    enum class State { Command, AuthUser, AuthPassword, AuthPlain, Data };

    void process();
    void onInactive();
    void onLine(const QByteArray& line);
    void onCommand(const QByteArray& line);
    void onDataLine(const QByteArray& line);
    void storeMessage();
    void reply(const QByteArray& text);
    void resetEnvelope();

    QTcpSocket* socket_;
    SmtpSink& sink_;
    QTimer inactive_;
    QTimer firstBytes_; // a client must speak soon after the greeting
    QByteArray input_;
    qsizetype consumed_ = 0; // input_ before this is handled
    qsizetype scanFrom_ = 0; // no line end before this in input_
    State state_ = State::Command;
    bool greeted_ = false;
    QByteArray from_;
    QList<QByteArray> recipients_;
    QByteArray message_;
    bool tooLarge_ = false;
};

} // namespace brevant::service
