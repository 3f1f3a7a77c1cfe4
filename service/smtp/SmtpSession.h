#pragma once
// One SMTP conversation of the sink: commands line by line, the message after DATA up to the
// line holding a single ".", stored through the sink.
#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

namespace brevant::service {

class SmtpSink;

class SmtpSession : public QObject {
public:
    SmtpSession(QTcpSocket* socket, SmtpSink& sink, QObject* parent);

    static constexpr qsizetype MaxLineBytes = 4096;
    static constexpr qsizetype MaxMessageBytes = 64 * 1024 * 1024;

private:
    enum class State { Command, AuthUser, AuthPassword, AuthPlain, Data };

    void onReadyRead();
    void onLine(const QByteArray& line);
    void onCommand(const QByteArray& line);
    void onDataLine(const QByteArray& line);
    void storeMessage();
    void reply(const QByteArray& text);
    void resetEnvelope();

    QTcpSocket* socket_;
    SmtpSink& sink_;
    QTimer inactive_;
    QByteArray input_;
    State state_ = State::Command;
    bool greeted_ = false;
    QByteArray from_;
    QList<QByteArray> recipients_;
    QByteArray message_;
    bool tooLarge_ = false;
};

} // namespace brevant::service
