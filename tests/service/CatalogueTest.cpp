// The generated catalogue itself: deterministic, realistic in the ways the client's views and
// the tests rely on (every contact type, unset bid dates, addenda, table-of-contents entries
// before the sections, real section numbers, awards only once bids are opened).
#include "ServiceHarness.h"

#include "service/catalogue/CatalogueGenerator.h"
#include "service/catalogue/CatalogueWords.h"
#include "service/listing/ListingDocument.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace brevant::service;
using namespace brevant::service::test;

namespace {

TEST(CatalogueTest, SameSeedSameProjectsOtherSeedOtherProjects) {
    for (int i = 0; i < 20; ++i) {
        const Project a = generateProject(5, i, testToday());
        const Project b = generateProject(5, i, testToday());
        EXPECT_EQ(writeListingDocument({&a}, ListingKind::Update),
                  writeListingDocument({&b}, ListingKind::Update));
    }
    int differ = 0;
    for (int i = 0; i < 20; ++i) {
        const Project a = generateProject(5, i, testToday());
        const Project c = generateProject(6, i, testToday());
        differ += a.name != c.name || a.city != c.city ? 1 : 0;
    }
    EXPECT_GT(differ, 10);
}

TEST(CatalogueTest, ProjectsLookLikeTheRealService) {
    QSet<QString> types;
    int unset = 0, past = 0, future = 0, withAddenda = 0, awarded = 0;
    QSet<QString> realSections;
    for (const auto& s : words::sections())
        realSections.insert(s.number);
    for (int i = 0; i < 300; ++i) {
        const Project p = generateProject(1, i, testToday());
        EXPECT_EQ(p.jobId, FirstJobId + i);
        EXPECT_FALSE(p.name.isEmpty());
        EXPECT_EQ(p.state.size(), 2);
        EXPECT_LE(p.costLow, p.costHigh);
        if (!p.hasBidDate())
            ++unset;
        else if (p.dueDate.date() < testToday())
            ++past;
        else
            ++future;
        EXPECT_TRUE(p.hasBidDate() || p.awards.isEmpty());
        if (!p.awards.isEmpty()) {
            EXPECT_LT(p.dueDate.date(), testToday()) << "bids opened before any award";
        }
        for (const AwardEntry& a : p.awards)
            awarded += a.awarded ? 1 : 0;
        if (p.preBid) {
            EXPECT_TRUE(p.preBidDate.isValid());
        }
        bool sectionsBegun = false;
        for (const SpecEntry& s : p.specs) {
            if (s.section.startsWith("TOC")) {
                EXPECT_FALSE(sectionsBegun) << "TOC entries come first";
            } else {
                sectionsBegun = true;
                if (s.section.startsWith("ADD")) {
                    ++withAddenda;
                } else {
                    EXPECT_TRUE(realSections.contains(s.section)) << s.section.toStdString();
                }
            }
        }
        QSet<QString> files;
        for (const PlanSheet& sheet : p.plans) {
            EXPECT_FALSE(files.contains(sheet.file));
            files.insert(sheet.file);
        }
        for (const ContactEntry& c : p.contacts)
            types.insert(c.type);
    }
    for (const QString& t : words::contactTypes())
        EXPECT_TRUE(types.contains(t)) << t.toStdString();
    EXPECT_GT(unset, 5);
    EXPECT_GT(past, 30);
    EXPECT_GT(future, 100);
    EXPECT_GT(withAddenda, 50);
    EXPECT_GT(awarded, 5);
}

TEST(CatalogueTest, WireDatesUseTheServicesForm) {
    EXPECT_EQ(wireDate(QDateTime(QDate(2027, 3, 4), QTime(14, 0))), "3/4/2027 2:00:00 PM");
    EXPECT_EQ(wireDate(QDateTime(QDate(1900, 1, 1), QTime(0, 0))), "1/1/1900 12:00:00 AM");
    EXPECT_EQ(wireDate(QDateTime()), "");
}

} // namespace
