#pragma once
// Who in the firm handles a project: the name in the project's Assignment column, set or
// cleared for the checked projects of the list, with the questions the commands ask.
#include <QString>
#include <functional>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

// The statements, the name stored exactly as given (quotes and "|" included).
QString SetAssignmentSql(int jobId, const QString& name);
QString ClearAssignmentSql(int jobId);

void SetAssignment(db::Connection& connection, int jobId, const QString& name);
void ClearAssignment(db::Connection& connection, int jobId);

struct AssignmentContext {
    db::Connection* connection = nullptr;
    std::vector<int> checkedJobIds; // the checked rows of the project list, in list order
    // Shows the assignment dialog modally and returns its result ("~~CANCEL~~").
    std::function<QString()> askName;
    // Shows the new assignment in the project's row (its third column).
    std::function<void(int jobId, const QString& name)> showAssignment;
    std::function<void(bool)> hourglass; // optional
};

// "Set Assignments for Selected Project(s)". The check boxes are left as they are.
void SetAssignments(const AssignmentContext& context);
// "Clear Assignments for Selected Project(s)".
void ClearAssignments(const AssignmentContext& context);

} // namespace brevant::store
