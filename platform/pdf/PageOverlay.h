#pragma once
// One page of a PDF file with the first page of another PDF file drawn over it, written as a
// PDF file of that one page. Both stay vector: the sheet's drawing and text are copied as they
// are and the overlay goes on top as a form, scaled onto the page's visible box and turned with
// the page, so that what was drawn over the page as shown lands where it was drawn.
// The sheet comes from the network: its size and page count are bounded before it is parsed,
// and anything qpdf cannot read is a failure, never a partial file.
#include <cstdint>
#include <string>

namespace brevant::pdf {

// Larger sheet files are refused: a plan set of a few hundred large sheets stays well below.
inline constexpr std::uintmax_t MaxSheetBytes = 512ull * 1024 * 1024;
// Pages a sheet file may have.
inline constexpr int MaxSheetPages = 10000;

// Writes page (0-based) of sheetFile with page 0 of overlayFile over it to outFile (created or
// replaced; the caller writes it beside the real target and swaps it in). An empty text on
// success, else the reason in English words for the message.
std::string OverlayPage(const std::string& sheetFile, int page, const std::string& overlayFile,
                        const std::string& outFile);

} // namespace brevant::pdf
