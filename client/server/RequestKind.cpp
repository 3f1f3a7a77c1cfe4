#include "server/RequestKind.h"

#include <QCoreApplication>

namespace brevant::server {

const KindTexts& kindTexts(RequestKind kind) {
    using ui::Icon;
    const QString kCheckConnection = QCoreApplication::translate(
        "brevant::server::RequestKind",
        "Not Connected to Internet -- Please check your internet connection and try again ...");
    const QString kConnect = QCoreApplication::translate(
        "brevant::server::RequestKind",
        "Not Connected to Internet -- Please connect and try again ...");
    static const KindTexts search{
        {kCheckConnection, Icon::Information}, {kCheckConnection, Icon::Exclamation}, {}, {}, {}};
    static const KindTexts listing{
        {kConnect, Icon::Exclamation},
        {kConnect, Icon::Exclamation},
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Retrieving Project File  -- Please Wait ..."),
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Error downloading project listing file ..."),
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Error un-packing project listing file ...")};
    static const KindTexts update{
        {kCheckConnection, Icon::Information},
        {kConnect, Icon::Exclamation},
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Retrieving Project Update File  -- Please Wait ..."),
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Error downloading project update file ..."),
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Error un-packing project update file ...")};
    static const KindTexts access{
        {kCheckConnection, Icon::Information}, {kCheckConnection, Icon::Exclamation}, {}, {}, {}};
    static const KindTexts documents{
        {kConnect, Icon::Exclamation},
        {kConnect, Icon::Exclamation},
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Retrieving Images -- Please Wait ..."),
        QCoreApplication::translate("brevant::server::RequestKind",
                                    "Error downloading image file ..."),
        QCoreApplication::translate("brevant::server::RequestKind", "Error un-packing images ...")};
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
    return QCoreApplication::translate(
        "brevant::server::RequestKind",
        "Problem Connecting to Internet (Already Connected) -- Please connect and try again ...");
}

} // namespace brevant::server
