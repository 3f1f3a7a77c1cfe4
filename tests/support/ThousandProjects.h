#pragma once
// The benchmark database: 1,000 projects, each with 20 specification sections, 30 plan sheets,
// 15 contacts and 3 awards, written through platform/db into a store of either engine; the
// update document that brings each of them a new bid date, description and one new row of each
// kind; and a listing document of new projects. The update-merge, import and store benchmarks
// and the migration tests start from them.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Transaction.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QXmlStreamWriter>

namespace fixtures {

constexpr int kProjects = 1000;
constexpr int kSpecs = 20, kPlans = 30, kContacts = 15, kAwards = 3;

inline QString sectionNumber(int s) {
    return QString::number(10000 + s * 10);
}

// Fills an open store with empty tables with the projects, in one transaction.
inline void writeThousandProjects(brevant::db::Connection& c) {
    brevant::db::Transaction t(c);
    for (int p = 1; p <= kProjects; ++p) {
        const QString n = QString::number(p);
        c.execute("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
                  "[Estimated Cost], [Estimated Cost End], Pre_Bid, Mandatory, Building, "
                  "[Region]) VALUES (" +
                  n + ",'SALEM','OR','3/1/2027 2:00:00 PM','SCHOOL " + n +
                  "','Old scope',1000000,2000000,1,0,1,3)");
        for (int s = 0; s < kSpecs; ++s)
            c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + n + ",'" +
                      sectionNumber(s) + "','SECTION " + QString::number(s) + "')");
        for (int s = 0; s < kPlans; ++s)
            c.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + n +
                      ",'PLAN" + QString::number(s) + "','SHEET " + QString::number(s) + "',1234)");
        for (int k = 0; k < kContacts; ++k)
            c.execute("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, [Type]) VALUES (" + n +
                      ",'FIRM " + QString::number(k) + "','JO','555-1234','B')");
        for (int k = 0; k < kAwards; ++k)
            c.execute("INSERT INTO Awards (JobID, Name, Bid, Awarded) VALUES (" + n + ",'FIRM " +
                      QString::number(k) + "',100000,0)");
    }
    t.commit();
}

// A new Desktop.mdb at file holding the projects.
inline QString makeThousandProjectsFile(const QString& file) {
    brevant::db::createDesktopDatabase(file);
    brevant::db::Connection c;
    c.open(file);
    writeThousandProjects(c);
    return file;
}

inline QByteArray thousandProjectsUpdate() {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement("Jobs");
    for (int p = 1; p <= kProjects; ++p) {
        const QString n = QString::number(p);
        w.writeStartElement("Job");
        w.writeAttribute("Job_ID", n);
        w.writeStartElement("Project");
        const QList<QPair<QString, QString>> fields = {{"Job_ID", n},
                                                       {"City", "Salem"},
                                                       {"State", "OR"},
                                                       {"Due_Date", "3/15/2027 2:00:00 PM"},
                                                       {"Name", "School " + n},
                                                       {"Description", "New scope"},
                                                       {"Estimated_Cost", "1000000"},
                                                       {"Estimated_Cost_End", "2000000"},
                                                       {"Other", ""},
                                                       {"Bins", ""},
                                                       {"Addendum", "1 Addenda Issued"},
                                                       {"Pre_Bid", "1"},
                                                       {"Mandatory", "0"},
                                                       {"Pre_Bid_Date", ""},
                                                       {"Building", "1"},
                                                       {"Region", "3"}};
        for (const auto& [name, value] : fields)
            w.writeTextElement(name, value);
        w.writeEndElement();
        w.writeStartElement("Specs");
        for (int s = 0; s <= kSpecs; ++s) {
            w.writeEmptyElement("Spec");
            w.writeAttribute("Name", sectionNumber(s));
            w.writeAttribute("Description", "Section " + QString::number(s));
        }
        w.writeEndElement();
        w.writeStartElement("Plans");
        for (int s = 0; s <= kPlans; ++s) {
            w.writeEmptyElement("Plan");
            w.writeAttribute("Name", "PLAN" + QString::number(s));
            w.writeAttribute("Description", "Sheet " + QString::number(s));
            w.writeAttribute("Size", "1234");
        }
        w.writeEndElement();
        w.writeStartElement("Contacts");
        for (int k = 0; k <= kContacts; ++k) {
            w.writeEmptyElement("Contact");
            w.writeAttribute("Name", "Firm " + QString::number(k));
            w.writeAttribute("Contact", "Jo");
            w.writeAttribute("Phone", "555-1234");
            w.writeAttribute("Type", "B");
        }
        w.writeEndElement();
        w.writeStartElement("Awards");
        for (int k = 0; k <= kAwards; ++k) {
            w.writeEmptyElement("Award");
            w.writeAttribute("Name", "Firm " + QString::number(k));
            w.writeAttribute("Bid", "100000");
            w.writeAttribute("Award", "0");
        }
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

// A listing of new projects as the service sends a search's results.
inline QByteArray listingDocument(int projects, int specs, int plans, int contacts,
                                  int firstId = 210001) {
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>";
    for (int p = 0; p < projects; ++p) {
        const QByteArray id = QByteArray::number(firstId + p);
        x += "<Job><Project><Job_ID>" + id +
             "</Job_ID><City>Springfield</City><State>IL</State>"
             "<Due_Date>3/15/2027 2:00:00 PM</Due_Date><Name>Lincoln Elementary School Roof "
             "Replacement " +
             id +
             "</Name><Description>Remove and replace the roof</Description>"
             "<Estimated_Cost>100000</Estimated_Cost><Estimated_Cost_End>250000"
             "</Estimated_Cost_End><Other>Bid bond 5%</Other><Bins>B-12</Bins><Addendum>ADD01"
             "</Addendum><Pre_Bid>1</Pre_Bid><Mandatory>0</Mandatory><Pre_Bid_Date>3/1/2027 "
             "10:00:00 AM</Pre_Bid_Date><Building>1</Building><Region>4</Region></Project><Specs>";
        for (int s = 0; s < specs; ++s)
            x += "<Spec Name=\"0" + QByteArray::number(1000 + s * 37) +
                 "\" Description=\"Section title number " + QByteArray::number(s) + "\"/>";
        x += "</Specs><Plans>";
        for (int s = 0; s < plans; ++s)
            x += "<Plan Name=\"PLAN" + QByteArray::number(100 + s) +
                 "\" Description=\"Sheet description\" Size=\"" + QByteArray::number(20000 + s) +
                 "\"/>";
        x += "</Plans><Contacts>";
        for (int s = 0; s < contacts; ++s)
            x += "<Contact Name=\"Firm " + QByteArray::number(s) +
                 "\" Contact=\"Jo O&apos;Brien\" Phone=\"555-0100\" Extension=\"12\" "
                 "Fax=\"555-0101\" Address1=\"1 Main St\" Address2=\"\" City=\"Springfield\" "
                 "State=\"IL\" Zip=\"62701\" Type=\"B\"/>";
        x += "</Contacts></Job>";
    }
    return x + "</Jobs>";
}

} // namespace fixtures
