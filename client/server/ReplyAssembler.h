#pragma once
// One connection's reply state: the chunks of a reply are collected until the one holding the
// character 1 arrives. A reply beginning "+NOOK+" is a refusal with a message for the user;
// anything else is the success text. Replies are kept as bytes and decoded as UTF-8 only when
// whole, so a character split between chunks stays intact.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace brevant::server {

class ReplyAssembler {
public:
    enum class Result {
        Partial,  // more chunks to come
        Refused,  // "+NOOK+": message()
        Complete, // text()
        TooLarge, // over maxBytes without an end
    };

    static constexpr std::int64_t DefaultMaxBytes = std::int64_t(64) << 20;

    explicit ReplyAssembler(std::int64_t maxBytes = DefaultMaxBytes) : maxBytes_(maxBytes) {}

    // One data event.
    Result add(const QByteArray& chunk);
    // Forgets the reply (ChunkCount 0, BytesReceived 0).
    void reset();

    // The refusal's message: the reply after "+NOOK+" up to the character 1.
    QString message() const;
    // The success text without the character 1.
    const QByteArray& text() const { return ReplyText; }

    QByteArray ReplyText;           // the reply collected so far
    int ChunkCount = 0;             // data events since the last complete reply
    std::int64_t BytesReceived = 0; // bytes of the current reply

private:
    std::int64_t maxBytes_;
};

} // namespace brevant::server
