#include "reports/SummaryReports.h"

#include "reports/ReportFormat.h"
#include "reports/ReportText.h"

namespace brevant::reports {

using namespace text;

namespace {

QString nameLine(const Record& p) {
    return "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 PROJECT NAME:\\b0  " + Field(p, "Name");
}

QString descriptionLines(const Record& p) {
    const QString description = Field(p, "Description");
    if (description.isEmpty())
        return QStringLiteral("\\b PROJECT DESCRIPTION: \\b0\\par") +
               " NO DESCRIPTION AVAILABLE\\par";
    return "\\b PROJECT DESCRIPTION: \\b0\\par " + description + "\\par";
}

// The notes as RTF lines; the notes box may hand over any of the three line ends.
QString notesLines(const QString& notes) {
    QString s = Escaped(notes);
    s.replace(QLatin1String("\r\n"), QLatin1String(" \\par "));
    s.replace(QLatin1Char('\n'), QLatin1String(" \\par "));
    s.replace(QLatin1Char('\r'), QLatin1String(" \\par "));
    return s;
}

} // namespace

QString SummaryRtf(const Record& p) {
    return kHead1 + kColours + nameLine(p) + " \\par " + "\\b \\par " +
           "PROJECT INFORMATION: \\par " + "\\tab BREVANT ID:\\b0  " + Field(p, "JOB_ID") +
           " \\par " + ProjectLines(p, SummaryForm::Screen) + descriptionLines(p) + kEnd;
}

QString PrintSummaryRtf(const Record& p) {
    // The blank after "\par" keeps the heading from being read as part of the control word.
    return kHead1 + kColours + nameLine(p) + "\\par" + "\\b\\par " + "PROJECT INFORMATION:\\par" +
           ProjectLines(p, SummaryForm::Print) + descriptionLines(p) + kEnd;
}

QString FullProjectReportRtf(const Record& p, const QList<Record>& bidders,
                             const QList<Record>& contacts, const QDateTime& now) {
    QString s = kHead2 + kColours + kBoldBody + Escaped(DefaultDateText(now)) + "\\par" + "\\par";
    s += "\\ul\\fs32 Brevant Desktop \\cf0\\f1\\'99\\f0  - FULL PROJECT REPORT\\ulnone\\b0\\par";
    s += "\\cf1\\b\\fs16\\par\\par";
    s += " " + Field(p, "Name") + "\\par\\par" + " PROJECT INFORMATION:\\par";
    s += ProjectLines(p, SummaryForm::Print);
    s += "\\b PROJECT DESCRIPTION: \\b0\\par ";
    const QString description = Field(p, "Description");
    if (description.isEmpty())
        s += " NO DESCRIPTION AVAILABLE\\par\\par ";
    else
        s += description + "\\par\\par ";

    s += "\\b BIDDERS LIST: \\b0\\par ";
    for (const Record& b : bidders)
        s += ContactBlock(b, " " + Field(b, "NAME") + "\\par");
    if (bidders.isEmpty())
        s += "\\b NO BIDDERS TO LIST\\b0\\par\\par";

    s += "\\b CONTACTS LIST: \\b0\\par ";
    for (const Record& c : contacts)
        s += ContactBlock(c, " (" + Escaped(ContactTypeName(ValueText(c.value("Type")))) + ") " +
                                 Field(c, "NAME") + "\\par");
    if (contacts.isEmpty())
        s += "\\b NO CONTACTS TO LIST\\b0\\par\\par";

    const QString notes = ValueText(p.value("Notes"));
    if (!notes.isEmpty()) {
        // As after the heading "PROJECT INFORMATION:", a blank keeps the notes' first word
        // from joining "\par".
        s += "\\b PROJECT NOTES: \\b0\\par " + notesLines(notes);
    }
    s += "\\par}";
    return s;
}

} // namespace brevant::reports
