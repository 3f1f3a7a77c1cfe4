#pragma once
// The five requests of the server exchange and the texts each shows at the shared steps
// (missing Internet connection, failed connection, failed download or unpack).
#include "platform/ui/Ui.h"

#include <QString>

namespace brevant::server {

// The kind's number is also the character that opens and closes the request header.
enum class RequestKind {
    Search = 1,
    ProjectListing = 2,
    ProjectUpdate = 3,
    AccessCheck = 4,
    Documents = 5
};

struct KindMessage {
    QString text;
    ui::Icon icon = ui::Icon::Information;
};

struct KindTexts {
    KindMessage noInternet;    // IsOnline() is false
    KindMessage connectFailed; // the connection could not be started
    QString retrieving;        // status text while the archive is fetched
    QString downloadFailed;    // "Error downloading ... ..."
    QString unpackFailed;      // "Error un-packing ... ..."
};

const KindTexts& kindTexts(RequestKind kind);

// "Problem Connecting to Internet (Already Connected) -- Please connect and try again ..."
QString alreadyConnectedText();

} // namespace brevant::server
