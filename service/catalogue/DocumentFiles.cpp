#include "service/catalogue/DocumentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace brevant::service {

namespace {

// Writes the file unless it is there already with the expected size.
void ensureFile(const QString& path, const QByteArray& contents) {
    QFileInfo info(path);
    if (info.exists() && info.size() == contents.size())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

// A body of exactly size bytes that starts with a readable header line. The rest is noise
// from a fixed sequence: page images are compressed already, so archives of them should not
// shrink much either.
QByteArray filled(const QByteArray& header, qint64 size) {
    QByteArray body = header.left(size);
    body.reserve(size);
    quint32 state = 2463534242u ^ quint32(size);
    while (body.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        body += char(state & 0xff);
    }
    return body;
}

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
    QByteArray text = "SVD 1.0 plan set\r\nProject: " + QByteArray::number(project.jobId) + " " +
                      project.name.toUtf8() + "\r\n";
    for (const PlanSheet& s : project.plans)
        text += s.file.toUtf8() + "\t" + s.description.toUtf8() + "\r\n";
    const QString path = QDir(folderOf(project)).filePath("PLAN.SVD");
    // The set lists every sheet, and sheets are added over time: always rewrite it.
    QFile::remove(path);
    ensureFile(path, text);
    return path;
}

QString DocumentFiles::planPage(const Project& project, const PlanSheet& sheet) const {
    const QString path = QDir(folderOf(project)).filePath(sheet.file);
    ensureFile(path, filled("SVD page " + sheet.file.toUtf8() + " of project " +
                                QByteArray::number(project.jobId) + ": " +
                                sheet.description.toUtf8() + "\r\n",
                            sheet.size));
    return path;
}

QStringList DocumentFiles::section(const Project& project, const SpecEntry& spec) const {
    const QDir folder(folderOf(project));
    QStringList paths;
    const QString svd = folder.filePath(spec.section + ".SVD");
    QByteArray text = "SVD 1.0 document\r\nProject: " + QByteArray::number(project.jobId) +
                      "\r\nSection: " + spec.section.toUtf8() + " " + spec.description.toUtf8() +
                      "\r\n";
    for (int i = 1; i <= spec.pages; ++i)
        text += QString("%1_%2.tif\r\n").arg(spec.section).arg(i, 3, 10, QChar('0')).toUtf8();
    ensureFile(svd, text);
    paths << svd;
    for (int i = 1; i <= spec.pages; ++i) {
        const QString name = QString("%1_%2.tif").arg(spec.section).arg(i, 3, 10, QChar('0'));
        // A little-endian TIFF signature, then filler.
        QByteArray header("II*\0", 4);
        header += " page " + QByteArray::number(i) + " of " + spec.section.toUtf8() + "\r\n";
        ensureFile(folder.filePath(name), filled(header, 2048 + 512 * i));
        paths << folder.filePath(name);
    }
    return paths;
}

} // namespace brevant::service
