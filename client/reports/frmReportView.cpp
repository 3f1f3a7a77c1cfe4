#include "reports/frmReportView.h"

#include "reports/ReportDisplay.h"

#include <QTextEdit>
#include <QVBoxLayout>

namespace brevant::reports {

frmReportView::frmReportView(const QString& title, const QString& rtf, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmReportView"));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    ShowReport(*RichTextBox1->document(), rtf);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichTextBox1);
    resize(760, 560);
}

} // namespace brevant::reports
