#include "service/exchange/RequestFrame.h"

namespace brevant::service {

FrameResult parseRequestFrame(const QByteArray& received) {
    FrameResult r;
    if (received.isEmpty())
        return r;
    const char kind = received.at(0);
    if (kind < 1 || kind > 5) {
        r.status = FrameResult::Status::Malformed;
        r.problem = QString("unknown request kind %1").arg(int(static_cast<unsigned char>(kind)));
        return r;
    }
    const qsizetype close = received.indexOf(kind, 1);
    if (close < 0) {
        if (received.size() > MaxHeaderBytes) {
            r.status = FrameResult::Status::Malformed;
            r.problem = "header too long";
        }
        return r;
    }
    const QList<QByteArray> fields = received.mid(1, close - 1).split('|');
    if (fields.size() != 3) {
        r.status = FrameResult::Status::Malformed;
        r.problem = QString("header has %1 fields").arg(fields.size());
        return r;
    }
    r.status = FrameResult::Status::Complete;
    r.request.kind = static_cast<RequestKind>(kind);
    r.request.user = QString::fromUtf8(fields[0]);
    r.request.password = QString::fromUtf8(fields[1]);
    r.request.versionText = QString::fromUtf8(fields[2]);
    r.request.version = Version::parse(r.request.versionText);
    r.request.argument = QString::fromUtf8(received.mid(close + 1));
    return r;
}

} // namespace brevant::service
