#pragma once
// A Desktop.mdb in a temporary folder holding project 4711 with every field filled, its
// contacts, awards and updates (in an order the reports must sort), and project 12 with
// nothing but its row.
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace reporttest {

class ReportDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db.open(stores.create(dir.filePath("Desktop.mdb")));
        for (const char* sql : {
                 "INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
                 "[Estimated Cost], [Estimated Cost End], [Other], Bins, Addendum, Pre_Bid, "
                 "Mandatory, Pre_Bid_Date, Building, [Region]) VALUES (4711, 'AUSTIN', 'TX', "
                 "'3/5/2026 2:00:00 PM', 'Central High School Roof', 'Replace the roof', "
                 "1250000, 2500000.4, '2/25/2026', 'B-7', NULL, TRUE, FALSE, '2/20/2026', 1, 3)",
                 "Update [Projects] Set Notes = 'Call Bob' where [JOB_ID] = 4711",
                 "INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], [Description], "
                 "[Estimated Cost], [Estimated Cost End], [Other], Bins, Addendum, Pre_Bid, "
                 "Mandatory, Pre_Bid_Date, Building, [Region]) VALUES (12, NULL, 'TX', "
                 "'1/1/1900', 'Bridge', NULL, NULL, 500, NULL, NULL, NULL, NULL, NULL, NULL, "
                 "NULL, NULL)",
                 "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                 "Address2, City, [State], Zip, [Type]) VALUES (4711, 'ZETA PAINT', 'Zed', "
                 "'1', '2', '3', 'a1', 'a2', 'AUSTIN', 'TX', '78701', 'B')",
                 "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                 "Address2, City, [State], Zip, [Type]) VALUES (4711, 'ACME ROOFING', 'Ann', "
                 "'1', '2', '3', 'a1', 'a2', 'AUSTIN', 'TX', '78701', 'B')",
                 "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                 "Address2, City, [State], Zip, [Type]) VALUES (4711, 'ALPHA OWNERS', 'Al', "
                 "'1', '2', '3', 'a1', 'a2', 'AUSTIN', 'TX', '78701', 'O')",
                 "INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
                 "Address2, City, [State], Zip, [Type]) VALUES (4711, 'BETA DESIGN', 'Bea', "
                 "'1', '2', '3', 'a1', 'a2', 'AUSTIN', 'TX', '78701', 'A')",
                 "INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], "
                 "[Awarded], [Fax], [Extension], [Email]) VALUES (4711, 'HIGH CO', 'Hi', '9', "
                 "NULL, 900000, 0, NULL, NULL, NULL)",
                 "INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], "
                 "[Awarded], [Fax], [Extension], [Email]) VALUES (4711, 'LOW CO', 'Lo', '8', "
                 "'Signed', 850000, -1, 5551234, 7, 'lo@example.com')",
                 "INSERT INTO Updates ( JobID, [Update], Added ) Values (4711, 'BID DATE "
                 "CHANGED FROM 3/1/2026 TO 3/5/2026', '3/2/2026')",
                 "INSERT INTO Updates ( JobID, [Update], Added ) Values (4711, 'CONTACT ADDED - "
                 "ZETA PAINT', '3/4/2026')",
             })
            db.execute(QString::fromUtf8(sql));
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    brevant::db::Connection db;
};

} // namespace reporttest
