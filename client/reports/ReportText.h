#pragma once
// The fragments every report is built from, and the pieces the summary, print and full
// reports share. Values from the database go into the RTF through Field(), which escapes the
// characters that would otherwise end the document or start a control word.
#include "reports/ReportRecord.h"

#include <QString>

namespace brevant::reports::text {

inline const QString kHead1 = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Verdana;}}");
inline const QString kHead2 = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Verdana;}{\\f1\\fnil Verdana;}}");
inline const QString kHead3 = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
    "Verdana;}{\\f1\\fnil\\fcharset0 Verdana;}{\\f2\\fmodern\\fprq1\\fcharset0 Courier New;}}");
inline const QString kColours = QStringLiteral("{\\colortbl ;\\red0\\green0\\blue0;}");
inline const QString kBody = QStringLiteral("\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16");
inline const QString kBoldBody = QStringLiteral("\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 ");
inline const QString kEnd = QStringLiteral("}");

// A text as it goes into the RTF (escaped).
QString Escaped(const QString& value);
// A column's value as it goes into the RTF: Null as empty, numbers and dates as text.
QString Field(const Record& row, const QString& column);

// The empty-list text of a screen report: "NO BIDDERS TO LIST" and the like.
QString EmptyList(const QString& message);

// One entry of a bidders or contacts list under the given heading line.
QString ContactBlock(const Record& contact, const QString& heading);

// The project lines from the location through the other information, screen or print form
// (steps shared by the summary, its print version and the full report).
enum class SummaryForm { Screen, Print };
QString ProjectLines(const Record& project, SummaryForm form);

} // namespace brevant::reports::text
