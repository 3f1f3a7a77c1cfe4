#include "server/ProjectDocument.h"

#include "platform/ui/PeerText.h"
#include "server/DocumentLimits.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace brevant::server {

QString DocumentEntry::attribute(const QString& attributeName) const {
    for (const auto& a : attributes) {
        if (a.first == attributeName)
            return a.second;
    }
    return {};
}

const DocumentEntry* DocumentPart::find(const QString& entryName) const {
    for (const DocumentEntry& e : entries) {
        if (e.name == entryName)
            return &e;
    }
    return nullptr;
}

const DocumentPart& DocumentProject::part(int position) const {
    static const DocumentPart empty;
    return position >= 0 && position < parts.size() ? parts[position] : empty;
}

namespace {

QList<QPair<QString, QString>> attributesOf(const QXmlStreamReader& r, int& cutTexts) {
    QList<QPair<QString, QString>> out;
    const QXmlStreamAttributes attrs = r.attributes();
    out.reserve(attrs.size());
    for (const QXmlStreamAttribute& a : attrs) {
        bool cut = false;
        out.append({a.qualifiedName().toString(), capped(a.value(), cut)});
        cutTexts += cut;
    }
    return out;
}

QString positionText(const QXmlStreamReader& r) {
    return QCoreApplication::translate("brevant::server::ProjectDocument", " (line %1, column %2)")
        .arg(r.lineNumber())
        .arg(r.columnNumber());
}

} // namespace

ReadResult readProjectDocument(const QByteArray& xml) {
    // The reason may quote the document's own names: it is cut like any text from the server.
    auto fail = [&](const QString& reason) {
        return ReadResult{std::nullopt, ui::peerText(reason)};
    };
    if (const QString tooLarge = documentSizeError(xml.size()); !tooLarge.isEmpty())
        return fail(tooLarge);
    QXmlStreamReader r(xml);
    ProjectDocument doc;
    int depth = 0; // 1 = root, 2 = project, 3 = part, 4 = entry
    qint64 elements = 0;
    bool sawRoot = false;
    DocumentEntry* entry = nullptr;
    bool entryCut = false; // the entry's text was cut already

    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::DTD:
            return fail(QCoreApplication::translate("brevant::server::ProjectDocument",
                                                    "A document type declaration is not accepted") +
                        positionText(r));
        case QXmlStreamReader::EntityReference:
            return fail(QCoreApplication::translate("brevant::server::ProjectDocument",
                                                    "Undefined entity '%1'")
                            .arg(r.name()) +
                        positionText(r));
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxDepth)
                return fail(QCoreApplication::translate("brevant::server::ProjectDocument",
                                                        "Elements are nested deeper than %1 levels")
                                .arg(kMaxDepth) +
                            positionText(r));
            if (++elements > MaxDocumentElements)
                return fail(tooManyElementsError() + positionText(r));
            if (depth == 1) {
                sawRoot = true;
            } else if (depth == 2) {
                DocumentProject p;
                p.name = r.name().toString();
                p.attributes = attributesOf(r, doc.cutTexts);
                if (p.name == QLatin1String("Job"))
                    doc.hasJobElement = true;
                doc.projects.append(std::move(p));
            } else if (depth == 3) {
                doc.projects.last().parts.append(DocumentPart{r.name().toString(), {}});
            } else if (depth == 4) {
                auto& entries = doc.projects.last().parts.last().entries;
                entries.append(
                    DocumentEntry{r.name().toString(), attributesOf(r, doc.cutTexts), {}});
                entry = &entries.last();
                entryCut = false;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 4)
                entry = nullptr;
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (entry && !entryCut && appendCapped(entry->text, r.text())) {
                entryCut = true;
                ++doc.cutTexts;
            }
            break;
        default:
            break;
        }
    }
    if (r.hasError())
        return fail(r.errorString() + positionText(r));
    if (!sawRoot)
        return fail(QCoreApplication::translate("brevant::server::ProjectDocument",
                                                "The document has no root element"));
    return ReadResult{std::move(doc), {}};
}

ReadResult readProjectDocumentFile(const QString& path) {
    QByteArray xml;
    QString reason;
    if (!readDocumentFile(path, xml, &reason))
        return ReadResult{std::nullopt, reason};
    ReadResult result = readProjectDocument(xml);
    if (result.document)
        logCutTexts(path, result.document->cutTexts);
    return result;
}

} // namespace brevant::server
