#pragma once
// A sheet printed or saved as PDF with its takeoff marks drawn over it, as the estimator sees it
// in the viewer. The marks are drawn as lines and shapes; the sheet under them is the page
// rendered at print resolution, since Qt PDF renders pages only to images.
#include "reports/Printing.h"

class QPdfDocument;

namespace brevant::viewer {

class MarkLayer;

// The page's picture is bounded to this many pixels along its longer side (36" at about 140
// dots per inch, 17" at about 290), so a large sheet stays printable.
inline constexpr int MarkedSheetMaxPixels = 5000;

// Prints page (0-based) of document with the marks to the target: into a PDF file at the page's
// own size (written beside the file and renamed over it when complete), or on a CUPS queue at
// the paper's size. An empty text on success, else the reason.
QString PrintMarkedSheet(QPdfDocument& document, int page, const MarkLayer& marks,
                         const reports::PrintTarget& target, const QString& title);

} // namespace brevant::viewer
