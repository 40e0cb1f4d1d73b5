#pragma once

#include "LogSimulation.h"
#include "report/Finding.h"

#include <QString>

#include <vector>

// Simulated logs with one planted pattern each, or none, read by the report as a file would be,
// and the check of its findings against what was planted: shared by the findings' test and their
// benchmark, so both hold the report to the same truth and tolerances.
namespace PlantedLogs {

// How far a found figure may be from the planted one.
inline constexpr int dropHourEdgeMinutes = 10; // each end of the window, around the planted +-15 min
inline constexpr double slopeShare = 0.2; // of the planted dB a day, or
inline constexpr double slopeFloor = 0.01; // dB a day, whichever is larger
inline constexpr double stepDb = 0.4; // a step's date is exact, or within its block of days
// Found weekdays are planted ones, one of them may be missing: a weekday that by chance had few
// drops in the log is honestly left out.
inline constexpr int missingWeekdays = 1;

struct Scenario
{
    QString name;
    std::optional<FindingKind> planted; // none: plain noise with random drops
    LogSimulation::Options options;
};

std::vector<Scenario> plantedScenarios();
std::vector<Scenario> noiseScenarios();

struct Outcome
{
    Findings findings;
    LogSimulation::Truth truth;
};

Outcome run(const Scenario& scenario, unsigned seed);

// Empty when the findings are the planted one, with its figures within the tolerances and nothing
// else (or none at all for noise); otherwise what is wrong.
QString mismatch(const Scenario& scenario, const Outcome& outcome);

} // namespace PlantedLogs
