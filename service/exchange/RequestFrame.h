#pragma once
// The request framing of the exchange: the kind character, user "|" password "|" version, the
// kind character again, then the argument. There is no length and no line end, so the header
// tells where the argument starts and only a pause (or, for an access check, the header alone)
// tells that the request is complete.
#include "service/ServiceOptions.h"

#include <QByteArray>
#include <QString>

namespace brevant::service {

enum class RequestKind {
    Search = 1,
    ProjectListing = 2,
    ProjectUpdate = 3,
    AccessCheck = 4,
    Documents = 5
};

struct Request {
    RequestKind kind = RequestKind::Search;
    QString user, password;
    QString versionText;
    std::optional<Version> version; // nullopt when the version field is not major.minor.revision
    QString argument;
};

struct FrameResult {
    enum class Status { Incomplete, Complete, Malformed } status = Status::Incomplete;
    Request request; // valid when Complete: the header is read and the argument is what came
    QString problem; // why, when Malformed
};

// Reads the bytes received so far. Complete means the header is whole; the argument may still
// grow until the sender pauses.
FrameResult parseRequestFrame(const QByteArray& received);

// Longest header (kind, credentials and version) accepted before the frame is called malformed.
constexpr int MaxHeaderBytes = 4096;

} // namespace brevant::service
