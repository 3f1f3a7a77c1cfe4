#pragma once
// The listing document in which the server delivers projects (listing, update and search
// replies): a root element whose children are the projects ("Job"), each holding by position
// the project element (one child per field, the value as text), the specification, plan and
// contact lists (one child per row, values in attributes) and, in updates, the award list.
//
// Read with a streaming reader straight from memory: no external entities, no network, no DTD
// entity declarations at all (an expansion bomb is refused before it starts), no nesting
// deeper than 1,000 elements and nothing beyond the limits of DocumentLimits.h; any of these is a
// parse error, never a freeze. Texts longer than MaxTextChars are cut, and counted.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace brevant::server {

using AttributeRow = QList<std::pair<QString, QString>>; // attribute name and value, in order

struct ListingProject {
    QString elementName;    // "Job"
    QString firstAttribute; // the Job element's first attribute (updates carry Job_ID there)
    bool hasProjectElement = false;
    int projectFieldCount = 0;      // child elements of the project element
    QHash<QString, QString> fields; // field element name -> text (first occurrence)
    QList<AttributeRow> specs, plans, contacts, awards; // rows that have attributes

    // The field's text; empty when the element is missing.
    QString field(const QString& name) const { return fields.value(name); }
};

// The value of an attribute of a row (first match), empty when missing.
QString attribute(const AttributeRow& row, const QString& name);

struct ListingDocument {
    QList<ListingProject> projects; // every child element of the root, in order
    bool hasJob = false;            // at least one child named "Job"
    int cutTexts = 0;               // texts and attribute values cut to MaxTextChars
};

constexpr int MaxListingDepth = 1000;

// Parses the document; false with the reason (e.g. "Premature end of document. (line 1,
// column 90)") when it is not well formed or is refused.
bool ParseListingDocument(const QByteArray& xml, ListingDocument& document, QString* reason);

} // namespace brevant::server
