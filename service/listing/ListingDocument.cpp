#include "service/listing/ListingDocument.h"

#include <QLocale>
#include <QXmlStreamWriter>

namespace brevant::service {

QString wireDate(const QDateTime& dt) {
    if (!dt.isValid())
        return {};
    return QLocale::c().toString(dt, "M/d/yyyy h:mm:ss AP");
}

namespace {

void writeProjectFields(QXmlStreamWriter& w, const Project& p) {
    w.writeStartElement("Project");
    w.writeTextElement("Job_ID", QString::number(p.jobId));
    w.writeTextElement("City", p.city);
    w.writeTextElement("State", p.state);
    w.writeTextElement("Due_Date", wireDate(p.dueDate));
    w.writeTextElement("Name", p.name);
    w.writeTextElement("Description", p.description);
    w.writeTextElement("Estimated_Cost", QString::number(p.costLow));
    w.writeTextElement("Estimated_Cost_End", QString::number(p.costHigh));
    w.writeTextElement("Other", p.other);
    w.writeTextElement("Bins", p.bins);
    w.writeTextElement("Addendum", p.addendum);
    w.writeTextElement("Pre_Bid", p.preBid ? "1" : "0");
    w.writeTextElement("Mandatory", p.mandatory ? "1" : "0");
    w.writeTextElement("Pre_Bid_Date", wireDate(p.preBidDate));
    w.writeTextElement("Building", QString::number(p.building));
    w.writeTextElement("Region", QString::number(p.region));
    w.writeEndElement();
}

void writeSpecs(QXmlStreamWriter& w, const Project& p) {
    w.writeStartElement("Specs");
    for (const SpecEntry& s : p.specs) {
        w.writeEmptyElement("Spec");
        w.writeAttribute("Name", s.section);
        w.writeAttribute("Description", s.description);
    }
    w.writeEndElement();
}

void writePlans(QXmlStreamWriter& w, const Project& p) {
    w.writeStartElement("Plans");
    for (const PlanSheet& s : p.plans) {
        w.writeEmptyElement("Plan");
        w.writeAttribute("Name", s.file);
        w.writeAttribute("Description", s.description);
        w.writeAttribute("Size", QString::number(s.size));
        // Only a revised sheet says so: a client that knows no revisions reads past it.
        if (s.revision > 0)
            w.writeAttribute("Revision", QString::number(s.revision));
    }
    w.writeEndElement();
}

void writeContacts(QXmlStreamWriter& w, const Project& p) {
    w.writeStartElement("Contacts");
    for (const ContactEntry& c : p.contacts) {
        w.writeEmptyElement("Contact");
        w.writeAttribute("Name", c.name);
        w.writeAttribute("Contact", c.contact);
        w.writeAttribute("Phone", c.phone);
        w.writeAttribute("Extension", c.extension);
        w.writeAttribute("Fax", c.fax);
        w.writeAttribute("Address1", c.address1);
        w.writeAttribute("Address2", c.address2);
        w.writeAttribute("City", c.city);
        w.writeAttribute("State", c.state);
        w.writeAttribute("Zip", c.zip);
        w.writeAttribute("Type", c.type);
    }
    w.writeEndElement();
}

void writeAwards(QXmlStreamWriter& w, const Project& p) {
    w.writeStartElement("Awards");
    for (const AwardEntry& a : p.awards) {
        w.writeEmptyElement("Award");
        w.writeAttribute("Name", a.name);
        w.writeAttribute("Contact", a.contact);
        w.writeAttribute("Phone", a.phone);
        w.writeAttribute("Comments", a.comments);
        w.writeAttribute("Bid", QString::number(a.bid));
        w.writeAttribute("Fax", a.fax);
        w.writeAttribute("Extension", a.extension);
        w.writeAttribute("Email", a.email);
        w.writeAttribute("Award", a.awarded ? "1" : "0");
    }
    w.writeEndElement();
}

} // namespace

QByteArray writeListingDocument(const QVector<const Project*>& projects, ListingKind kind) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(false);
    w.writeStartDocument("1.0");
    w.writeStartElement("Jobs");
    for (const Project* p : projects) {
        w.writeStartElement("Job");
        if (kind == ListingKind::Update)
            w.writeAttribute("Job_ID", QString::number(p->jobId));
        writeProjectFields(w, *p);
        if (kind == ListingKind::Search) {
            w.writeEmptyElement("Specs");
            w.writeEmptyElement("Plans");
            w.writeEmptyElement("Contacts");
        } else {
            writeSpecs(w, *p);
            writePlans(w, *p);
            writeContacts(w, *p);
            if (kind == ListingKind::Update)
                writeAwards(w, *p);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace brevant::service
