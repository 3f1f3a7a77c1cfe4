#include "reports/ProjectListReport.h"

#include "platform/richtext/RtfText.h"
#include "reports/ReportFormat.h"
#include "reports/ReportText.h"

#include <QDir>
#include <QSaveFile>
#include <harlix/ComError.h>
#include <harlix/miscStuff.h>
#include <stdexcept>

namespace brevant::reports {

using namespace text;

QString ProjectListReportRtf(const QList<ProjectListRow>& rows, const QDateTime& now) {
    QString s = kHead3 + kColours + kBoldBody + Escaped(DefaultDateText(now)) + "\\par" + "\\par";
    s += "\\ul\\fs32 Brevant Desktop \\cf0\\f1\\'99\\f0  - CURRENT PROJECT LIST REPORT\\ulnone\\b0"
         "\\par";
    s += "\\cf1\\b\\fs16\\par" + QString("\\par ") + "PROJECTS:\\b0\\par " + "\\f2\\fs14 ";
    for (const ProjectListRow& row : rows)
        s += Escaped(PadRight(row.text, 15)) + "  " + Escaped(PadRight(row.title, 75)) + " \\par ";
    s += "\\par}";
    return s;
}

QString ProjectListReport(const QString& programFolder, const QList<ProjectListRow>& rows,
                          const QDateTime& now) {
    const QString path = QDir(programFolder).filePath(QStringLiteral("current.rtf"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(file.errorString().toStdString());
    file.write(richtext::toRtfBytes(ProjectListReportRtf(rows, now)));
    if (!file.commit())
        throw std::runtime_error(file.errorString().toStdString());
    return path;
}

bool OpenProjectListReport(const QString& programFolder) {
    constexpr long kNoAssociation = 31;
    harlix::miscStuff misc;
    try {
        misc.Execute(0, harlix::opOpen,
                     QDir(programFolder).filePath(QStringLiteral("current.rtf")).toStdString(), "",
                     programFolder.toStdString(), harlix::scShowNormal);
    } catch (const harlix::ComError& e) {
        if (e.number() != kNoAssociation)
            throw;
        return false;
    }
    return true;
}

} // namespace brevant::reports
