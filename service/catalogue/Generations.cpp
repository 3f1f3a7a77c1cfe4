#include "service/catalogue/Generations.h"

#include "service/catalogue/CatalogueGenerator.h"
#include "service/catalogue/CatalogueWords.h"
#include "service/catalogue/Rng.h"

namespace brevant::service {

QVector<Change> changesOfGeneration(int generation) {
    switch ((generation - 1) % 4) {
    case 0:
        return {Change::BidDate, Change::Section, Change::Contact};
    case 1:
        return {Change::PlanPage, Change::LowBidder, Change::Description};
    case 2:
        return {Change::Addendum, Change::BidDate, Change::PlanPage, Change::PlanRevision};
    default:
        return {Change::Award, Change::Contact, Change::Section};
    }
}

QStringList advanceGeneration(Project& p, std::uint64_t seed, const QDate& today) {
    const int generation = p.generation + 1;
    Rng rng = Rng::derive(seed, static_cast<std::uint64_t>(p.jobId), 0x6e6, generation);
    QStringList done;
    for (Change change : changesOfGeneration(generation)) {
        switch (change) {
        case Change::BidDate: {
            // An unset date gets set; a set one is postponed by one to three weeks.
            const QDateTime before = p.dueDate;
            if (!p.hasBidDate())
                p.dueDate = bidTime(rng, today.addDays(rng.range(21, 60)));
            else
                p.dueDate =
                    QDateTime(p.dueDate.date().addDays(7 * rng.range(1, 3)), p.dueDate.time());
            done << "bid date " + before.toString(Qt::ISODate) + " -> " +
                        p.dueDate.toString(Qt::ISODate);
            break;
        }
        case Change::Section: {
            SpecEntry s = makeSection(rng, p);
            if (s.section.isEmpty())
                break;
            // Keep the listing in number order after the table-of-contents entries.
            auto at = std::find_if(p.specs.begin(), p.specs.end(), [&](const SpecEntry& e) {
                return !e.section.startsWith("TOC") &&
                       (e.section.startsWith("ADD") || e.section > s.section);
            });
            p.specs.insert(at, s);
            done << "section " + s.section;
            break;
        }
        case Change::Addendum: {
            int highest = 0;
            for (const SpecEntry& e : p.specs) {
                if (e.section.startsWith("ADD"))
                    highest = std::max(highest, e.section.mid(3).toInt());
            }
            SpecEntry a{QString("ADD%1").arg(highest + 1, 2, 10, QChar('0')),
                        QString("Addendum No. %1 dated %2")
                            .arg(highest + 1)
                            .arg(today.toString("MM/dd/yyyy")),
                        rng.range(1, 3)};
            p.specs.push_back(a);
            p.addendum = QString("%1 Addenda Issued").arg(highest + 1);
            done << "addendum " + a.section;
            break;
        }
        case Change::PlanPage: {
            PlanSheet sheet = makePlanSheet(rng, p);
            p.plans.push_back(sheet);
            done << "plan page " + sheet.file;
            break;
        }
        case Change::PlanRevision: {
            // The addendum revises one of the sheets the project had before this generation
            // (not the one it just added); its own generator, so the other picks stay as they
            // were before revisions existed.
            const int before = int(p.plans.size()) - 1;
            if (before < 1)
                break;
            Rng pick = Rng::derive(seed, static_cast<std::uint64_t>(p.jobId), 0x5e7, generation);
            PlanSheet& sheet = p.plans[pick.range(0, before - 1)];
            ++sheet.revision;
            done << QString("plan page %1 revision %2").arg(sheet.file).arg(sheet.revision);
            break;
        }
        case Change::Contact: {
            // Alternate between a new bidder and a new firm of another role.
            const QStringList& types = words::contactTypes();
            const QString type = generation % 2 ? QString("B") : types.at(rng.range(0, 6));
            ContactEntry c;
            bool clash = true;
            for (int tries = 0; clash && tries < 50; ++tries) {
                c = makeContact(rng, type, p);
                clash = std::any_of(p.contacts.begin(), p.contacts.end(), [&](const auto& e) {
                    return e.name.compare(c.name, Qt::CaseInsensitive) == 0 && e.type == c.type;
                });
            }
            if (clash)
                break;
            p.contacts.push_back(c);
            done << "contact " + c.name + " (" + c.type + ")";
            break;
        }
        case Change::LowBidder:
        case Change::Award: {
            AwardEntry a = makeAward(rng, p, change == Change::Award);
            p.awards.push_back(a);
            done << (a.awarded ? "award " : "low bidder ") + a.name;
            break;
        }
        case Change::Description:
            p.description += QString(" Revised per addendum (generation %1).").arg(generation);
            done << "description edited";
            break;
        }
    }
    p.generation = generation;
    return done;
}

} // namespace brevant::service
