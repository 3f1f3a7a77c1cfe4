#include "PageOverlay.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <filesystem>
#include <system_error>

namespace brevant::pdf {

namespace {

// Opens a file with a bound on its size and its pages.
std::string open(QPDF& pdf, const std::string& file, std::vector<QPDFPageObjectHelper>& pages) {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(file, error);
    if (error)
        return file + " cannot be read (" + error.message() + ")";
    if (bytes > MaxSheetBytes)
        return file + " is too large to print";
    pdf.setSuppressWarnings(true);
    pdf.processFile(file.c_str());
    // The page tree is counted before it is walked into a list.
    QPDFObjectHandle count = pdf.getRoot().getKey("/Pages").getKey("/Count");
    if (!count.isInteger() || count.getIntValue() < 1 || count.getIntValue() > MaxSheetPages)
        return file + " has no page or too many pages";
    pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pages.empty() || pages.size() > std::size_t(MaxSheetPages))
        return file + " has no page or too many pages";
    return {};
}

} // namespace

std::string OverlayPage(const std::string& sheetFile, int page, const std::string& overlayFile,
                        const std::string& outFile) {
    try {
        QPDF sheet;
        std::vector<QPDFPageObjectHelper> sheetPages;
        if (std::string why = open(sheet, sheetFile, sheetPages); !why.empty())
            return why;
        if (page < 0 || std::size_t(page) >= sheetPages.size())
            return "the page to print does not exist";
        QPDF marks;
        std::vector<QPDFPageObjectHelper> marksPages;
        if (std::string why = open(marks, overlayFile, marksPages); !why.empty())
            return why;

        QPDF out;
        out.emptyPDF();
        QPDFPageDocumentHelper outPages(out);
        outPages.addPage(sheetPages.at(std::size_t(page)), false);
        QPDFPageObjectHelper target = outPages.getAllPages().at(0);
        const QPDFObjectHandle form =
            out.copyForeignObject(marksPages.at(0).getFormXObjectForPage());
        QPDFObjectHandle resources = target.getAttribute("/Resources", true);
        if (!resources.isDictionary()) {
            resources = QPDFObjectHandle::newDictionary();
            target.getObjectHandle().replaceKey("/Resources", resources);
        }
        int suffix = 1;
        const std::string name = resources.getUniqueResourceName("/BrevantMarks", suffix);
        // The crop box is the part of the page a viewer shows, where the marks were drawn; the
        // form is turned back against the page's /Rotate so it sits as it was seen.
        const std::string placed = target.placeFormXObject(
            form, name, target.getCropBox(false, false).getArrayAsRectangle(), true, true, true);
        if (placed.empty())
            return "the marks could not be placed on the page";
        if (!resources.hasKey("/XObject") || !resources.getKey("/XObject").isDictionary())
            resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        resources.getKey("/XObject").replaceKey(name, form);
        // The page's own drawing is wrapped in q/Q so that a graphics state it leaves behind
        // does not move or recolour the marks.
        target.addPageContents(QPDFObjectHandle::newStream(&out, "q\n"), true);
        target.addPageContents(QPDFObjectHandle::newStream(&out, "\nQ\n" + placed), false);

        QPDFWriter writer(out, outFile.c_str());
        writer.setStreamDataMode(qpdf_s_compress);
        writer.write();
        return {};
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(outFile, ignored);
        return std::string("the sheet could not be read as PDF (") + e.what() + ")";
    }
}

} // namespace brevant::pdf
