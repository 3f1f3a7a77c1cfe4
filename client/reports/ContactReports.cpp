#include "reports/ContactReports.h"

#include "platform/richtext/RtfText.h"
#include "reports/ReportFormat.h"
#include "reports/ReportText.h"

namespace brevant::reports {

using namespace text;

namespace {

QString bidderHeading(const Record& c) {
    return "\\b " + Field(c, "NAME") + "\\b0\\par";
}

QString contactHeading(const Record& c) {
    return "\\b (" + Escaped(ContactTypeName(ValueText(c.value("Type")))) + ") " +
           Field(c, "NAME") + "\\b0\\par";
}

// A list of contact blocks, with an optional title before the first entry.
QString contactList(const QList<Record>& rows, const QString& emptyMessage,
                    QString (*heading)(const Record&), const QString& title) {
    if (rows.isEmpty())
        return EmptyList(emptyMessage);
    // kBody ends in a control word; the title and headings come from the callers.
    QString s = kHead1 + kColours + kBody;
    richtext::rtfAppend(s, title);
    for (const Record& c : rows)
        richtext::rtfAppend(s, ContactBlock(c, heading(c)));
    return s + kEnd;
}

QString printTitle(const QString& title, const QString& projectName) {
    return "\\b\\ul " + title + "\\b0\\ulnone\\par\\par" + " " + Escaped(projectName) +
           "\\par\\par";
}

} // namespace

QString BiddersRtf(const QList<Record>& bidders) {
    return contactList(bidders, "NO BIDDERS TO LIST", bidderHeading, QString());
}

QString PrintBiddersRtf(const QList<Record>& bidders, const QString& projectName) {
    return contactList(bidders, "NO BIDDERS TO LIST", bidderHeading,
                       printTitle("BIDDERS LIST", projectName));
}

QString ContactsRtf(const QList<Record>& contacts) {
    return contactList(contacts, "NO CONTACTS TO LIST", contactHeading, QString());
}

QString PrintContactsRtf(const QList<Record>& contacts, const QString& projectName) {
    return contactList(contacts, "NO CONTACTS TO LIST", contactHeading,
                       printTitle("CONTACTS LIST", projectName));
}

QString AwardsRtf(const QList<Record>& awards) {
    if (awards.isEmpty())
        return EmptyList("NO APPARENT LOW BIDDER(S) OR AWARDS TO LIST");
    QString s = kHead1 + kColours + kBody;
    for (const Record& a : awards) {
        if (IsTrue(a.value("awarded")))
            s += "\\b " + Field(a, "NAME") + " (AWARDED) \\b0\\par";
        else
            s += "\\b " + Field(a, "NAME") + " \\b0\\par";
        s += "\\tab\\b BID AMOUNT:\\b0  " + Escaped(FormatMoney(a.value("Bid"))) + "\\par";
        s += "\\tab\\b CONTACT:\\b0  " + Field(a, "Contact") + "\\par";
        s +=
            "\\tab\\b PHONE:\\b0  " + Field(a, "Phone") + " Ext:" + Field(a, "Extension") + "\\par";
        s += "\\tab\\b FAX:\\b0  " + Field(a, "Fax") + "\\par";
        const QString email = Field(a, "Email");
        if (!email.isEmpty())
            s += "\\tab\\b Email:\\b0  " + email + "\\par";
        else
            s += "\\tab\\b Email:\\b0  None Listed \\par";
        const QString comment = Field(a, "Comment");
        if (!comment.isEmpty())
            s += "\\tab\\b Comment:\\b0  " + comment + "\\par";
        s += "\\par";
    }
    return s + kEnd;
}

QString UpdatesRtf(const QList<Record>& updates) {
    if (updates.isEmpty())
        return EmptyList("NO UPDATES TO LIST");
    QString s = kHead1 + kColours + kBody + "\\b UPDATES FOR " +
                Escaped(DefaultDateText(updates.first().value("added"))) + "\\b0\\par\\par";
    for (const Record& u : updates) {
        const QString update = ValueText(u.value("Update"));
        // Bid date changes stand out in bold.
        if (update.contains(QLatin1String("BID DATE"), Qt::CaseInsensitive))
            s += ">> \\b " + Escaped(update) + "\\b0\\par";
        else
            s += ">> " + Escaped(update) + "\\b0\\par";
    }
    return s + kEnd;
}

} // namespace brevant::reports
