#include "service/catalogue/Catalogue.h"
#include "service/exchange/Faults.h"
#include "service/exchange/RequestHandlers.h"
#include "service/listing/ListingDocument.h"
#include "service/search/SearchEngine.h"

namespace brevant::service {

Reply handleSearch(const Request& request, ServiceContext& context) {
    SearchEngine::Result found = context.search.run(request.argument);
    if (!found.ok) {
        Reply r = Reply::refusal(refusals::BadSearch);
        r.note += " (" + found.error + ")";
        return r;
    }
    QVector<const Project*> projects;
    for (int id : found.jobIds) {
        if (const Project* p = context.catalogue.find(id))
            projects << p;
    }
    QByteArray xml = writeListingDocument(projects, ListingKind::Search);
    if (context.options.faults.brokenXml && context.options.faults.appliesTo(1))
        xml = breakXml(xml);
    return Reply{xml, true, QString("%1 project(s)").arg(projects.size())};
}

} // namespace brevant::service
