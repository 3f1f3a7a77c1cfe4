#pragma once
// What the viewer's tests share: documents drawn for them, with marks at known places in
// points, and settings and program folders of their own for the whole run.
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace brevant::viewer::test {

// A black square of 40 points with its top-left corner here on every page, and a frame.
inline const QRectF Mark(300, 200, 40, 40);

// A PDF of pages of the given sizes in points (a tabloid sheet across is 1224 x 792), each with
// its number, its frame and the black Mark, all drawn as lines and text.
inline QString writeSizedPdf(const QString& path, const std::vector<QSizeF>& sizes) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter p;
    for (size_t i = 0; i < sizes.size(); ++i) {
        writer.setPageLayout(
            QPageLayout(QPageSize(sizes[i], QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        if (i == 0)
            p.begin(&writer);
        else
            writer.newPage();
        p.drawText(QPointF(72, 72), QStringLiteral("Page %1").arg(i + 1));
        p.drawRect(QRectF(QPointF(10, 10), sizes[i] - QSizeF(20, 20)));
        p.fillRect(Mark, Qt::black);
    }
    p.end();
    return path;
}

// Pages across (landscape) or along (portrait), letter size.
inline QString writePdf(const QString& path, const std::vector<bool>& landscape) {
    std::vector<QSizeF> sizes;
    for (bool across : landscape)
        sizes.push_back(across ? QSizeF(792, 612) : QSizeF(612, 792));
    return writeSizedPdf(path, sizes);
}

// Settings (the registry file) and the program folder in a folder of the run's own, so that
// the windows' memory never touches the user's.
class ViewerTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("BREVANT_HOME", dir_.filePath(QStringLiteral("home")).toUtf8());
        qputenv("BREVANT_REGISTRY", dir_.filePath(QStringLiteral("registry")).toUtf8());
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

} // namespace brevant::viewer::test
