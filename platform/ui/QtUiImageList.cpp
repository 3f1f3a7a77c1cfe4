#include "platform/ui/QtUiImageList.h"

#include <QDir>
#include <QFileInfo>

namespace brevant::ui {

ImageList::ImageList(const QString& folder) {
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.png"), QStringLiteral("*.bmp")}, QDir::Files);
    for (const QFileInfo& f : files) {
        bool ok = false;
        const int n = f.completeBaseName().toInt(&ok);
        if (!ok)
            continue;
        QPixmap p(f.filePath());
        if (!p.isNull())
            images_.insert(n, p);
    }
}

QIcon ImageList::icon(int index) const {
    auto it = images_.constFind(index);
    return it == images_.constEnd() ? QIcon() : QIcon(*it);
}

QPixmap ImageList::pixmap(int index, int size) const {
    auto it = images_.constFind(index);
    if (it == images_.constEnd())
        return QPixmap();
    return it->scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace brevant::ui
