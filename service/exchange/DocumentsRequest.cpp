#include "service/catalogue/Catalogue.h"
#include "service/catalogue/DocumentFiles.h"
#include "service/exchange/ArchiveStore.h"
#include "service/exchange/DocumentSelection.h"
#include "service/exchange/RequestHandlers.h"

#include <QFileInfo>

namespace brevant::service {

namespace {

const SpecEntry* findSpec(const Project& p, const QString& key) {
    for (const SpecEntry& s : p.specs) {
        if (s.section.compare(key, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

} // namespace

Reply handleDocuments(const Request& request, ServiceContext& context) {
    const QString text = request.argument.trimmed();
    if (text.isEmpty() || text == "NONE")
        return Reply::refusal(refusals::NoProjectSelected);
    const auto selection = parseDocumentSelection(text);
    if (!selection)
        return Reply::refusal(refusals::Malformed);

    QVector<ArchiveStore::Entry> entries;
    auto add = [&](const QString& path, const QString& comment = {}) {
        entries.push_back({QFileInfo(path).fileName(), path, {}, comment});
    };
    int found = 0;
    if (const Project* p = context.catalogue.find(selection->jobId)) {
        bool planSetAdded = false;
        for (const QString& file : selection->plans) {
            for (const PlanSheet& sheet : p->plans) {
                if (sheet.file.compare(file, Qt::CaseInsensitive) != 0)
                    continue;
                if (!planSetAdded) {
                    add(context.documents.planSet(*p));
                    planSetAdded = true;
                }
                // A revised sheet's page says its revision, so that a client fetching it
                // without having checked for updates still knows which drawing it has.
                add(context.documents.planPage(*p, sheet),
                    sheet.revision > 0 ? QStringLiteral("Revision=%1").arg(sheet.revision)
                                       : QString());
                ++found;
            }
        }
        for (const QStringList* keys : {&selection->sections, &selection->addenda}) {
            for (const QString& key : *keys) {
                const SpecEntry* spec = findSpec(*p, key);
                // An addendum is asked for as ADD~, a section as SPC~; each only finds its kind.
                if (!spec || spec->section.startsWith("ADD") != (keys == &selection->addenda))
                    continue;
                for (const QString& path : context.documents.section(*p, *spec))
                    add(path);
                ++found;
            }
        }
    }
    const QString name = context.archives.allocate("documents", ".zip");
    context.archives.write(name, entries, context.options.faults, int(request.kind));
    Reply r;
    r.body =
        (context.archives.url(name) + "," + QString::number(context.archives.size(name))).toUtf8();
    r.note = QString("%1 document(s), %2 file(s)").arg(found).arg(entries.size());
    return r;
}

} // namespace brevant::service
