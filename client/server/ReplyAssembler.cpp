#include "server/ReplyAssembler.h"

namespace brevant::server {

namespace {
const QByteArray kRefusal = QByteArrayLiteral("+NOOK+");
} // namespace

ReplyAssembler::Result ReplyAssembler::add(const QByteArray& chunk) {
    if (ChunkCount == 0) {
        ReplyText.clear();
        BytesReceived = 0;
    }
    ++ChunkCount;
    BytesReceived += chunk.size();
    const qsizetype end = chunk.indexOf('\x01');
    if (end < 0) {
        if (ReplyText.size() + chunk.size() > maxBytes_) {
            ChunkCount = 0;
            return Result::TooLarge;
        }
        ReplyText += chunk;
        return Result::Partial;
    }
    ChunkCount = 0;
    // Whatever follows the character 1 belongs to no reply.
    ReplyText += chunk.left(end);
    return ReplyText.startsWith(kRefusal) ? Result::Refused : Result::Complete;
}

void ReplyAssembler::reset() {
    ReplyText.clear();
    ChunkCount = 0;
    BytesReceived = 0;
}

QString ReplyAssembler::message() const {
    return QString::fromUtf8(ReplyText.mid(kRefusal.size()));
}

} // namespace brevant::server
