#include "server/RequestKind.h"

namespace brevant::server {

namespace {
const QString kCheckConnection = QStringLiteral(
    "Not Connected to Internet -- Please check your internet connection and try again ...");
const QString kConnect =
    QStringLiteral("Not Connected to Internet -- Please connect and try again ...");
} // namespace

const KindTexts& kindTexts(RequestKind kind) {
    using ui::Icon;
    static const KindTexts search{
        {kCheckConnection, Icon::Information}, {kCheckConnection, Icon::Exclamation}, {}, {}, {}};
    static const KindTexts listing{{kConnect, Icon::Exclamation},
                                   {kConnect, Icon::Exclamation},
                                   QStringLiteral("Retrieving Project File  -- Please Wait ..."),
                                   QStringLiteral("Error downloading project listing file ..."),
                                   QStringLiteral("Error un-packing project listing file ...")};
    static const KindTexts update{
        {kCheckConnection, Icon::Information},
        {kConnect, Icon::Exclamation},
        QStringLiteral("Retrieving Project Update File  -- Please Wait ..."),
        QStringLiteral("Error downloading project update file ..."),
        QStringLiteral("Error un-packing project update file ...")};
    static const KindTexts access{
        {kCheckConnection, Icon::Information}, {kCheckConnection, Icon::Exclamation}, {}, {}, {}};
    static const KindTexts documents{{kConnect, Icon::Exclamation},
                                     {kConnect, Icon::Exclamation},
                                     QStringLiteral("Retrieving Images -- Please Wait ..."),
                                     QStringLiteral("Error downloading image file ..."),
                                     QStringLiteral("Error un-packing images ...")};
    switch (kind) {
    case RequestKind::Search:
        return search;
    case RequestKind::ProjectListing:
        return listing;
    case RequestKind::ProjectUpdate:
        return update;
    case RequestKind::AccessCheck:
        return access;
    case RequestKind::Documents:
        break;
    }
    return documents;
}

QString alreadyConnectedText() {
    return QStringLiteral(
        "Problem Connecting to Internet (Already Connected) -- Please connect and try again ...");
}

} // namespace brevant::server
