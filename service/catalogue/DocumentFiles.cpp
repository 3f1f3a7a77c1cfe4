#include "service/catalogue/DocumentFiles.h"

#include "service/catalogue/DocumentPages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace brevant::service {

namespace {

void writeFile(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (contents.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(contents) != contents.size() || !file.commit())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

bool present(const QString& path, qint64 size = -1) {
    const QFileInfo info(path);
    return info.exists() && info.size() > 0 && (size < 0 || info.size() == size);
}

// Page images are drawn at this resolution; small enough that archives stay small and pages
// are made fast, large enough to read a sheet's title block.
constexpr int PageDpi = 50;

} // namespace

DocumentFiles::DocumentFiles(const QString& dataDir)
    : folder_(QDir(dataDir).filePath("documents")) {}

QString DocumentFiles::folderOf(const Project& project) const {
    const QString folder = QDir(folder_).filePath(QString::number(project.jobId));
    if (!QDir().mkpath(folder))
        throw std::runtime_error(("cannot create " + folder).toStdString());
    return folder;
}

QString DocumentFiles::planSet(const Project& project) const {
    const QDir folder(folderOf(project));
    const QString path = folder.filePath("PLAN.SVD");
    // The set lists every sheet, and sheets are added and revised over time: it is drawn again
    // whenever the sheet list differs from the one it was drawn for.
    QByteArray sheets;
    for (const PlanSheet& s : project.plans)
        sheets += s.file.toUtf8() + '\t' + s.description.toUtf8() + '\t' +
                  QByteArray::number(s.revision) + '\n';
    const QString stamp = folder.filePath("PLAN.SVD.sheets");
    QFile old(stamp);
    if (present(path) && old.open(QIODevice::ReadOnly) && old.readAll() == sheets)
        return path;
    writeFile(path, planSetPdf(project));
    writeFile(stamp, sheets.isEmpty() ? QByteArray("\n") : sheets);
    return path;
}

QString DocumentFiles::planPage(const Project& project, const PlanSheet& sheet) const {
    // A revised sheet is a file of its own (rev<N>/PLANnnn), so a copy of an earlier revision is
    // never handed out for it; the archive entry keeps the sheet's name.
    QString folder = folderOf(project);
    if (sheet.revision > 0) {
        folder = QDir(folder).filePath(QStringLiteral("rev%1").arg(sheet.revision));
        if (!QDir().mkpath(folder))
            throw std::runtime_error(("cannot create " + folder).toStdString());
    }
    const QString path = QDir(folder).filePath(sheet.file);
    if (present(path, sheet.size))
        return path;
    // The file has exactly the size the listing announced: the image is drawn at a resolution
    // that fits and padded behind its last byte, which TIFF readers never look at.
    QByteArray image;
    for (int dpi = PageDpi; dpi >= 12; dpi = dpi * 2 / 3) {
        image = planSheetTiff(project, sheet, dpi);
        if (image.isEmpty() || image.size() <= sheet.size)
            break;
    }
    if (image.isEmpty())
        throw std::runtime_error("no TIFF image writer (Qt image formats plugin missing)");
    if (image.size() < sheet.size)
        image.append(QByteArray(sheet.size - image.size(), '\0'));
    writeFile(path, image);
    return path;
}

QStringList DocumentFiles::section(const Project& project, const SpecEntry& spec) const {
    const QDir folder(folderOf(project));
    QStringList paths;
    const QString svd = folder.filePath(spec.section + ".SVD");
    if (!present(svd))
        writeFile(svd, sectionPdf(project, spec));
    paths << svd;
    const int pages = std::max(1, spec.pages);
    for (int i = 1; i <= pages; ++i) {
        const QString name = QString("%1_%2.tif").arg(spec.section).arg(i, 3, 10, QChar('0'));
        const QString path = folder.filePath(name);
        if (!present(path)) {
            const QByteArray image = textPageTiff(project, spec, i, pages, PageDpi);
            if (image.isEmpty())
                throw std::runtime_error("no TIFF image writer (Qt image formats plugin missing)");
            writeFile(path, image);
        }
        paths << path;
    }
    return paths;
}

} // namespace brevant::service
