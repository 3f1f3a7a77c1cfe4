#include "service/catalogue/CatalogueGenerator.h"

#include "service/catalogue/CatalogueWords.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace brevant::service {

namespace {

QString phoneNumber(Rng& rng, int area) {
    return QString("(%1) %2-%3")
        .arg(area)
        .arg(rng.range(200, 989))
        .arg(rng.range(0, 9999), 4, 10, QChar('0'));
}

int areaCodeFor(const QString& state) {
    // Stable per state, plausible-looking.
    int sum = 0;
    for (QChar c : state)
        sum = sum * 31 + c.unicode();
    return 201 + (sum % 780);
}

QString personName(Rng& rng) {
    return rng.pick(words::firstNames()) + " " + rng.pick(words::lastNames());
}

QString firmName(Rng& rng, const QString& type, const Project& project) {
    const QString kind = rng.pick(words::firmKinds(type));
    if (type == "O" || type == "OWNER") {
        // Owners are public bodies named after the place.
        return project.city + " " + kind;
    }
    return rng.pick(words::firmStems()) + " " + kind;
}

int nextNumber(const QVector<SpecEntry>& specs, const QString& prefix) {
    int highest = 0;
    for (const SpecEntry& s : specs) {
        if (s.section.startsWith(prefix))
            highest = std::max(highest, s.section.mid(prefix.size()).toInt());
    }
    return highest + 1;
}

} // namespace

QDateTime bidTime(Rng& rng, const QDate& day) {
    static const QTime times[] = {QTime(10, 0), QTime(11, 0), QTime(14, 0), QTime(15, 30)};
    return QDateTime(day, rng.pick(times, 4));
}

ContactEntry makeContact(Rng& rng, const QString& type, const Project& project) {
    ContactEntry c;
    const int area = areaCodeFor(project.state);
    c.type = type;
    c.name = firmName(rng, type, project);
    c.contact = personName(rng);
    c.phone = phoneNumber(rng, area);
    c.extension = rng.chance(30) ? QString::number(rng.range(100, 499)) : QString();
    c.fax = rng.chance(70) ? phoneNumber(rng, area) : QString();
    c.address1 = QString::number(rng.range(100, 9800)) + " " + rng.pick(words::streets());
    c.address2 = rng.chance(25) ? QString("Suite %1").arg(rng.range(100, 600)) : QString();
    // Most firms are local; some come from elsewhere.
    const auto& places = words::places();
    if (rng.chance(70)) {
        c.city = project.city;
        c.state = project.state;
    } else {
        const words::Place& p = places.at(rng.range(0, int(places.size()) - 1));
        c.city = p.city;
        c.state = p.state;
    }
    QString zip3 = "000";
    for (const words::Place& p : places) {
        if (c.city == p.city && c.state == p.state)
            zip3 = p.zip;
    }
    c.zip = zip3 + QString("%1").arg(rng.range(1, 99), 2, 10, QChar('0'));
    return c;
}

SpecEntry makeSection(Rng& rng, const Project& project) {
    QSet<QString> taken;
    for (const SpecEntry& s : project.specs)
        taken.insert(s.section);
    QVector<const words::Section*> free;
    for (const words::Section& s : words::sections()) {
        if (!taken.contains(s.number))
            free.push_back(&s);
    }
    if (free.isEmpty())
        return {};
    const words::Section* s = free.at(rng.range(0, int(free.size()) - 1));
    return SpecEntry{s->number, s->title, rng.range(1, 4)};
}

PlanSheet makePlanSheet(Rng& rng, const Project& project) {
    int highest = 0;
    for (const PlanSheet& p : project.plans)
        highest = std::max(highest, p.file.mid(4).toInt());
    PlanSheet sheet;
    sheet.file = QString("PLAN%1").arg(highest + 1, 3, 10, QChar('0'));
    const QStringList& titles = words::sheetTitles();
    sheet.description = titles.at(highest % titles.size());
    if (highest >= titles.size())
        sheet.description += QString(" (%1)").arg(highest / titles.size() + 1);
    sheet.size = rng.range(4096, 49152);
    return sheet;
}

AwardEntry makeAward(Rng& rng, const Project& project, bool awarded) {
    QSet<QString> taken;
    for (const AwardEntry& a : project.awards)
        taken.insert(a.name.toUpper());
    ContactEntry firm;
    bool found = false;
    for (const ContactEntry& c : project.contacts) {
        if (c.type == "B" && !taken.contains(c.name.toUpper())) {
            firm = c;
            found = true;
            break;
        }
    }
    if (!found) {
        do {
            firm = makeContact(rng, "B", project);
        } while (taken.contains(firm.name.toUpper()));
    }
    AwardEntry a;
    a.name = firm.name;
    a.contact = firm.contact;
    a.phone = firm.phone;
    a.fax = QString(firm.fax).remove(QRegularExpression("[^0-9]"));
    a.extension = firm.extension;
    a.email = firm.contact.section(' ', 0, 0).toLower() + "@" +
              firm.name.section(' ', 0, 0).toLower().remove(QRegularExpression("[^a-z]")) +
              ".example.com";
    const qint64 base = project.costLow > 0 ? project.costLow : 100000;
    a.bid = (base + base * rng.range(0, 40) / 100) / 100 * 100;
    a.awarded = awarded;
    a.comments = awarded ? QString("Contract awarded") : QString("Apparent low bidder");
    return a;
}

Project generateProject(std::uint64_t seed, int index, const QDate& today) {
    Rng rng = Rng::derive(seed, static_cast<std::uint64_t>(index) + 1);
    Project p;
    p.jobId = FirstJobId + index;

    const auto& places = words::places();
    const words::Place& place = places.at(rng.range(0, int(places.size()) - 1));
    p.city = place.city;
    p.state = place.state;
    const QString work = rng.pick(words::projectWorks());
    p.name = rng.pick(words::projectSubjects()) + " " + work;
    p.description = rng.pick(words::scopeSentences()).arg(p.name.toLower());
    QStringList details = words::scopeDetails();
    for (int i = rng.range(1, 3); i > 0; --i)
        p.description += " " + details.takeAt(rng.range(0, int(details.size()) - 1));

    // Bid dates: about one in twelve not set yet, the rest from three months ago to six ahead.
    if (rng.chance(8))
        p.dueDate = QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    else
        p.dueDate = bidTime(rng, today.addDays(rng.range(-90, 180)));

    p.costLow = qint64(rng.range(50, 20000)) * 1000;
    p.costHigh = p.costLow + p.costLow * rng.range(10, 60) / 100 / 1000 * 1000;
    p.building = work == "Parking Lot Paving" || p.name.contains("Bridge") ||
                         p.name.contains("Corridor") || p.name.contains("Plant")
                     ? 0
                     : 1;
    p.region = rng.range(1, 12);
    p.bins = QString("BIN %1-%2").arg(rng.range(1, 40)).arg(QChar('A' + rng.range(0, 5)));
    p.other =
        rng.pick(QStringList{"Bid bond 5% required", "Performance and payment bonds 100% required",
                             "Plans available from the architect for a $50 deposit",
                             "Sealed bids to the purchasing office", ""});
    p.preBid = rng.chance(55);
    if (p.preBid) {
        p.mandatory = rng.chance(40);
        const QDate anchor = p.hasBidDate() ? p.dueDate.date() : today.addDays(30);
        p.preBidDate = QDateTime(anchor.addDays(-rng.range(7, 14)), QTime(10, 0));
    }

    // Specifications: table-of-contents entries first, then sections in number order.
    p.specs.push_back(SpecEntry{"TOC01", "Table of Contents", 1});
    if (rng.chance(30))
        p.specs.push_back(SpecEntry{"TOC02", "Table of Contents - Volume 2", 1});
    for (int i = rng.range(6, 18); i > 0; --i) {
        SpecEntry s = makeSection(rng, p);
        if (!s.section.isEmpty())
            p.specs.push_back(s);
    }
    std::sort(p.specs.begin(), p.specs.end(), [](const SpecEntry& a, const SpecEntry& b) {
        const bool tocA = a.section.startsWith("TOC"), tocB = b.section.startsWith("TOC");
        return tocA != tocB ? tocA : a.section < b.section;
    });
    const int addenda = rng.range(0, 3);
    for (int i = 1; i <= addenda; ++i) {
        const QDate issued = p.dueDate.date().addDays(-7 * (addenda - i + 1));
        p.specs.push_back(
            SpecEntry{QString("ADD%1").arg(nextNumber(p.specs, "ADD"), 2, 10, QChar('0')),
                      QString("Addendum No. %1 dated %2").arg(i).arg(issued.toString("MM/dd/yyyy")),
                      rng.range(1, 3)});
    }
    p.addendum = addenda == 0 ? QString() : QString("%1 Addenda Issued").arg(addenda);

    for (int i = rng.range(4, 16); i > 0; --i)
        p.plans.push_back(makePlanSheet(rng, p));

    // Contacts: the owner and the architect of every project, some others, then the bidders.
    // The rotating extra type makes sure every type code turns up across the catalogue.
    const QStringList& types = words::contactTypes();
    QStringList wanted = {rng.chance(50) ? "O" : "OWNER", "A"};
    wanted << types.at(index % (types.size() - 1));
    if (rng.chance(50))
        wanted << "E";
    wanted.removeDuplicates();
    for (const QString& t : wanted)
        p.contacts.push_back(makeContact(rng, t, p));
    for (int i = rng.range(0, 7); i > 0; --i)
        p.contacts.push_back(makeContact(rng, "B", p));

    // Bids opened: low bidders, and an award once a month has passed.
    if (p.hasBidDate() && p.dueDate.date() < today) {
        const bool awarded = p.dueDate.date().daysTo(today) > 30;
        for (int i = rng.range(1, 3); i > 0; --i)
            p.awards.push_back(makeAward(rng, p, awarded && p.awards.isEmpty()));
    }
    return p;
}

} // namespace brevant::service
