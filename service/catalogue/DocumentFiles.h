#pragma once
// The small placeholder document files of the catalogue, written under DIR/documents/<Job_ID>/
// the first time they are asked for: the plan set "PLAN.SVD", each plan page file ("PLAN" +
// three digits, exactly the sheet's size), and for each section or addendum its ".SVD" document
// with its ".tif" page files. Contents are deterministic.
#include "service/catalogue/Project.h"

#include <QString>
#include <QStringList>

namespace brevant::service {

class DocumentFiles {
public:
    explicit DocumentFiles(const QString& dataDir);

    // Paths of the written files; they throw std::runtime_error when a file cannot be written.
    QString planSet(const Project& project) const;
    QString planPage(const Project& project, const PlanSheet& sheet) const;
    QStringList section(const Project& project, const SpecEntry& spec) const;

private:
    QString folderOf(const Project& project) const;
    QString folder_;
};

} // namespace brevant::service
