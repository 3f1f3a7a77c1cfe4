#pragma once
// One project of the service's catalogue with everything the listing and update documents
// carry. Dates are kept as QDateTime; the year 1900 marks a bid date that is not set.
#include <QDateTime>
#include <QString>
#include <QVector>

namespace brevant::service {

struct SpecEntry {
    QString section; // "03300", "TOC01", "ADD01"
    QString description;
    int pages = 1; // ".tif" page files that come with the section's document
};

struct PlanSheet {
    QString file; // "PLAN001"
    QString description;
    qint64 size = 0;  // bytes of the page file
    int revision = 0; // raised each time the sheet is drawn anew under the same name
};

struct ContactEntry {
    QString name, contact, phone, extension, fax, address1, address2, city, state, zip;
    QString type; // A, E, O, OWNER, GENERAL CO, CM, DESIGN, B
};

struct AwardEntry {
    QString name, contact, phone, comments, email;
    qint64 bid = 0;
    QString fax, extension; // digits only: the client writes them as numbers
    bool awarded = false;
};

struct Project {
    int jobId = 0;
    QString name, city, state, description, other, bins, addendum;
    QDateTime dueDate; // 1900-01-01 00:00 when not set
    qint64 costLow = 0, costHigh = 0;
    bool preBid = false, mandatory = false;
    QDateTime preBidDate; // null when there is no pre-bid meeting
    int building = 0;     // 1 building construction, 0 heavy construction
    int region = 0;
    QVector<SpecEntry> specs;
    QVector<PlanSheet> plans;
    QVector<ContactEntry> contacts;
    QVector<AwardEntry> awards;
    int generation = 0;

    bool hasBidDate() const { return dueDate.date().year() != 1900; }
};

} // namespace brevant::service
