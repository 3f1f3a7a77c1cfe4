// Listing, update and documents replies: the "URL,size" text, the archive fetched over HTTP,
// one well-formed XML entry named like the archive in the layout the client reads, the
// documents of a mixed selection, and the archive and HTTP faults.
#include "ServiceHarness.h"

#include "platform/archive/EntryName.h"

#include <QDomDocument>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

struct Fetched {
    QString url;
    qint64 size = -1;
    QList<ZipEntry> entries;
    int httpStatus = 0;
};

Fetched fetch(const ServiceProcess& service, int kind, const QString& argument) {
    Fetched f;
    Received r = exchange(service.port, frame(kind, argument));
    EXPECT_TRUE(r.terminated);
    const QList<QByteArray> parts = r.body().split(',');
    EXPECT_EQ(parts.size(), 2) << r.body().constData();
    f.url = QString::fromUtf8(parts.value(0));
    f.size = parts.value(1).toLongLong();
    EXPECT_TRUE(f.url.startsWith(QString("http://127.0.0.1:%1/archives/").arg(service.httpPort)))
        << f.url.toStdString();
    HttpResult http = httpGet(f.url);
    f.httpStatus = http.status;
    if (http.status == 200) {
        EXPECT_EQ(http.body.size(), f.size);
        EXPECT_TRUE(http.head.contains("Content-Length: " + QByteArray::number(http.body.size())));
        f.entries = zipEntries(http.body);
    }
    return f;
}

QDomDocument onlyDocument(const Fetched& f) {
    QDomDocument doc;
    EXPECT_EQ(f.entries.size(), 1);
    if (f.entries.isEmpty())
        return doc;
    // The unpacked file must bear the archive's own name.
    EXPECT_EQ(f.entries.first().name, f.url.section('/', -1));
    QString error;
    EXPECT_TRUE(doc.setContent(f.entries.first().data, &error)) << error.toStdString();
    EXPECT_TRUE(f.entries.first().data.startsWith("<?xml"));
    return doc;
}

QDomElement job(const QDomDocument& doc, int jobId) {
    for (QDomElement j = doc.documentElement().firstChildElement("Job"); !j.isNull();
         j = j.nextSiblingElement("Job")) {
        if (j.firstChildElement().firstChildElement("Job_ID").text().toInt() == jobId)
            return j;
    }
    return {};
}

QDomElement child(const QDomElement& parent, int position) {
    QDomElement e = parent.firstChildElement();
    for (int i = 0; i < position && !e.isNull(); ++i)
        e = e.nextSiblingElement();
    return e;
}

class ArchiveRepliesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service = new ServiceProcess;
        ASSERT_TRUE(service->started()) << service->errorText().toStdString();
    }
    static void TearDownTestSuite() { delete service; }
    static inline ServiceProcess* service = nullptr;
};

TEST_F(ArchiveRepliesTest, ListingHoldsTheRequestedProjectsInTheClientsLayout) {
    const Fetched f = fetch(*service, 2, "210003,999999,210001,210003");
    const QDomDocument doc = onlyDocument(f);
    // Known projects once each, in the order asked; unknown ones left out.
    QStringList ids;
    for (QDomElement j = doc.documentElement().firstChildElement(); !j.isNull();
         j = j.nextSiblingElement()) {
        EXPECT_EQ(j.tagName(), "Job");
        EXPECT_FALSE(j.hasAttributes()) << "a listing carries no attributes on Job";
        ids << j.firstChildElement().firstChildElement("Job_ID").text();
    }
    EXPECT_EQ(ids, QStringList({"210003", "210001"}));

    const QDomElement j = job(doc, 210001);
    ASSERT_FALSE(j.isNull());
    EXPECT_EQ(j.childNodes().size(), 4);
    const QStringList fieldNames = {
        "Job_ID",    "City",         "State",          "Due_Date",
        "Name",      "Description",  "Estimated_Cost", "Estimated_Cost_End",
        "Other",     "Bins",         "Addendum",       "Pre_Bid",
        "Mandatory", "Pre_Bid_Date", "Building",       "Region"};
    for (const QString& name : fieldNames)
        EXPECT_FALSE(child(j, 0).firstChildElement(name).isNull()) << name.toStdString();
    bool ok = false;
    child(j, 0).firstChildElement("Estimated_Cost").text().toLongLong(&ok);
    EXPECT_TRUE(ok);
    // Specifications: table-of-contents entries, sections and addenda; plans; contacts.
    const QDomElement specs = child(j, 1), plans = child(j, 2), contacts = child(j, 3);
    ASSERT_FALSE(specs.firstChildElement().isNull());
    EXPECT_TRUE(specs.firstChildElement().attribute("Name").startsWith("TOC"));
    for (QDomElement s = specs.firstChildElement(); !s.isNull(); s = s.nextSiblingElement())
        EXPECT_FALSE(s.attribute("Description").isEmpty());
    ASSERT_FALSE(plans.firstChildElement().isNull());
    for (QDomElement p = plans.firstChildElement(); !p.isNull(); p = p.nextSiblingElement()) {
        EXPECT_TRUE(QRegularExpression("^PLAN\\d{3}$").match(p.attribute("Name")).hasMatch());
        EXPECT_GT(p.attribute("Size").toLongLong(), 0);
    }
    ASSERT_FALSE(contacts.firstChildElement().isNull());
    for (const char* attr : {"Name", "Contact", "Phone", "Extension", "Fax", "Address1", "Address2",
                             "City", "State", "Zip", "Type"})
        EXPECT_TRUE(contacts.firstChildElement().hasAttribute(attr)) << attr;
}

TEST_F(ArchiveRepliesTest, UpdateAddsTheIdentifierAttributeAndTheAwardList) {
    const Fetched f = fetch(*service, 3, "210002,210004");
    const QDomDocument doc = onlyDocument(f);
    EXPECT_TRUE(f.url.section('/', -1).startsWith("update-"));
    for (QDomElement j = doc.documentElement().firstChildElement(); !j.isNull();
         j = j.nextSiblingElement()) {
        const QString id = j.firstChildElement().firstChildElement("Job_ID").text();
        EXPECT_EQ(j.attributes().item(0).nodeValue(), id);
        EXPECT_EQ(j.childNodes().size(), 5);
        for (QDomElement a = child(j, 4).firstChildElement(); !a.isNull();
             a = a.nextSiblingElement()) {
            for (const char* attr : {"Name", "Contact", "Phone", "Comments", "Bid", "Fax",
                                     "Extension", "Email", "Award"})
                EXPECT_TRUE(a.hasAttribute(attr)) << attr;
            // Written into number columns by the client: digits or nothing.
            for (const char* attr : {"Bid", "Fax", "Extension"})
                EXPECT_TRUE(QRegularExpression("^\\d*$").match(a.attribute(attr)).hasMatch());
        }
    }
}

TEST_F(ArchiveRepliesTest, DocumentsOfAMixedSelection) {
    // Find a project with sections and an addendum from its listing.
    const QDomDocument listing = onlyDocument(fetch(*service, 2,
                                                    "210001,210002,210003,210004,"
                                                    "210005,210006,210007,210008"));
    int jobId = 0;
    QString section, addendum;
    QStringList plans;
    for (QDomElement j = listing.documentElement().firstChildElement(); !j.isNull() && !jobId;
         j = j.nextSiblingElement()) {
        section.clear();
        addendum.clear();
        for (QDomElement s = child(j, 1).firstChildElement(); !s.isNull();
             s = s.nextSiblingElement()) {
            const QString name = s.attribute("Name");
            if (name.startsWith("ADD") && addendum.isEmpty())
                addendum = name;
            else if (!name.startsWith("ADD") && !name.startsWith("TOC") && section.isEmpty())
                section = name;
        }
        plans.clear();
        for (QDomElement p = child(j, 2).firstChildElement(); !p.isNull() && plans.size() < 2;
             p = p.nextSiblingElement())
            plans << p.attribute("Name");
        if (!addendum.isEmpty() && !section.isEmpty() && plans.size() == 2)
            jobId = j.firstChildElement().firstChildElement("Job_ID").text().toInt();
    }
    ASSERT_NE(jobId, 0);

    const QString selection = QString("%1@PLN~%2:SPC~%3:ADD~%4:PLN~%5:SPC~99999:PLN~PLAN999")
                                  .arg(jobId)
                                  .arg(plans[0], section, addendum, plans[1]);
    const Fetched f = fetch(*service, 5, selection);
    ASSERT_EQ(f.httpStatus, 200);
    QStringList names;
    for (const ZipEntry& e : f.entries) {
        names << e.name;
        EXPECT_TRUE(brevant::archive::isSafeEntryName(e.name.toStdString()));
        EXPECT_FALSE(e.data.isEmpty());
    }
    EXPECT_EQ(names.count("PLAN.SVD"), 1);
    EXPECT_TRUE(names.contains(plans[0]) && names.contains(plans[1]));
    EXPECT_TRUE(names.contains(section + ".SVD"));
    EXPECT_TRUE(names.contains(addendum + ".SVD"));
    EXPECT_TRUE(names.contains(section + "_001.tif"));
    EXPECT_TRUE(names.contains(addendum + "_001.tif"));
    for (const QString& n : names) {
        EXPECT_TRUE(n == "PLAN.SVD" || plans.contains(n) || n.startsWith(section) ||
                    n.startsWith(addendum))
            << n.toStdString();
    }
    // An addendum asked for as a section is not found; a bare project number asks for nothing.
    EXPECT_TRUE(
        fetch(*service, 5, QString("%1@SPC~%2").arg(jobId).arg(addendum)).entries.isEmpty());
    EXPECT_TRUE(fetch(*service, 5, QString::number(jobId)).entries.isEmpty());
    EXPECT_TRUE(fetch(*service, 5, "999999@PLN~PLAN001").entries.isEmpty());
}

TEST_F(ArchiveRepliesTest, PlanPageFilesHaveTheSizeTheListingAnnounces) {
    const QDomDocument listing = onlyDocument(fetch(*service, 2, "210005"));
    const QDomElement plan = child(job(listing, 210005), 2).firstChildElement();
    ASSERT_FALSE(plan.isNull());
    const Fetched f = fetch(*service, 5, "210005@PLN~" + plan.attribute("Name"));
    bool seen = false;
    for (const ZipEntry& e : f.entries) {
        if (e.name == plan.attribute("Name")) {
            seen = true;
            EXPECT_EQ(e.data.size(), plan.attribute("Size").toLongLong());
        }
    }
    EXPECT_TRUE(seen);
}

TEST_F(ArchiveRepliesTest, UnknownPathsAndMethodsAreRefusedByTheWebServer) {
    const QString base = QString("http://127.0.0.1:%1").arg(service->httpPort);
    EXPECT_EQ(httpGet(base + "/archives/listing-999999").status, 404);
    EXPECT_EQ(httpGet(base + "/archives/..%2Fcatalogue.db").status, 404);
    EXPECT_EQ(httpGet(base + "/catalogue.db").status, 404);
    EXPECT_EQ(httpGet(base + "/").status, 404);
}

TEST(ArchiveFaultsTest, EmptyArchiveBrokenXmlAndHostileNames) {
    ServiceProcess empty({"--empty-archive"});
    ServiceProcess broken({"--broken-xml"});
    ServiceProcess hostile({"--hostile-names"});
    ASSERT_TRUE(empty.started() && broken.started() && hostile.started());

    EXPECT_TRUE(fetch(empty, 2, "210001").entries.isEmpty());
    EXPECT_TRUE(fetch(empty, 5, "210001@PLN~PLAN001").entries.isEmpty());

    const Fetched b = fetch(broken, 3, "210001");
    ASSERT_EQ(b.entries.size(), 1);
    QDomDocument doc;
    EXPECT_FALSE(bool(doc.setContent(b.entries.first().data)));
    Received search = exchange(broken.port, frame(1, "WHERE  [Job Information].[Name] LIKE "
                                                     "'%%' AND  (Due_Date >= '3/1/2027')"));
    EXPECT_FALSE(bool(doc.setContent(search.body())));

    const Fetched h = fetch(hostile, 5, "210001@PLN~PLAN001:PLN~PLAN002");
    ASSERT_FALSE(h.entries.isEmpty());
    for (const ZipEntry& e : h.entries)
        EXPECT_FALSE(brevant::archive::isSafeEntryName(e.name.toStdString()))
            << e.name.toStdString();
}

TEST(HttpFaultsTest, ErrorStatusAndSlowTransfer) {
    ServiceProcess missing({"--http-status", "404"});
    ServiceProcess failing({"--http-status", "500"});
    ServiceProcess slow({"--http-slow", "30"});
    ASSERT_TRUE(missing.started() && failing.started() && slow.started());
    EXPECT_EQ(fetch(missing, 2, "210001").httpStatus, 404);
    EXPECT_EQ(fetch(failing, 2, "210001").httpStatus, 500);

    Received r = exchange(slow.port, frame(5, "210001@PLN~PLAN001:PLN~PLAN002"));
    const HttpResult h = httpGet(QString::fromUtf8(r.body().split(',').value(0)), 60000);
    ASSERT_EQ(h.status, 200);
    EXPECT_EQ(h.body.size(), r.body().split(',').value(1).toLongLong());
    EXPECT_GT(h.reads, 3) << "the body should arrive in many pieces";
    EXPECT_FALSE(zipEntries(h.body).isEmpty());
}

} // namespace
