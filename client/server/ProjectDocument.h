#pragma once
// The project documents the service sends (listings and updates), read into plain data: the
// root's child elements are the projects; each project's child elements are its parts by
// position (0 project fields, 1 specifications, 2 plan sheets, 3 contacts, 4 awards), and each
// part's child elements are its entries. Only those three levels are kept.
//
// The reader takes no document type declaration (so no entity of any kind is defined, and
// nothing outside the file is ever read) and refuses nesting deeper than kMaxDepth and anything
// beyond the limits of DocumentLimits.h, so a hostile file ends as a parse error rather than a
// freeze, a crash or gigabytes of memory. Texts longer than MaxTextChars are cut, and counted.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace brevant::server {

// An element below a project part: its name, attributes in document order and its text (the
// text of everything inside it, as an XML DOM's text()).
struct DocumentEntry {
    QString name;
    QList<QPair<QString, QString>> attributes;
    QString text;

    bool hasAttributes() const { return !attributes.isEmpty(); }
    // The value of the attribute; empty when it is missing.
    QString attribute(const QString& attributeName) const;
};

// One child element of a project ("Specs", "Plans", ...).
struct DocumentPart {
    QString name;
    QList<DocumentEntry> entries;

    bool hasChildren() const { return !entries.isEmpty(); }
    // The first entry of that name (the project fields are read by name); null when missing.
    const DocumentEntry* find(const QString& entryName) const;
};

// One child element of the root, normally "Job".
struct DocumentProject {
    QString name;
    QList<QPair<QString, QString>> attributes;
    QList<DocumentPart> parts;

    // The part at a position; an empty part when the project has fewer.
    const DocumentPart& part(int position) const;
};

struct ProjectDocument {
    QList<DocumentProject> projects;
    bool hasJobElement = false; // the root has at least one child named "Job"
    int cutTexts = 0;           // texts and attribute values cut to MaxTextChars
};

struct ReadResult {
    std::optional<ProjectDocument> document; // set when the text parsed
    QString error;                           // the parser's reason otherwise
};

constexpr int kMaxDepth = 1000;

ReadResult readProjectDocument(const QByteArray& xml);
// Reads the file; a file that cannot be read or is over the size cap is reported like a parse
// error. Cut texts are written to the log.
ReadResult readProjectDocumentFile(const QString& path);

} // namespace brevant::server
