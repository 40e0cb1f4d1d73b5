// How often the report's findings are right, over many seeds of simulated logs: for each planted
// pattern the share of logs in which it was found with its figures within the tests' tolerances
// and nothing else was, for each kind of plain noise the share of logs with any finding at all
// (false findings), and the time a log takes to read.
//
//   findings-bench [SEEDS]      (default 100)

#include "PlantedLogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

namespace {

struct Tally
{
    int right = 0;
    int logs = 0;
    QStringList wrong; // "seed N: what", one for each wrong log
};

Tally tally(const PlantedLogs::Scenario& scenario, unsigned seeds, qint64& nanoseconds)
{
    Tally result;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        QElapsedTimer timer;
        timer.start();
        const PlantedLogs::Outcome outcome = PlantedLogs::run(scenario, seed);
        nanoseconds += timer.nsecsElapsed();
        const QString wrong = PlantedLogs::mismatch(scenario, outcome);
        ++result.logs;
        result.right += wrong.isEmpty() ? 1 : 0;
        if (!wrong.isEmpty())
            result.wrong << QStringLiteral("seed %1: %2").arg(seed).arg(wrong);
    }
    return result;
}

void print(const char* what, const PlantedLogs::Scenario& scenario, int count, const Tally& result)
{
    std::printf("%-9s %3d/%-3d  %s\n", what, count, result.logs, qPrintable(scenario.name));
    for (const QString& wrong : result.wrong)
        std::printf("                   %s\n", qPrintable(wrong));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const unsigned seeds = argc > 1 ? unsigned(std::max(1, QByteArray(argv[1]).toInt())) : 100;
    qint64 nanoseconds = 0;
    int logs = 0;
    int found = 0;
    int planted = 0;
    for (const PlantedLogs::Scenario& scenario : PlantedLogs::plantedScenarios()) {
        const Tally result = tally(scenario, seeds, nanoseconds);
        print("found", scenario, result.right, result);
        found += result.right;
        planted += result.logs;
    }
    int falseFindings = 0;
    int noise = 0;
    for (const PlantedLogs::Scenario& scenario : PlantedLogs::noiseScenarios()) {
        const Tally result = tally(scenario, seeds, nanoseconds);
        print("finding", scenario, result.logs - result.right, result);
        falseFindings += result.logs - result.right;
        noise += result.logs;
    }
    logs = planted + noise;
    std::printf("planted patterns found: %d of %d logs (%.1f%%)\n", found, planted, 100.0 * found / planted);
    std::printf(
        "false findings in noise: %d of %d logs (%.1f%%)\n", falseFindings, noise, 100.0 * falseFindings / noise);
    std::printf("time: %.1f ms a log (generating and reading)\n", double(nanoseconds) / 1e6 / logs);
    return 0;
}
