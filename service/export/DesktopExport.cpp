#include "service/export/DesktopExport.h"

#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/StoreLocator.h"
#include "platform/db/Transaction.h"
#include "service/catalogue/Catalogue.h"
#include "service/listing/ListingDocument.h"

#include <QDir>
#include <QFileInfo>

namespace brevant::service {

namespace {

// A Jet text literal: quotes doubled, a bar spelt chr(124) as the client writes it; NULL for
// an empty text.
QString text(const QString& value) {
    if (value.isEmpty())
        return "NULL";
    QString quoted = value;
    quoted.replace("'", "''");
    quoted.replace("|", "' & chr(124) & '");
    return "'" + quoted + "'";
}

QString number(qint64 value) {
    return QString::number(value);
}

QString digitsOrNull(const QString& value) {
    return value.isEmpty() ? "NULL" : value;
}

void writeProject(brevant::db::Connection& db, const Project& p) {
    const QString id = QString::number(p.jobId);
    for (const char* table : {"Plans", "Specs", "Awards", "Updates"})
        db.execute(QString("Delete FROM [%1] Where [JobID] = %2").arg(table, id));
    db.execute("Delete FROM [Projects] Where [Job_ID] = " + id);
    db.execute("Delete FROM [Contacts] Where [Job_ID] = " + id);

    db.execute("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
               "[Estimated Cost], [Estimated Cost End], [Other], Bins, Addendum, Pre_Bid, "
               "Mandatory, Pre_Bid_Date, Building, [Region], [New], [Tracked]) VALUES (" +
               QStringList{id, text(p.city.toUpper()), text(p.state.toUpper()),
                           text(wireDate(p.dueDate)), text(p.name.toUpper()), text(p.description),
                           number(p.costLow), number(p.costHigh), text(p.other.toUpper()),
                           text(p.bins.toUpper()), text(p.addendum.toUpper()),
                           p.preBid ? "TRUE" : "FALSE", p.mandatory ? "TRUE" : "FALSE",
                           text(wireDate(p.preBidDate)), number(p.building), number(p.region),
                           "TRUE", "FALSE"}
                   .join(",") +
               ")");
    for (const SpecEntry& s : p.specs)
        db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + id + "," +
                   text(s.section.toUpper()) + "," + text(s.description.toUpper()) + ")");
    for (const PlanSheet& s : p.plans)
        db.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" + id + "," +
                   text(s.file.toUpper()) + "," + text(s.description.toUpper()) + "," +
                   number(s.size) + ")");
    for (const ContactEntry& c : p.contacts)
        db.execute("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                   "Address2, City, [State], Zip, [Type]) VALUES (" +
                   QStringList{id, text(c.name.toUpper()), text(c.contact.toUpper()), text(c.phone),
                               text(c.extension), text(c.fax), text(c.address1.toUpper()),
                               text(c.address2.toUpper()), text(c.city.toUpper()),
                               text(c.state.toUpper()), text(c.zip), text(c.type.toUpper())}
                       .join(",") +
                   ")");
    for (const AwardEntry& a : p.awards)
        db.execute("INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], "
                   "[Awarded], [Fax], [Extension], [Email]) VALUES (" +
                   QStringList{id, text(a.name.toUpper()), text(a.contact.toUpper()), text(a.phone),
                               text(a.comments), number(a.bid), a.awarded ? "1" : "0",
                               digitsOrNull(a.fax), digitsOrNull(a.extension), text(a.email)}
                       .join(",") +
                   ")");
}

} // namespace

int exportDesktopDatabase(const Catalogue& catalogue, const QString& path) {
    const brevant::db::StoreLocator locator = brevant::db::StoreLocator::parse(path);
    brevant::db::Connection db;
    if (locator.kind() == brevant::db::StoreLocator::Kind::PostgreSql) {
        // A firm's store (the demo's own cluster): an empty database gets the tables on open.
        db.open(locator);
    } else {
        // The demo points this at a fresh program folder's Work/Desktop.mdb.
        QDir().mkpath(QFileInfo(path).absolutePath());
        brevant::db::createDesktopDatabase(QFileInfo(path).absoluteFilePath());
        db.open(QFileInfo(path).absoluteFilePath());
    }
    // All or nothing: a failure leaves the store as it was.
    brevant::db::Transaction transaction(db);
    for (const Project& p : catalogue.projects())
        writeProject(db, p);
    transaction.commit();
    db.close();
    return int(catalogue.projects().size());
}

} // namespace brevant::service
