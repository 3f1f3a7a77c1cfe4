#pragma once
// The document files of the catalogue, written under DIR/documents/<Job_ID>/ the first time
// they are asked for: the plan set "PLAN.SVD" (a PDF: title page with the sheet index, then one
// drawn page per sheet), each plan page file ("PLAN" + three digits: a TIFF image of its sheet,
// exactly the sheet's announced size), and for each section or addendum its ".SVD" document
// (a PDF of its title and text) with one ".tif" image per page. Drawing needs a
// QGuiApplication (fonts); the pictures depend only on the project.
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
