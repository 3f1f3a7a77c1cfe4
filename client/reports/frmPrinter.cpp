#include "reports/frmPrinter.h"

#include "base/MainWindow.h"
#include "base/modResources.h"
#include "platform/ui/Ui.h"
#include "reports/Printing.h"

#include "platform/db/Recordset.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::reports {

frmPrinter::frmPrinter(const QString& kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    setObjectName(QStringLiteral("frmPrinter"));
    setWindowTitle(tr("Select Printer"));
    setModal(true);
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);
    Command1 = new QPushButton(tr("&PRINT"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(tr("&CANCEL"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->hide();
    optActualSize = new QRadioButton(tr("Actual size"), this);
    optActualSize->setObjectName(QStringLiteral("optActualSize"));
    optFitToPage = new QRadioButton(tr("Fit to page"), this);
    optFitToPage->setObjectName(QStringLiteral("optFitToPage"));
    optFitToPage->setChecked(true);
    auto* scaling = new QHBoxLayout;
    scaling->addWidget(optActualSize);
    scaling->addWidget(optFitToPage);
    scaling->addStretch();
    optActualSize->hide();
    optFitToPage->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(scaling);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    resize(620, 300);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &frmPrinter::reject);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { Command1_Click(); });
    Form_Load();
}

frmPrinter::frmPrinter(PrintJob print, const QString& pdfName, QWidget* parent)
    : frmPrinter(QString(), parent) {
    print_ = std::move(print);
    pdfName_ = pdfName;
}

void frmPrinter::offerPageScaling(PageScaling initial) {
    optActualSize->setChecked(initial == PageScaling::ActualSize);
    optFitToPage->setChecked(initial == PageScaling::FitToPage);
    optActualSize->show();
    optFitToPage->show();
}

void frmPrinter::Form_Load() {
    ListView1->setHeaderLabels({tr("PRINTER"), tr("DRIVER"), tr("PORT")});
    QTreeWidgetItem* chosen = nullptr;
    for (const PrinterEntry& e : AvailablePrinters()) {
        auto* row = new QTreeWidgetItem(ListView1, {e.name, e.driver, e.port});
        row->setData(0, Qt::UserRole, e.pdfFile);
        if (e.isDefault || (!chosen && e.pdfFile))
            chosen = row;
    }
    ListView1->setCurrentItem(chosen);
    ListView1->header()->resizeSections(QHeaderView::ResizeToContents);
}

void frmPrinter::reject() {
    if (printing_) {
        stop_ = true; // the report being printed is finished, no other is started
        Command2->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void frmPrinter::Command1_Click() {
    QTreeWidgetItem* row = ListView1->currentItem();
    if (!row)
        return;
    PrintTarget target;
    target.scaling = optActualSize->isChecked() ? PageScaling::ActualSize : PageScaling::FitToPage;
    if (row->data(0, Qt::UserRole).toBool()) {
        QString path =
            ui::current().saveFile(tr("Print to PDF File"), QDir::home().filePath(pdfName_),
                                   tr("PDF Files (*.pdf);;All Files (*)"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        target.pdfPath = path;
    } else {
        target.printer = row->text(0);
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    base::SetStatusText(tr("Printing -- Please Wait ..."));
    QString error;
    QStringList written;
    int printed = 0;
    int asked = 0;
    printing_ = true;
    stop_ = false;
    Command1->setEnabled(false);
    ListView1->setEnabled(false);
    auto jobDone = [this, &printed, &asked](int done, int total) {
        printed = done;
        asked = total;
        ProgressBar1->setRange(0, total);
        ProgressBar1->setValue(done);
        ProgressBar1->setVisible(total > 1);
        QApplication::processEvents(); // a click on "&CANCEL" lands here
        return !stop_;
    };
    try {
        Record selected;
        if (modResources::DbRecordset && modResources::DbRecordset->isOpen())
            selected = CurrentRecord(*modResources::DbRecordset);
        std::vector<int> checked;
        if (base::MainWindow* w = base::mainWindow())
            checked = w->checkedJobIds();
        if (print_)
            error = print_(target);
        else if (modResources::DbConnection)
            error = PrintReports(
                *modResources::DbConnection, kind_, selected, checked, target,
                [] { QApplication::processEvents(); }, &written, jobDone);
        else
            error = tr("no database is open");
    } catch (const std::exception& e) {
        error = QString::fromStdString(e.what());
    }
    printing_ = false;
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    ListView1->setEnabled(true);
    ProgressBar1->hide();
    QApplication::restoreOverrideCursor();
    base::SetStatusText(QString());
    QApplication::processEvents();
    if (error == PrintCancelledText()) {
        base::SetStatusText(
            tr("Printing cancelled -- %1 of %2 reports printed").arg(printed).arg(asked));
        const QString files = WrittenFilesMessage(written);
        if (!files.isEmpty())
            ui::message(files, ui::Buttons::Ok, ui::Icon::Information, tr("System Message"));
        accept();
        return;
    }
    if (!error.isEmpty()) {
        // The window stays open so that another printer can be chosen.
        ui::message(tr("Printing failed - %1 ...").arg(error), ui::Buttons::Ok,
                    ui::Icon::Exclamation, tr("System Error"));
        return;
    }
    // The chosen name was not used as it stands: say where the reports went.
    const QString files = WrittenFilesMessage(written);
    if (!files.isEmpty())
        ui::message(files, ui::Buttons::Ok, ui::Icon::Information, tr("System Message"));
    accept();
}

} // namespace brevant::reports
