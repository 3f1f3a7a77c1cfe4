#pragma once
// The list of the projects in the project list, written to "current.rtf" in the program's
// folder and opened with the program the system associates with RTF files.
#include <QDateTime>
#include <QList>
#include <QString>

namespace brevant::reports {

// A row of the project list as shown: its text (the bid date) and its first sub-item (title).
struct ProjectListRow {
    QString text;
    QString title;
};

QString ProjectListReportRtf(const QList<ProjectListRow>& rows, const QDateTime& now);

// Writes the report to programFolder + "/current.rtf" (an existing file is replaced) and
// returns that path; throws std::runtime_error with the reason when it cannot be written.
QString ProjectListReport(const QString& programFolder, const QList<ProjectListRow>& rows,
                          const QDateTime& now = QDateTime::currentDateTime());

// Opens programFolder's "current.rtf" with the shell's "Open" verb, the folder as working
// folder. False when the system has no program for RTF files (the shell's error 31): the caller
// shows the report itself. Other failures throw harlix::ComError.
bool OpenProjectListReport(const QString& programFolder);

} // namespace brevant::reports
