#pragma once
// What a request handler answers, before framing and fault injection.
#include <QByteArray>
#include <QString>

namespace brevant::service {

struct Reply {
    QByteArray body;       // without the closing character 1
    bool keepOpen = false; // the search connection stays open for the next search
    QString note;          // extra words for the log line

    static Reply refusal(const QString& message) {
        return Reply{"+NOOK+" + message.toUtf8(), false, "refused: " + message};
    }
};

// The texts of the refusals, shown to the user by the client as they stand.
namespace refusals {
inline const QString BadCredentials = "Invalid user name or password -- Please check them and "
                                      "try again ...";
inline const QString Malformed = "Invalid request -- Please contact support ...";
inline const QString TooLarge = "Request too large ...";
inline const QString NoProjectSelected = "No project selected ...";
inline const QString NoProjectsRequested = "No projects requested ...";
inline const QString NoDocumentAccess = "Your subscription does not include documents -- "
                                        "Please contact us to upgrade ...";
inline const QString BadSearch = "Invalid search criteria -- Please change your search and "
                                 "try again ...";
inline const QString ServerError = "The server could not complete your request -- Please try "
                                   "again later ...";
inline QString OldVersion(const QString& have, const QString& need) {
    return "This version of Brevant Desktop (" + have +
           ") is no longer supported -- Please install version " + need + " or later ...";
}
} // namespace refusals

} // namespace brevant::service
