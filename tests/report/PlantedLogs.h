#pragma once

#include "LogSimulation.h"
#include "report/ReportFigures.h"

#include <QString>

#include <vector>

// Simulated logs with one planted pattern each, or none, read by the report as a file would be,
// and the check of its findings against what was planted: shared by the findings' test and their
// benchmark, so both hold the report to the same truth and tolerances.
namespace PlantedLogs {

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

// A simulated log of so many days, a capture every so many seconds, as bytes; and what the report
// makes of a log.
LogSimulation::Options options(int days, int every);
QByteArray logOf(const LogSimulation::Options& options, LogSimulation::Truth* truth = nullptr);
ReportFigures figuresOf(QByteArray log);

} // namespace PlantedLogs
