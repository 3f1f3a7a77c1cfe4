#include "service/catalogue/Catalogue.h"
#include "service/exchange/ArchiveStore.h"
#include "service/exchange/Faults.h"
#include "service/exchange/RequestHandlers.h"
#include "service/listing/ListingDocument.h"

#include <QSet>

namespace brevant::service {

Reply handleProjectDocument(const Request& request, ServiceContext& context) {
    const bool update = request.kind == RequestKind::ProjectUpdate;
    const QStringList ids = request.argument.split(',');
    QVector<const Project*> projects;
    QSet<int> seen;
    QStringList changes;
    for (const QString& text : ids) {
        bool ok = false;
        const int id = text.trimmed().toInt(&ok);
        if (!ok)
            return text.trimmed().isEmpty() && ids.size() == 1
                       ? Reply::refusal(refusals::NoProjectsRequested)
                       : Reply::refusal(refusals::Malformed);
        if (seen.contains(id))
            continue;
        seen.insert(id);
        if (!context.catalogue.find(id))
            continue; // unknown projects are left out of the document
        if (update) {
            const QStringList done = context.catalogue.advance(id);
            changes << QString("%1: %2").arg(id).arg(done.join("; "));
        }
        projects << context.catalogue.find(id);
    }
    const int kind = int(request.kind);
    QByteArray xml =
        writeListingDocument(projects, update ? ListingKind::Update : ListingKind::Listing);
    if (context.options.faults.brokenXml && context.options.faults.appliesTo(kind))
        xml = breakXml(xml);
    const QString name = context.archives.writeDocument(update ? "update" : "listing", xml,
                                                        context.options.faults, kind);
    Reply r;
    r.body =
        (context.archives.url(name) + "," + QString::number(context.archives.size(name))).toUtf8();
    r.note = QString("%1 project(s)").arg(projects.size());
    if (!changes.isEmpty())
        r.note += "; changes " + changes.join(" | ");
    return r;
}

} // namespace brevant::service
