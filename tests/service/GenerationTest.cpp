// Change over time: each update request moves the projects it names on by one generation,
// bringing the documented mix of changes; listings do not; restarts keep the generation; the
// catalogue is the same for the same seed.
#include "ServiceHarness.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

QByteArray fetchXml(const ServiceProcess& service, int kind, const QString& argument) {
    Received r = exchange(service.port, frame(kind, argument));
    const HttpResult h = httpGet(QString::fromUtf8(r.body().split(',').value(0)));
    const QList<ZipEntry> entries = zipEntries(h.body);
    return entries.isEmpty() ? QByteArray() : entries.first().data;
}

struct Snapshot {
    QString dueDate, description;
    QStringList specs, plans, contacts, awards;
};

Snapshot snapshot(const QByteArray& xml) {
    QDomDocument doc;
    EXPECT_TRUE(doc.setContent(xml));
    const QDomElement job = doc.documentElement().firstChildElement("Job");
    Snapshot s;
    QDomElement part = job.firstChildElement();
    s.dueDate = part.firstChildElement("Due_Date").text();
    s.description = part.firstChildElement("Description").text();
    QStringList* lists[] = {&s.specs, &s.plans, &s.contacts, &s.awards};
    for (QStringList* list : lists) {
        part = part.nextSiblingElement();
        for (QDomElement e = part.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            *list << e.attribute("Name") +
                         (e.hasAttribute("Type") ? "/" + e.attribute("Type") : QString());
    }
    return s;
}

QDateTime wireDate(const QString& text) {
    return QDateTime::fromString(text, "M/d/yyyy h:mm:ss AP");
}

QStringList added(const QStringList& before, const QStringList& after) {
    QStringList out;
    for (const QString& s : after) {
        if (!before.contains(s))
            out << s;
    }
    return out;
}

TEST(GenerationTest, EachUpdateBringsTheNextMixOfChanges) {
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    const QString id = "210007";
    Snapshot before = snapshot(fetchXml(service, 2, id));
    // A listing does not move the project on.
    EXPECT_EQ(snapshot(fetchXml(service, 2, id)).specs, before.specs);
    // A listing has no award list; the update of generation 1 brings none either.

    // Generation 1: bid date moved or set, a new section, a new contact.
    Snapshot g1 = snapshot(fetchXml(service, 3, id));
    EXPECT_NE(g1.dueDate, before.dueDate);
    EXPECT_TRUE(wireDate(g1.dueDate) > wireDate(before.dueDate) || before.dueDate.contains("1900"));
    const QStringList newSpecs = added(before.specs, g1.specs);
    ASSERT_EQ(newSpecs.size(), 1);
    EXPECT_FALSE(newSpecs.first().startsWith("ADD"));
    EXPECT_EQ(added(before.contacts, g1.contacts).size(), 1);
    EXPECT_EQ(g1.plans, before.plans);

    // Generation 2: a new plan page, a new low bidder, the description edited.
    Snapshot g2 = snapshot(fetchXml(service, 3, id));
    EXPECT_EQ(g2.dueDate, g1.dueDate);
    EXPECT_EQ(added(g1.plans, g2.plans).size(), 1);
    EXPECT_EQ(added(g1.awards, g2.awards).size(), 1);
    EXPECT_NE(g2.description, g1.description);
    EXPECT_EQ(g2.specs, g1.specs);

    // Generation 3: an addendum, the bid date moved again, another plan page.
    Snapshot g3 = snapshot(fetchXml(service, 3, id));
    const QStringList addenda = added(g2.specs, g3.specs);
    ASSERT_EQ(addenda.size(), 1);
    EXPECT_TRUE(addenda.first().startsWith("ADD"));
    EXPECT_GT(wireDate(g3.dueDate), wireDate(g2.dueDate));
    EXPECT_EQ(added(g2.plans, g3.plans).size(), 1);

    // Generation 4: an award, a contact, a section.
    Snapshot g4 = snapshot(fetchXml(service, 3, id));
    EXPECT_EQ(added(g3.awards, g4.awards).size(), 1);
    EXPECT_EQ(added(g3.contacts, g4.contacts).size(), 1);
    EXPECT_EQ(added(g3.specs, g4.specs).size(), 1);

    // Nothing is ever removed, so the client's merge only ever adds.
    for (const QString& s : before.specs)
        EXPECT_TRUE(g4.specs.contains(s));
    for (const QString& c : before.contacts)
        EXPECT_TRUE(g4.contacts.contains(c));
}

TEST(GenerationTest, SearchSeesTheNewSectionOfAnUpdatedProject) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    const Snapshot before = snapshot(fetchXml(service, 2, "210010"));
    const Snapshot after = snapshot(fetchXml(service, 3, "210010"));
    const QStringList newSpecs = added(before.specs, after.specs);
    ASSERT_EQ(newSpecs.size(), 1);
    const QString clause = "WHERE  [Job Information].Job_ID IN (SELECT DISTINCT JOBID AS Job_ID "
                           "FROM [Jobs Detail] WHERE (SECTION = '" +
                           newSpecs.first() + "')) AND  [Job Information].[Name] LIKE '%%' AND ";
    Received r = exchange(service.port, frame(1, clause + " (1=1) ORDER BY Due_Date"));
    EXPECT_TRUE(r.body().contains("<Job_ID>210010</Job_ID>"));
}

TEST(GenerationTest, RestartKeepsTheGenerationAndTheSeedDecidesTheCatalogue) {
    QTemporaryDir data;
    QByteArray afterUpdate;
    {
        ServiceProcess first({}, data.path());
        ASSERT_TRUE(first.started());
        fetchXml(first, 3, "210011");
        afterUpdate = fetchXml(first, 2, "210011,210012");
    }
    ServiceProcess again({}, data.path());
    ASSERT_TRUE(again.started());
    EXPECT_EQ(fetchXml(again, 2, "210011,210012"), afterUpdate);

    ServiceProcess fresh;
    ServiceProcess otherSeed({"--seed", "12"});
    ASSERT_TRUE(fresh.started() && otherSeed.started());
    const QByteArray base = fetchXml(fresh, 2, "210011,210012");
    EXPECT_NE(base, afterUpdate);
    EXPECT_EQ(snapshot(base).specs.size() + 1, snapshot(afterUpdate).specs.size());
    ServiceProcess sameSeed;
    ASSERT_TRUE(sameSeed.started());
    EXPECT_EQ(fetchXml(sameSeed, 2, "210011,210012"), base);
    EXPECT_NE(fetchXml(otherSeed, 2, "210011,210012"), base);
}

} // namespace
