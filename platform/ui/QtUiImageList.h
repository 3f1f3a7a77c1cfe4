#pragma once
// A numbered list of images loaded from a folder of files named by their number ("07.png"),
// standing in for the image lists the list views and the toolbar draw from.
#include <QIcon>
#include <QMap>
#include <QPixmap>
#include <QString>

namespace brevant::ui {

class ImageList {
public:
    ImageList() = default;
    // Loads every "<number>.png" (or .bmp) of the folder; a missing folder gives an empty list.
    explicit ImageList(const QString& folder);

    bool has(int index) const { return images_.contains(index); }
    // A null icon / pixmap for an index the list does not hold.
    QIcon icon(int index) const;
    QPixmap pixmap(int index, int size) const;
    QList<int> indexes() const { return images_.keys(); }

private:
    QMap<int, QPixmap> images_;
};

} // namespace brevant::ui
