#pragma once
// The project update merge: an update document (a listing document whose projects also carry
// their number as the first attribute and an award list at position 4) is merged into
// Desktop.mdb project by project. Every project field is overwritten; specifications are
// updated in place or added, plan sheets added once, contacts matched by project, name and
// type, awards and low bidders by project and name. A stored sheet sent with a higher revision
// (the Plan element's optional "Revision") gets it in Plans.Revision, is logged as revised and
// loses its Local flag. What is new goes into the change log
// `Updates`, which keeps only the latest check, and every change (fields and added rows) into
// `Change_History`, which keeps them all.
//
// Each project is merged in one transaction: all of its statements or none. A project that
// cannot be merged, or a value that cannot be stored, is collected as a problem and the merge
// goes on with the next project; the caller reports the problems once at the end.
#include "server/ProjectDocument.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::server {

struct MergeProblem {
    QString project; // the project number, or what stood in its place in the document
    QString reason;
};

struct ProjectMergeOutcome {
    int jobId = 0;
    bool changed = false;      // something new was logged in Updates (row icon 15, else 14)
    QStringList logged;        // the Updates texts written for this project
    int fieldsChanged = 0;     // project fields whose stored value changed
    QString changedBidDate;    // the received bid date when it changed (ShowChangedBidDate)
    QStringList revisedSheets; // plan files whose stored revision this check raised
};

struct MergeSummary {
    std::vector<ProjectMergeOutcome> merged; // in document order
    QList<MergeProblem> problems;
    int notMerged = 0; // projects left when the merge was stopped (MergeHooks::stop)
};

// The projects whose stored data the merge changed (something new logged or a field
// rewritten), in document order.
std::vector<int> changedProjects(const MergeSummary& summary);

struct MergeHooks {
    // After each project's transaction ended (committed: outcome given; skipped: nullopt).
    std::function<void(const ProjectMergeOutcome&)> projectMerged;
    // After each project, merged or not: yield to the event loop.
    std::function<void()> yield;
    // After every statement inside a project's transaction (tests stop the process there).
    std::function<void()> afterStatement;
    // Asked before each project: true stops the merge there (the user cancelled). Projects
    // already merged stay merged; none is ever merged in part.
    std::function<bool()> stop;
};

// Merges every child of the document's root in document order. now is when the changes were
// found: its date goes into Updates.Added, the whole value into Change_History.Found.
MergeSummary mergeUpdateDocument(db::Connection& connection, const ProjectDocument& document,
                                 const QDateTime& now = QDateTime::currentDateTime(),
                                 const MergeHooks& hooks = {});

// The one message that lists the problems of a merge; empty when there were none.
QString mergeProblemsText(const QList<MergeProblem>& problems);

// The SQL literal of a value the statements write as a number: unquoted when it is a plain
// decimal number, "NULL" when empty, otherwise the text quoted as received (a fax
// "555-1234" must stay that text, not become the difference -679).
QString numberLiteral(const QString& value);

} // namespace brevant::server
