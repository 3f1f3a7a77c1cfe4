#include "base/Workstation.h"

#include "base/Settings.h"

#include <QUuid>

namespace brevant::base {

QString WorkstationId() {
    const QString key = QLatin1String(kWorkstationSetting);
    QString id = ReadSetting(key).trimmed();
    if (id.isEmpty()) {
        id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        WriteSetting(key, id);
    }
    return id;
}

} // namespace brevant::base
