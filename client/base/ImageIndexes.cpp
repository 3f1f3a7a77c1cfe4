#include "base/ImageIndexes.h"

#include <QStringList>

namespace brevant::base {

int AttachmentImage(const QString& type) {
    static const QStringList types = {
        QStringLiteral("DOC"), QStringLiteral("XLS"), QStringLiteral("PDF"),
        QStringLiteral("TXT"), QStringLiteral("RTF"), QStringLiteral("CSV"),
        QStringLiteral("LOG"), QStringLiteral("HTM"), QStringLiteral("HTML")};
    const int i = types.indexOf(type.trimmed().toUpper());
    return i < 0 ? images2::GenericFile : 3 + i;
}

} // namespace brevant::base
