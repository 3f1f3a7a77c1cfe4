#include "ViewerMemory.h"

#include "base/Settings.h"

#include <QByteArray>
#include <QWidget>

namespace brevant::viewer {

namespace {

const QString kGeometry = QStringLiteral("VIEWERGEOMETRY");

} // namespace

void RestoreViewerGeometry(QWidget& window) {
    const QByteArray bytes = QByteArray::fromBase64(ReadSetting(kGeometry).toLatin1());
    if (!bytes.isEmpty())
        window.restoreGeometry(bytes);
}

void SaveViewerGeometry(const QWidget& window) {
    try {
        WriteSetting(kGeometry, QString::fromLatin1(window.saveGeometry().toBase64()));
    } catch (...) {
    }
}

} // namespace brevant::viewer
