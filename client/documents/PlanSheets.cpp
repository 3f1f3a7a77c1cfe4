#include "documents/PlanSheets.h"

#include "documents/DocumentCache.h"
#include "platform/db/Recordset.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>

namespace brevant::documents {

namespace {

// Names compared with their runs of digits as numbers, letters without regard to case.
bool sheetBefore(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            // Leading zeros do not count; a longer run of significant digits is larger.
            QStringView x = QStringView(a).mid(i, ei - i);
            QStringView y = QStringView(b).mid(j, ej - j);
            while (x.size() > 1 && x.front() == QLatin1Char('0'))
                x = x.mid(1);
            while (y.size() > 1 && y.front() == QLatin1Char('0'))
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        const QChar x = a.at(i).toUpper();
        const QChar y = b.at(j).toUpper();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QString viewerProgram() {
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/brevant-viewer");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("brevant-viewer"));
}

} // namespace

std::vector<PlanSheetEntry> PlanSheetsOfProject(db::Connection& connection, int jobId) {
    std::vector<PlanSheetEntry> sheets;
    db::Recordset rs;
    rs.open(QStringLiteral("Select File, Description FROM [Plans] where [JobID] = ") +
                QString::number(jobId),
            connection);
    while (!rs.eof()) {
        PlanSheetEntry e;
        e.file = rs.field(QStringLiteral("File")).toString().trimmed();
        e.description = rs.field(QStringLiteral("Description")).toString().trimmed();
        if (!e.file.isEmpty())
            sheets.push_back(e);
        rs.moveNext();
    }
    rs.close();
    std::stable_sort(sheets.begin(), sheets.end(),
                     [](const PlanSheetEntry& a, const PlanSheetEntry& b) {
                         return sheetBefore(a.file, b.file);
                     });
    for (size_t i = 0; i < sheets.size(); ++i)
        sheets[i].page = int(i) + 2; // the title page comes first
    return sheets;
}

int PlanSheetPage(db::Connection& connection, int jobId, const QString& file) {
    for (const PlanSheetEntry& e : PlanSheetsOfProject(connection, jobId)) {
        if (e.file.compare(file.trimmed(), Qt::CaseInsensitive) == 0)
            return e.page;
    }
    return 0;
}

QStringList PlanSetViewerArguments(int jobId, const QString& file, int page) {
    QStringList arguments;
    if (jobId > 0)
        arguments << QStringLiteral("--job") << QString::number(jobId);
    // Whatever the file is named, it is never read as an option.
    arguments << QStringLiteral("--") << file;
    if (page > 0)
        arguments << QString::number(page);
    return arguments;
}

bool OpenPlanSetAt(const QString& path, int jobId, int page) {
    if (path.isEmpty())
        return false;
    const QString viewer = viewerProgram();
    if (viewer.isEmpty())
        return OpenDocumentFile(path);
    const QFileInfo info(path);
    return QProcess::startDetached(viewer, PlanSetViewerArguments(jobId, path, page),
                                   info.absolutePath()) ||
           OpenDocumentFile(path);
}

} // namespace brevant::documents
