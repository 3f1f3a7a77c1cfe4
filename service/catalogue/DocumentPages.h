#pragma once
// What the service's documents look like: the pages of a plan set (a title page listing the
// sheets, then one drawn sheet per plan page) and of a specification section or addendum (its
// title and text). The same drawing goes into the ".SVD" documents (PDF) and into the page
// image files (TIFF), so a page file shows exactly the page of its document.
#include "service/catalogue/Project.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

class QPainter;

namespace brevant::service {

// Page sizes in points: plan sheets are tabloid landscape, text pages letter portrait.
QSizeF planPageSize();
QSizeF textPageSize();
// A large plan sheet (ARCH D, 36 x 24 inches landscape), for planSheetPdf.
QSizeF archDPageSize();

// Each draws one page into a painter whose window is the page size in points.
void drawPlanTitlePage(QPainter& painter, const Project& project);
// A sheet is drawn true to its geometry (SheetGeometry.h) for a page of the given size.
void drawPlanSheet(QPainter& painter, const Project& project, const PlanSheet& sheet);
void drawPlanSheet(QPainter& painter, const Project& project, const PlanSheet& sheet,
                   const QSizeF& pageSize);
// page is 1-based; pages the total count.
void drawTextPage(QPainter& painter, const Project& project, const SpecEntry& spec, int page,
                  int pages);

// A PDF document: the plan set, or one section or addendum.
QByteArray planSetPdf(const Project& project);
// One sheet alone on a page of pageSize points (archDPageSize() for a 36 x 24 inch sheet), as
// the viewer's tests and benchmarks want it: sheetGeometry(project, sheet, pageSize) tells
// what is on it.
QByteArray planSheetPdf(const Project& project, const PlanSheet& sheet, const QSizeF& pageSize);
QByteArray sectionPdf(const Project& project, const SpecEntry& spec);

// A one-bit, LZW-compressed TIFF image of a page at dotsPerInch. Empty when the image writer
// is missing (no TIFF plugin).
QByteArray planSheetTiff(const Project& project, const PlanSheet& sheet, int dotsPerInch);
QByteArray textPageTiff(const Project& project, const SpecEntry& spec, int page, int pages,
                        int dotsPerInch);

} // namespace brevant::service
