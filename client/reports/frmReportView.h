#pragma once
// A report in a read-only window of the program's own, for when the system has no program that
// opens RTF files.
#include <QDialog>

class QTextEdit;

namespace brevant::reports {

class frmReportView : public QDialog {
    Q_OBJECT
public:
    frmReportView(const QString& title, const QString& rtf, QWidget* parent = nullptr);

private:
    QTextEdit* RichTextBox1;
};

} // namespace brevant::reports
