#pragma once
// What the readers of the service's XML documents (listings, updates, search replies) take in at
// most. A document is the size of a reply at most; one text (an element's text or an attribute's
// value) is cut at 64 K characters, since a description of megabytes would be copied into the
// database, the change history and the search index, and again on every later check; the number
// of elements is bounded because each costs far more in memory than its few bytes of markup.
// Anything beyond these is refused as a parse error.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace brevant::server {

constexpr qint64 MaxDocumentBytes = qint64(64) << 20;
constexpr qsizetype MaxTextChars = 64 * 1024;
constexpr qint64 MaxDocumentElements = 2'000'000;

// The reason a document of this many bytes is refused; empty when it is within the cap.
QString documentSizeError(qint64 bytes);
QString tooManyElementsError();

// Reads a document file whole, refusing one over MaxDocumentBytes before reading anything;
// false with the reason otherwise.
bool readDocumentFile(const QString& path, QByteArray& xml, QString* reason);

// Appends text to a field, keeping at most MaxTextChars; true when something was cut.
bool appendCapped(QString& field, QStringView text);
// The value cut to MaxTextChars; cut is set when something was cut.
QString capped(QStringView value, bool& cut);

// The log line for a document in which texts were cut.
void logCutTexts(const QString& what, int count);

} // namespace brevant::server
