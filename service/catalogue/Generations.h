#pragma once
// Change over time. Every update request moves the projects it names on by one generation; each
// generation brings a fixed mix of changes (README.md lists the cycle), picked deterministically
// from the seed, the project and the generation number, so that a test knows what to expect.
#include "service/catalogue/Project.h"

#include <QDate>
#include <QStringList>
#include <cstdint>

namespace brevant::service {

// The kinds of change, as the update merge logs them (and one it does not log).
enum class Change {
    BidDate,
    Section,
    Addendum,
    PlanPage,
    PlanRevision, // a sheet drawn anew under its name (logged as a revised plan page)
    Contact,
    LowBidder,
    Award,
    Description
};

// The changes generation g (1-based) brings.
QVector<Change> changesOfGeneration(int generation);

// Moves the project from its current generation to the next one; returns what was done, one
// line per change, for the log.
QStringList advanceGeneration(Project& project, std::uint64_t seed, const QDate& today);

} // namespace brevant::service
