#pragma once
// Downloads one URL into a local file. The call returns when the transfer has ended, running the
// event loop meanwhile so the windows stay responsive and progress can be shown. The body is
// written to a temporary file beside the target and renamed over it only when the transfer is
// complete: a cut transfer never leaves a file that looks whole, and whatever is at the target's
// name (a symbolic link included) is replaced, never written through.
//
// Everything the peer controls is bounded: the bytes taken in (counted as they arrive, an error
// page's included), the memory they may take before they are written (the read buffer), the
// silence between bytes and the time the whole transfer may take for what it delivered.
#include <QString>
#include <cstdint>
#include <functional>

namespace brevant::http {

struct DownloadOptions {
    // An HTTP proxy (PROXYURL / PROXYPORT); none when proxyHost is empty.
    QString proxyHost;
    int proxyPort = 80;
    // Bytes received so far, and the announced total (-1 when unknown).
    std::function<void(std::int64_t received, std::int64_t total)> progress;
    // Seconds without a byte before the transfer is given up; 0: never.
    int idleTimeoutSeconds = 120;
    // The slowest transfer kept: the whole transfer may last idleTimeoutSeconds plus one second
    // for every minBytesPerSecond received, so a peer dripping bytes ends like a silent one.
    // 0: no such deadline.
    std::int64_t minBytesPerSecond = 2048;
    // A body larger than this fails.
    std::int64_t maxBytes = std::int64_t(1) << 31;
    // Asked as bytes arrive and a few times a second: true stops the transfer (the user
    // cancelled), which then fails with DownloadCancelledError and leaves no file.
    std::function<bool()> cancelled;
};

// The number of the result of a cancelled transfer ("5 Operation cancelled").
constexpr int DownloadCancelledError = 5;

// Bytes the transfer holds in memory before they are written; the network waits beyond that.
constexpr std::int64_t DownloadReadBufferBytes = std::int64_t(1) << 20;

// "OK" on success; otherwise "number description": the HTTP status and its reason for a status
// of 400 or above ("404 Not Found"), else a network error's number and text.
QString DownloadFile(const QString& url, const QString& localPath,
                     const DownloadOptions& options = {});

} // namespace brevant::http
