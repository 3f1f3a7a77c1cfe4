#pragma once
// Reports on screen. The reports' RTF names black (entry 1 of their colour table) for ordinary
// text because it was written for a white box; on screen that text takes the pane's own text
// colour instead, so it reads under a dark colour scheme too. Other colours stay, and the
// printed reports keep black on paper.
#include <QString>

class QTextDocument;

namespace brevant::reports {

// Puts a report's RTF into a pane's document for display.
void ShowReport(QTextDocument& pane, const QString& rtf);

} // namespace brevant::reports
