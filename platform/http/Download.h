#pragma once
// Downloads one URL into a local file. The call returns when the transfer has ended, running the
// event loop meanwhile so the windows stay responsive and progress can be shown. The body is
// written to a temporary file beside the target and renamed over it only when the transfer is
// complete: a cut transfer never leaves a file that looks whole.
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
    // A body larger than this fails.
    std::int64_t maxBytes = std::int64_t(1) << 31;
};

// "OK" on success; otherwise "number description": the HTTP status and its reason for a status
// of 400 or above ("404 Not Found"), else a network error's number and text.
QString DownloadFile(const QString& url, const QString& localPath,
                     const DownloadOptions& options = {});

} // namespace brevant::http
