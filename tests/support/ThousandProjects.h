#pragma once
// The benchmark database: 1,000 projects, each with 20 specification sections, 30 plan sheets,
// 15 contacts and 3 awards, written through platform/db into a store of either engine. The
// update-merge and store benchmarks and the migration tests start from it.
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QString>

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

} // namespace fixtures
