#pragma once
// A sheet printed or saved as PDF with its takeoff marks drawn over it, as the estimator sees it
// in the viewer. The marks are drawn into a PDF page of their own at the sheet's size, and that
// page is laid over the sheet's own page (platform/pdf): the sheet stays vector, its text stays
// text, and the result prints as an unmarked sheet does (the file's own size, or the queue with
// "actual size" or "fit to page"). A sheet file qpdf cannot read is printed the old way: the
// page rendered to a picture under the marks.
#include "reports/Printing.h"

class QPdfDocument;

namespace brevant::viewer {

class MarkLayer;

// The page's picture, when the sheet has to go as one, is bounded to this many pixels along its
// longer side (36" at about 140 dots per inch, 17" at about 290), so a large sheet stays
// printable.
inline constexpr int MarkedSheetMaxPixels = 5000;

// Prints page (0-based) of document, read from sheetFile, with the marks to the target: into a
// PDF file at the page's own size (written beside the file and renamed over it when complete),
// or on a CUPS queue. An empty sheetFile prints the page as a picture. An empty text on success,
// else the reason.
QString PrintMarkedSheet(QPdfDocument& document, const QString& sheetFile, int page,
                         const MarkLayer& marks, const reports::PrintTarget& target,
                         const QString& title);

} // namespace brevant::viewer
