#pragma once
// The sheets of a project's plan set as the catalogue lists them (the project's Plans rows) and
// the page of the set each is on. The set "PLANS/PLAN.SVD" begins with a title page listing the
// sheets; then comes one page per sheet in the order of their names, numbers counted as
// numbers ("PLAN2" before "PLAN10"), which is the order the sheets were issued in.
#include <QString>
#include <QStringList>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::documents {

struct PlanSheetEntry {
    QString file;        // the sheet's name, "PLAN001"
    QString description; // "FIRST FLOOR PLAN"
    int page = 0;        // 1-based page of the plan set
};

// The project's sheets in page order, the first on page 2.
std::vector<PlanSheetEntry> PlanSheetsOfProject(db::Connection& connection, int jobId);

// The 1-based page of the named sheet (compared without regard to case); 0 when the project has
// no such sheet.
int PlanSheetPage(db::Connection& connection, int jobId, const QString& file);

// The viewer's own arguments to show a set at a page: "--job", the project, "--", the file, the
// page.
QStringList PlanSetViewerArguments(int jobId, const QString& file, int page);

// Shows the plan set at the page (1-based) with brevant-viewer when it is installed beside this
// program or on the PATH, the only viewer this program can ask for a page; otherwise hands the
// set to the desktop's program for its type, which opens it at its first page. An empty path
// does nothing. True when the document was handed over.
bool OpenPlanSetAt(const QString& path, int jobId, int page);

} // namespace brevant::documents
