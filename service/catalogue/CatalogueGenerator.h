#pragma once
// Makes the catalogue's projects from a seed: the same seed, index and reference day always
// give the same project. The pieces (contacts, sections, sheets, bidders) are also used by the
// generation changes, which add more of them over time.
#include "service/catalogue/Project.h"
#include "service/catalogue/Rng.h"

#include <QDate>

namespace brevant::service {

constexpr int FirstJobId = 210001;

// The project at position index (0-based) of a catalogue made with seed, whose bid dates are
// spread around today.
Project generateProject(std::uint64_t seed, int index, const QDate& today);

// A contact of the given type code for a project in city/state.
ContactEntry makeContact(Rng& rng, const QString& type, const Project& project);

// A section not yet among the project's specifications (empty section when none is left).
SpecEntry makeSection(Rng& rng, const Project& project);

// The next plan sheet of the project ("PLAN" + the next three-digit number).
PlanSheet makePlanSheet(Rng& rng, const Project& project);

// A low bidder from the project's bidders not yet among its awards, or a new firm.
AwardEntry makeAward(Rng& rng, const Project& project, bool awarded);

// A bid time on the given day (10:00 AM, 11:00 AM, 2:00 PM or 3:30 PM).
QDateTime bidTime(Rng& rng, const QDate& day);

} // namespace brevant::service
