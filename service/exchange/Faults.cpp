#include "service/exchange/Faults.h"

namespace brevant::service {

QByteArray breakXml(const QByteArray& xml) {
    QByteArray cut = xml.left(std::max<qsizetype>(xml.size() * 2 / 3, 40));
    return cut + "<Job><Project><Name>Broken &amp";
}

QString hostileEntryName(const QString& name, int index) {
    switch (index % 4) {
    case 0:
        return "../" + name;
    case 1:
        return "/tmp/brevant-hostile-" + name;
    case 2:
        return "..\\" + name;
    default:
        return "sub/../../" + name;
    }
}

} // namespace brevant::service
