#include "service/exchange/RequestHandlers.h"

#include <exception>

namespace brevant::service {

Reply dispatchRequest(const Request& request, ServiceContext& context) {
    const Account* account = context.options.account(request.user);
    if (!account || account->password != request.password)
        return Reply::refusal(refusals::BadCredentials);
    if (!request.version)
        return Reply::refusal(refusals::Malformed);
    if (context.options.minVersion && *request.version < *context.options.minVersion)
        return Reply::refusal(
            refusals::OldVersion(request.version->text(), context.options.minVersion->text()));
    try {
        switch (request.kind) {
        case RequestKind::Search:
            return handleSearch(request, context);
        case RequestKind::ProjectListing:
        case RequestKind::ProjectUpdate:
            return handleProjectDocument(request, context);
        case RequestKind::AccessCheck:
            return Reply{account->documentAccess ? "1" : "0", false, {}};
        case RequestKind::Documents:
            if (!account->documentAccess)
                return Reply::refusal(refusals::NoDocumentAccess);
            return handleDocuments(request, context);
        }
    } catch (const std::exception& e) {
        Reply r = Reply::refusal(refusals::ServerError);
        r.note += QString(" (%1)").arg(e.what());
        return r;
    }
    return Reply::refusal(refusals::Malformed);
}

} // namespace brevant::service
