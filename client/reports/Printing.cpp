#include "reports/Printing.h"

#include "platform/archive/ArchiveError.h"
#include "platform/archive/TempFile.h"
#include "platform/richtext/RtfDocument.h"
#include "reports/ProjectReports.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <cups/cups.h>
#include <filesystem>
#include <memory>

namespace brevant::reports {

namespace {

// Device URIs by queue name, as the scheduler reports them.
QHash<QString, QString> deviceUris() {
    QHash<QString, QString> uris;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance)
            continue;
        const char* uri = cupsGetOption("device-uri", dests[i].num_options, dests[i].options);
        uris.insert(QString::fromLocal8Bit(dests[i].name),
                    uri ? QString::fromLocal8Bit(uri) : QString());
    }
    cupsFreeDests(count, dests);
    return uris;
}

QPageSize pageSizeFor(const PrintTarget& target) {
    if (target.pdfPath.isEmpty()) {
        const QPageSize size = QPrinterInfo::printerInfo(target.printer).defaultPageSize();
        if (size.isValid())
            return size;
    }
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

// The pages that carry the report: up to the page of the last line with text, as the layout
// placed it. The layout's own page count also takes the empty paragraphs every report ends
// with, which spill onto a page of their own when the text fills the one before.
int pagesToPrint(const QTextDocument& doc, double pageHeight) {
    doc.documentLayout()->documentSize(); // lays out every block (the layout is lazy)
    for (QTextBlock block = doc.lastBlock(); block.isValid(); block = block.previous()) {
        const QTextLayout* layout = block.layout();
        if (block.text().trimmed().isEmpty() || !layout || layout->lineCount() == 0)
            continue;
        const double top = doc.documentLayout()->blockBoundingRect(block).top() +
                           layout->lineAt(layout->lineCount() - 1).y();
        return int(top / pageHeight) + 1;
    }
    return 1;
}

// Renders the document into a PDF file through QPrinter. The body rectangle is the paper
// less the margins, moved by the device's physical offset (the distance of its printable
// area's corner from the paper's), so text lands the margin away from the paper's edge.
QString renderPdf(const QTextDocument& source, const QString& file, const QPageSize& pageSize,
                  const QString& title, const Margins& margins) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(pageSize);
    printer.setFullPage(true);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Brevant Desktop"));
    QPainter painter;
    if (!painter.begin(&printer))
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "the print file %1 could not be written")
            .arg(file);

    const double dpi = printer.resolution();
    auto px = [dpi](int twips) { return twips * dpi / 1440.0; };
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QPointF offset = printable.topLeft() - paper.topLeft();
    const QRectF body(px(margins.left) - offset.x(), px(margins.top) - offset.y(),
                      paper.width() - px(margins.left) - px(margins.right),
                      paper.height() - px(margins.top) - px(margins.bottom));

    std::unique_ptr<QTextDocument> doc(source.clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setDocumentMargin(0);
    doc->setPageSize(body.size());
    const int pages = pagesToPrint(*doc, body.height());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage())
            return QCoreApplication::translate("brevant::reports::Printing",
                                               "a new page could not be started");
        const QRectF clip(0, page * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(body.left(), body.top() - clip.top());
        painter.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        context.palette.setColor(QPalette::Text, Qt::black);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "the print file %1 could not be completed")
            .arg(file);
    return {};
}

QString printToFile(const QTextDocument& document, const QString& path, const QString& title,
                    const Margins& margins) {
    // Written beside the old file and swapped in when complete, so a failure keeps it. The
    // temporary file is made 0666 less the umask, like any document the user saves: the file
    // renamed into place keeps that mode.
    const QFileInfo info(path);
    const std::filesystem::path target(QFile::encodeName(info.absoluteFilePath()).toStdString());
    try {
        archive::TempFile temp(target);
        temp.close();
        const QString error = renderPdf(document, QFile::decodeName(temp.path().c_str()),
                                        pageSizeFor({}), title, margins);
        if (!error.isEmpty())
            return error;
        temp.commit(target);
    } catch (const archive::ArchiveError& e) {
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "%1 cannot be written (%2)")
            .arg(path, QString::fromLocal8Bit(e.what()));
    }
    return {};
}

QString printToQueue(const QTextDocument& document, const PrintTarget& target, const QString& title,
                     const Margins& margins) {
    QTemporaryFile temp(QDir::temp().filePath(QStringLiteral("brevant-print-XXXXXX.pdf")));
    if (!temp.open())
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "no temporary print file (%1)")
            .arg(temp.errorString());
    temp.close();
    const QString error = renderPdf(document, temp.fileName(), pageSizeFor(target), title, margins);
    if (!error.isEmpty())
        return error;
    const QByteArray name = target.printer.toLocal8Bit();
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(),
                                   QFile::encodeName(temp.fileName()).constData(),
                                   title.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "the printer %1 refused the job (%2)")
            .arg(target.printer, QString::fromUtf8(cupsLastErrorString()));
    return {};
}

} // namespace

QString PdfFileEntryName() {
    return QCoreApplication::translate("brevant::reports::Printing", "PDF file");
}

QList<PrinterEntry> AvailablePrinters() {
    QList<PrinterEntry> list;
    const QHash<QString, QString> uris = deviceUris();
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        PrinterEntry e;
        e.name = info.printerName();
        e.driver = info.makeAndModel();
        e.port = uris.value(e.name);
        e.isDefault = e.name == defaultName;
        list.append(e);
    }
    PrinterEntry pdf;
    pdf.name = PdfFileEntryName();
    pdf.driver =
        QCoreApplication::translate("brevant::reports::Printing", "Portable Document Format");
    pdf.port = QStringLiteral("file");
    pdf.pdfFile = true;
    list.append(pdf);
    return list;
}

QString PrintRichText(const QTextDocument& document, const PrintTarget& target,
                      const QString& jobTitle, const Margins& margins) {
    if (!target.pdfPath.isEmpty())
        return printToFile(document, target.pdfPath, jobTitle, margins);
    if (target.printer.isEmpty())
        return QCoreApplication::translate("brevant::reports::Printing", "no printer was chosen");
    return printToQueue(document, target, jobTitle, margins);
}

QString PrintPdfDocument(const QString& pdfFile, const PrintTarget& target,
                         const QString& jobTitle) {
    if (!target.pdfPath.isEmpty()) {
        QFile source(pdfFile);
        if (!source.open(QIODevice::ReadOnly))
            return QCoreApplication::translate("brevant::reports::Printing",
                                               "%1 cannot be read (%2)")
                .arg(pdfFile, source.errorString());
        const QByteArray bytes = source.readAll();
        // Written beside the chosen file and swapped in when complete, as any print file.
        const std::filesystem::path path(
            QFile::encodeName(QFileInfo(target.pdfPath).absoluteFilePath()).toStdString());
        try {
            archive::TempFile temp(path);
            temp.write(bytes.constData(), std::size_t(bytes.size()));
            temp.commit(path);
        } catch (const archive::ArchiveError& e) {
            return QCoreApplication::translate("brevant::reports::Printing",
                                               "%1 cannot be written (%2)")
                .arg(target.pdfPath, QString::fromLocal8Bit(e.what()));
        }
        return {};
    }
    if (target.printer.isEmpty())
        return QCoreApplication::translate("brevant::reports::Printing", "no printer was chosen");
    cups_option_t* options = nullptr;
    int count = 0;
    if (target.scaling == PageScaling::ActualSize) {
        count = cupsAddOption("print-scaling", "none", count, &options);
        count = cupsAddOption("fit-to-page", "false", count, &options);
    } else {
        count = cupsAddOption("print-scaling", "fit", count, &options);
        count = cupsAddOption("fit-to-page", "true", count, &options);
    }
    const QByteArray name = target.printer.toLocal8Bit();
    const int job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), QFile::encodeName(pdfFile).constData(),
                       jobTitle.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        return QCoreApplication::translate("brevant::reports::Printing",
                                           "the printer %1 refused the job (%2)")
            .arg(target.printer, QString::fromUtf8(cupsLastErrorString()));
    return {};
}

QString PdfPathForProject(const QString& chosenPath, qint64 jobId) {
    const QFileInfo info(chosenPath);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    return info.dir().filePath(info.completeBaseName() + "-" + QString::number(jobId) + suffix);
}

QString PrintReports(db::Connection& connection, const QString& kind, const Record& selected,
                     const std::vector<int>& checkedJobIds, const PrintTarget& target,
                     const std::function<void()>& yield, QStringList* written,
                     const std::function<bool(int done, int total)>& jobDone) {
    auto printRtf = [](const QString& rtf, const PrintTarget& to, const QString& title) {
        QTextDocument document;
        richtext::setRtf(document, rtf);
        return PrintRichText(document, to, title);
    };
    const QString jobId = selected.value(QStringLiteral("Job_ID")).toString();
    const QString title = QStringLiteral("Brevant Desktop - Project %1");
    if (kind == QLatin1String("SUMMARY"))
        return printRtf(PrintSummary(selected), target, title.arg(jobId));
    if (kind == QLatin1String("BIDDERS"))
        return printRtf(PrintBidders(connection, selected), target, title.arg(jobId));
    if (kind == QLatin1String("CONTACTS"))
        return printRtf(PrintContacts(connection, selected), target, title.arg(jobId));
    if (kind != QLatin1String("FULL"))
        return {};
    int done = 0;
    for (const int id : checkedJobIds) {
        PrintTarget to = target;
        if (!to.pdfPath.isEmpty() && checkedJobIds.size() > 1)
            to.pdfPath = PdfPathForProject(target.pdfPath, id);
        const QString rtf = FullProjectReport(connection, id);
        if (yield)
            yield();
        const QString error = printRtf(rtf, to, title.arg(id));
        if (!error.isEmpty())
            return error;
        if (written && !to.pdfPath.isEmpty())
            written->append(QFileInfo(to.pdfPath).absoluteFilePath());
        ++done;
        if (jobDone && !jobDone(done, int(checkedJobIds.size())) &&
            done < int(checkedJobIds.size()))
            return PrintCancelledText();
    }
    return {};
}

QString PrintCancelledText() {
    return QStringLiteral("cancelled");
}

QString WrittenFilesMessage(const QStringList& files) {
    if (files.size() < 2)
        return {};
    return QCoreApplication::translate("brevant::reports::Printing",
                                       "One PDF file was written for each project ...\n\n%1")
        .arg(files.join(QLatin1Char('\n')));
}

} // namespace brevant::reports
