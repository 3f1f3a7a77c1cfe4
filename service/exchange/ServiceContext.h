#pragma once
// What every request handler works with.
#include "service/ServiceOptions.h"

namespace brevant::service {

class Catalogue;
class ArchiveStore;
class SearchEngine;
class DocumentFiles;

struct ServiceContext {
    const ServiceOptions& options;
    Catalogue& catalogue;
    ArchiveStore& archives;
    SearchEngine& search;
    DocumentFiles& documents;
};

} // namespace brevant::service
