#include "server/ListingDocument.h"

#include "platform/ui/PeerText.h"
#include "server/DocumentLimits.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace brevant::server {

QString attribute(const AttributeRow& row, const QString& name) {
    for (const auto& [n, v] : row)
        if (n == name)
            return v;
    return QString();
}

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& xml) : xml_(xml) {
        xml_.setNamespaceProcessing(false);
        xml_.setEntityExpansionLimit(0);
    }

    bool parse(ListingDocument& doc, QString* reason) {
        bool sawRoot = false;
        while (next()) {
            if (xml_.tokenType() == QXmlStreamReader::StartElement) {
                if (sawRoot) {
                    xml_.raiseError(
                        QCoreApplication::translate("brevant::server::ListingDocument",
                                                    "Only one top level element is allowed."));
                    break;
                }
                sawRoot = true;
                readRoot(doc);
            }
        }
        if (!xml_.hasError() && !sawRoot)
            xml_.raiseError(QCoreApplication::translate("brevant::server::ListingDocument",
                                                        "The document has no root element."));
        doc.cutTexts = cutTexts_;
        if (xml_.hasError()) {
            // The reader's reason may quote the document's own names: it is cut like any
            // text from the server.
            if (reason)
                *reason = QCoreApplication::translate("brevant::server::ListingDocument",
                                                      "%1 (line %2, column %3)")
                              .arg(ui::peerText(xml_.errorString()))
                              .arg(xml_.lineNumber())
                              .arg(xml_.columnNumber());
            doc = {};
            return false;
        }
        return true;
    }

private:
    // Advances one token, refusing entity declarations and excessive depth.
    bool next() {
        if (xml_.atEnd() || xml_.hasError())
            return false;
        switch (xml_.readNext()) {
        case QXmlStreamReader::DTD:
            if (!xml_.entityDeclarations().isEmpty() || !xml_.notationDeclarations().isEmpty())
                xml_.raiseError(QCoreApplication::translate(
                    "brevant::server::ListingDocument", "Entity declarations are not allowed."));
            break;
        case QXmlStreamReader::EntityReference:
            xml_.raiseError(QCoreApplication::translate("brevant::server::ListingDocument",
                                                        "Undefined entity %1.")
                                .arg(xml_.name()));
            break;
        case QXmlStreamReader::StartElement:
            if (++depth_ > MaxListingDepth)
                xml_.raiseError(QCoreApplication::translate("brevant::server::ListingDocument",
                                                            "Elements are nested too deeply."));
            else if (++elements_ > MaxDocumentElements)
                xml_.raiseError(tooManyElementsError());
            break;
        case QXmlStreamReader::EndElement:
            --depth_;
            break;
        case QXmlStreamReader::Invalid:
            return false;
        default:
            break;
        }
        return !xml_.hasError();
    }

    // Skips the rest of the current element.
    void skip() {
        const int level = depth_;
        while (depth_ >= level && next()) {
        }
    }

    // The text of the current element, nested elements' text included, cut at MaxTextChars.
    QString text() {
        QString out;
        bool cut = false;
        const int level = depth_;
        while (depth_ >= level && next()) {
            if (xml_.tokenType() == QXmlStreamReader::Characters && !cut)
                cut = appendCapped(out, xml_.text());
        }
        cutTexts_ += cut;
        return out;
    }

    QString value(const QXmlStreamAttribute& a) {
        bool cut = false;
        QString out = capped(a.value(), cut);
        cutTexts_ += cut;
        return out;
    }

    void readRoot(ListingDocument& doc) {
        const int level = depth_;
        while (next() && depth_ >= level) {
            if (xml_.tokenType() != QXmlStreamReader::StartElement)
                continue;
            ListingProject p;
            p.elementName = xml_.name().toString();
            const QXmlStreamAttributes attrs = xml_.attributes();
            if (!attrs.isEmpty())
                p.firstAttribute = value(attrs.first());
            if (p.elementName == QLatin1String("Job"))
                doc.hasJob = true;
            readJob(p);
            if (xml_.hasError())
                return;
            doc.projects.append(std::move(p));
        }
    }

    void readJob(ListingProject& p) {
        const int level = depth_;
        int position = 0;
        while (next() && depth_ >= level) {
            if (xml_.tokenType() != QXmlStreamReader::StartElement)
                continue;
            switch (position++) {
            case 0:
                p.hasProjectElement = true;
                readFields(p);
                break;
            case 1:
                readRows(p.specs);
                break;
            case 2:
                readRows(p.plans);
                break;
            case 3:
                readRows(p.contacts);
                break;
            case 4:
                readRows(p.awards);
                break;
            default:
                skip();
                break;
            }
        }
    }

    void readFields(ListingProject& p) {
        const int level = depth_;
        while (next() && depth_ >= level) {
            if (xml_.tokenType() != QXmlStreamReader::StartElement)
                continue;
            ++p.projectFieldCount;
            const QString name = xml_.name().toString();
            QString value = text();
            if (!p.fields.contains(name))
                p.fields.insert(name, std::move(value));
        }
    }

    void readRows(QList<AttributeRow>& rows) {
        const int level = depth_;
        while (next() && depth_ >= level) {
            if (xml_.tokenType() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attrs = xml_.attributes();
            if (!attrs.isEmpty()) {
                AttributeRow row;
                row.reserve(attrs.size());
                for (const QXmlStreamAttribute& a : attrs)
                    row.append({a.qualifiedName().toString(), value(a)});
                rows.append(std::move(row));
            }
            skip();
        }
    }

    QXmlStreamReader xml_;
    int depth_ = 0;
    qint64 elements_ = 0;
    int cutTexts_ = 0;
};

} // namespace

bool ParseListingDocument(const QByteArray& xml, ListingDocument& document, QString* reason) {
    document = {};
    if (const QString tooLarge = documentSizeError(xml.size()); !tooLarge.isEmpty()) {
        if (reason)
            *reason = tooLarge;
        return false;
    }
    Reader reader(xml);
    return reader.parse(document, reason);
}

} // namespace brevant::server
