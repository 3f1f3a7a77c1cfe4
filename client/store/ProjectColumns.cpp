// Column widths and the attachment view mode read from the settings.
#include "base/Settings.h"
#include "store/ProjectList.h"

namespace brevant::store {

int columnWidth(const ListColumn& column) {
    bool ok = false;
    const int stored = ReadSetting(column.caption).trimmed().toInt(&ok);
    // A width that cannot be used (text, zero, negative) would hide the column for good.
    return ok && stored > 0 ? stored : column.builtInWidth;
}

int attachListViewMode() {
    bool ok = false;
    const int mode = ReadSetting(QStringLiteral("ATTACHLIST"), QStringLiteral("3")).toInt(&ok);
    return ok && mode >= 0 && mode <= 3 ? mode : 3;
}

} // namespace brevant::store
