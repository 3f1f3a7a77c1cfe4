#pragma once
// Printing the reports: the printers CUPS knows plus an entry that writes a PDF file, and the
// rich text of a report laid out on pages with margins measured from the paper's edge. The
// user's default printer is never changed: a job goes to the printer it names.
#include "reports/ReportRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QTextDocument;

namespace brevant::db {
class Connection;
}

namespace brevant::reports {

struct PrinterEntry {
    QString name;   // the CUPS queue, or the PDF entry's caption
    QString driver; // make and model
    QString port;   // the device URI
    bool isDefault = false;
    bool pdfFile = false;
};

// The caption of the entry that prints into a PDF file the user names.
QString PdfFileEntryName();

// The installed printers in the order CUPS gives them, then the PDF entry, which is always
// there so that reports can be printed with no printer installed.
QList<PrinterEntry> AvailablePrinters();

// How a page meets the paper: shrunk or grown to fit it, or at its own size (a drawing to
// scale stays to scale; what does not fit the paper is cut off).
enum class PageScaling { FitToPage, ActualSize };

// Where a job goes: a CUPS queue by name, or (pdfPath not empty) a PDF file.
struct PrintTarget {
    QString printer;
    QString pdfPath;
    PageScaling scaling = PageScaling::FitToPage;
};

// Margins in twips (1440 to the inch), measured from the paper's edge.
struct Margins {
    int left = 1440;
    int top = 1440;
    int right = 1440;
    int bottom = 1440;
};

// Lays the document out on as many pages as it needs and prints it as one job titled
// jobTitle. Returns an empty text on success, else the reason the job failed.
QString PrintRichText(const QTextDocument& document, const PrintTarget& target,
                      const QString& jobTitle, const Margins& margins = Margins());

// Prints a PDF document as it stands: the file's pages go to the queue unchanged (CUPS lays
// them on the paper as target.scaling says), or are copied into the PDF file, where every page
// keeps its own size. Drawings stay drawings, never pictures, and keep their size. Returns an
// empty text on success, else the reason.
QString PrintPdfDocument(const QString& pdfFile, const PrintTarget& target,
                         const QString& jobTitle);

// The file a PDF job of one project writes when several projects print at once: the chosen
// name with "-<Job_ID>" before its extension (each project is a job of its own).
QString PdfPathForProject(const QString& chosenPath, qint64 jobId);

// The print kinds of the Select Printer window: "SUMMARY", "BIDDERS" and "CONTACTS" print
// the selected project's report; "FULL" prints the full report of every checked project in
// list order, one job each, yielding between them; any other kind prints nothing. Returns an
// empty text on success, else the reason (the first failing job ends the command). The PDF
// files the full reports went to are added to *written, in list order. jobDone (optional) runs
// after each full report with the number printed and the number asked for; false stops there
// (the user cancelled): the reports printed stay, no further job is started, and the result is
// PrintCancelledText().
QString PrintReports(db::Connection& connection, const QString& kind, const Record& selected,
                     const std::vector<int>& checkedJobIds, const PrintTarget& target,
                     const std::function<void()>& yield = {}, QStringList* written = nullptr,
                     const std::function<bool(int done, int total)>& jobDone = {});

// The reason PrintReports gives when jobDone stopped it.
QString PrintCancelledText();

// The message that lists the files when full reports went to one PDF file per project; empty
// when there were fewer than two.
QString WrittenFilesMessage(const QStringList& files);

} // namespace brevant::reports
