#pragma once
// "Select Printer": the printers CUPS knows and the PDF-file entry, the default one selected.
// "&PRINT" (or a double-click) prints the kind the window was opened for; "&CANCEL" closes.
#include "reports/Printing.h"

#include <QDialog>
#include <functional>

class QProgressBar;
class QRadioButton;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace brevant::reports {

class frmPrinter : public QDialog {
    Q_OBJECT
public:
    // kind: "SUMMARY", "BIDDERS", "CONTACTS" or "FULL".
    explicit frmPrinter(const QString& kind, QWidget* parent = nullptr);
    // Prints something else (a document of the viewer) on the chosen printer: print returns an
    // empty text on success, else the reason. pdfName is the name the PDF-file entry offers.
    using PrintJob = std::function<QString(const PrintTarget& target)>;
    frmPrinter(PrintJob print, const QString& pdfName, QWidget* parent = nullptr);

    // Shows the choice between "Actual size" and "Fit to page" (a sheet drawn to scale prints to
    // scale at its actual size), with initial chosen; the job's target carries the choice.
    void offerPageScaling(PageScaling initial);

    void Command1_Click(); // &PRINT
    const QString& kind() const { return kind_; }
    // While full reports print, "&CANCEL" (and Escape) stop them after the report being printed.
    bool printing() const { return printing_; }

protected:
    void reject() override;

private:
    void Form_Load();

    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QProgressBar* ProgressBar1; // reports printed of those asked for
    QRadioButton* optActualSize;
    QRadioButton* optFitToPage;
    bool printing_ = false;
    bool stop_ = false;
    QString kind_;
    PrintJob print_;
    QString pdfName_ = QStringLiteral("report.pdf");
};

} // namespace brevant::reports
