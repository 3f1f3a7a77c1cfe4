#pragma once
// One handler per request kind; each takes a request whose account and version have passed.
#include "service/exchange/Reply.h"
#include "service/exchange/RequestFrame.h"
#include "service/exchange/ServiceContext.h"

namespace brevant::service {

Reply handleSearch(const Request& request, ServiceContext& context);
// Listing and update: the same document, an update moves the projects on first.
Reply handleProjectDocument(const Request& request, ServiceContext& context);
Reply handleDocuments(const Request& request, ServiceContext& context);

// Checks the account and version, then hands the request to its kind's handler.
Reply dispatchRequest(const Request& request, ServiceContext& context);

} // namespace brevant::service
