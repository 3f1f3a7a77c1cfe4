#include "reports/ReportText.h"

#include "platform/richtext/RtfText.h"
#include "reports/ReportFormat.h"

namespace brevant::reports::text {

QString Escaped(const QString& value) {
    return richtext::rtfEscape(value);
}

QString Field(const Record& row, const QString& column) {
    return Escaped(ValueText(row.value(column)));
}

QString EmptyList(const QString& message) {
    return kHead1 + kColours + kBoldBody + message + "\\par" + "\\b0\\par" + kEnd;
}

QString ContactBlock(const Record& c, const QString& heading) {
    return heading + "\\tab\\b CONTACT:\\b0  " + Field(c, "Contact") + "\\par" +
           "\\tab\\b ADDRESS:\\b0  " + Field(c, "Address1") + " " + Field(c, "Address2") + " " +
           Field(c, "City") + ", " + Field(c, "State") + " " + Field(c, "Zip") + "\\par" +
           "\\tab\\b PHONE:\\b0  " + Field(c, "Phone") + " Ext:" + Field(c, "Extension") + "\\par" +
           "\\tab\\b FAX:\\b0  " + Field(c, "Fax") + "\\par" + "\\par";
}

QString ProjectLines(const Record& p, SummaryForm form) {
    QString s;
    if (form == SummaryForm::Screen)
        s += "\\tab\\b LOCATION:\\b0  " + Field(p, "City") + ", " + Field(p, "State") + "\\par ";
    else
        s += "\\tab BREVANT ID:\\b0  " + Field(p, "JOB_ID") + "\\par" + "\\tab\\b LOCATION:\\b0  " +
             Field(p, "City") + ", " + Field(p, "State") + "\\par";
    if (IsTrue(p.value("Building")))
        s += "\\tab\\b TYPE:\\b0  BUILDING CONSTRUCTION\\par";
    else
        s += "\\tab\\b TYPE:\\b0  HEAVY CONSTRUCTION\\par";
    s += "\\tab\\b ESTIMATED COST:\\b0  " + Escaped(FormatMoney(p.value("Estimated Cost"))) +
         "<->" + Escaped(FormatMoney(p.value("Estimated Cost End"))) + "\\par";
    s += "\\tab\\b REGION:\\b0  " + Field(p, "Region") + "\\par" + "\\par";
    s += "\\b BIDDING INFORMATION:\\par";
    // Paper shows the bid date as the screen does, time included. A Null bid date has no year
    // either; both show that no date is set.
    const QDateTime dueDate = DateOf(p.value("Due_Date"));
    if (dueDate.isValid() && dueDate.date().year() != 1900)
        s += "\\b0\\tab\\b BIDS DUE:\\b0  " + Escaped(DefaultDateText(dueDate)) + "\\par";
    else
        s += "\\b0\\tab\\b BIDS DUE:\\b0  No Date Set \\par";
    s += "\\tab\\b PRE-BID:\\b0  " + QString(IsTrue(p.value("Pre_Bid")) ? "Yes" : "No") + "\\par";
    s += "\\tab\\b PRE-BID MANDATORY:\\b0  " +
         QString(IsTrue(p.value("Mandatory")) ? "Yes" : "No") + "\\par";
    const QVariant preBid = p.value("Pre_Bid_Date");
    if (preBid.isNull() || ValueText(preBid).isEmpty())
        s += "\\tab\\b PRE-BID DATE:\\b0  No Date Set\\b\\par";
    else
        s += "\\tab\\b PRE-BID DATE:\\b0  " + Escaped(FormatMmDdYyyy(preBid)) + "\\b\\par";
    s += "\\b0\\par";
    const QVariant other = p.value("Other");
    if (!other.isNull())
        s += "\\b OTHER INFORMATION: \\par" + QString("\\b0 ") + Escaped(FormatMmDdYyyy(other)) +
             "\\par\\par";
    return s;
}

} // namespace brevant::reports::text
