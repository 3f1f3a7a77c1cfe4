#pragma once
// The XML documents the service sends: search results (inline), project listings and project
// updates (each packed in a zip). One "Job" element per project with its parts at fixed
// positions: 0 the project fields, 1 specifications, 2 plan sheets, 3 contacts, and for updates
// 4 the low bidders and awards plus the project number as the Job element's first attribute.
// Elements follow each other without white space, so every child node is an element.
#include "service/catalogue/Project.h"

#include <QByteArray>
#include <QDateTime>
#include <QVector>

namespace brevant::service {

enum class ListingKind {
    Search,  // project fields only; the three lists are present but empty
    Listing, // positions 0 to 3
    Update,  // positions 0 to 4 and the Job_ID attribute
};

QByteArray writeListingDocument(const QVector<const Project*>& projects, ListingKind kind);

// Dates as the service writes them: "M/d/yyyy h:mm:ss AM"; empty for a null date.
QString wireDate(const QDateTime& dt);

} // namespace brevant::service
