#include "shell/WindowMemory.h"

#include "base/Settings.h"

namespace brevant::shell {

namespace {

const QString kGeometry = QStringLiteral("WINDOWGEOMETRY");
const QString kState = QStringLiteral("WINDOWSTATE");
const QString kSplitList = QStringLiteral("SPLITLIST");
const QString kSplitPanes = QStringLiteral("SPLITPANES");
const QString kSortColumn = QStringLiteral("SORTCOLUMN");
const QString kSortOrder = QStringLiteral("SORTORDER");
const QString kFilter = QStringLiteral("LISTFILTER");
const QString kCurrentProject = QStringLiteral("CURRENTPROJECT");

// Window states are bytes; the settings hold text.
QByteArray readBytes(const QString& key) {
    return QByteArray::fromBase64(ReadSetting(key).toLatin1());
}

void write(const QString& key, const QString& value) {
    try {
        WriteSetting(key, value);
    } catch (...) {
    }
}

} // namespace

WindowMemory ReadWindowMemory() {
    WindowMemory m;
    m.geometry = readBytes(kGeometry);
    m.state = readBytes(kState);
    m.splitList = readBytes(kSplitList);
    m.splitPanes = readBytes(kSplitPanes);
    const QString order = ReadSetting(kSortOrder).trimmed().toUpper();
    const store::SortIcon icon = order == QLatin1String("ASC")    ? store::SortAscending
                                 : order == QLatin1String("DESC") ? store::SortDescending
                                                                  : store::NoSortIcon;
    // An unknown column or order leaves the sort of a first start.
    m.sort = store::SortState(ReadSetting(kSortColumn), icon);
    m.filter = store::filterFromName(ReadSetting(kFilter, QStringLiteral("ALL")));
    bool ok = false;
    const int job = ReadSetting(kCurrentProject).trimmed().toInt(&ok);
    if (ok && job > 0)
        m.currentJobId = job;
    return m;
}

void SaveWindowMemory(const WindowMemory& m) {
    write(kGeometry, QString::fromLatin1(m.geometry.toBase64()));
    write(kState, QString::fromLatin1(m.state.toBase64()));
    write(kSplitList, QString::fromLatin1(m.splitList.toBase64()));
    write(kSplitPanes, QString::fromLatin1(m.splitPanes.toBase64()));
    write(kSortColumn, m.sort.caption());
    write(kSortOrder, m.sort.order());
    write(kFilter, store::filterName(m.filter));
    write(kCurrentProject, m.currentJobId ? QString::number(*m.currentJobId) : QString());
}

} // namespace brevant::shell
