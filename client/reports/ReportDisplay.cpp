#include "reports/ReportDisplay.h"

#include "platform/richtext/RtfDocument.h"

#include <QColor>

namespace brevant::reports {

void ShowReport(QTextDocument& pane, const QString& rtf) {
    richtext::setRtf(pane, rtf, QColor(Qt::black));
}

} // namespace brevant::reports
