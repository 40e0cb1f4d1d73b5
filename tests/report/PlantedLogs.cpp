#include "PlantedLogs.h"

#include "report/LogReader.h"
#include "report/ReportBuilder.h"
#include "report/ValuePatterns.h"
#include "report/WallClock.h"

#include <QBuffer>
#include <QStringList>

#include <bit>
#include <cmath>
#include <set>

namespace PlantedLogs {

namespace {

constexpr unsigned workdays = 0b0011111; // Monday to Friday
constexpr unsigned weekend = 0b1100000;

LogSimulation::Options options(int days, int every)
{
    LogSimulation::Options options;
    options.days = days;
    options.every = every;
    return options;
}

Scenario withHour(const QString& name, int days, int every, int minute)
{
    Scenario scenario{name, FindingKind::dropHour, options(days, every)};
    scenario.options.dropMinute = minute;
    return scenario;
}

Scenario withWeekdays(const QString& name, int days, unsigned weekdays)
{
    Scenario scenario{name, FindingKind::weekday, options(days, 120)};
    scenario.options.dropWeekdays = weekdays;
    return scenario;
}

Scenario withDrift(const QString& name, int days, int statistic, double dbPerDay)
{
    Scenario scenario{name, FindingKind::trend, options(days, 300)};
    scenario.options.drift = LogSimulation::Change{statistic, dbPerDay, {}};
    return scenario;
}

Scenario withStep(const QString& name, int days, int statistic, double db, int onDay, int every = 300)
{
    Scenario scenario{name, FindingKind::step, options(days, every)};
    scenario.options.step = LogSimulation::Change{statistic, db, scenario.options.start.addDays(onDay)};
    return scenario;
}

qint64 dayOf(const QDate& date)
{
    return WallClock::dayOf(WallClock::stampOf(date.year(), date.month(), date.day(), 0, 0, 0));
}

int minuteOf(qint64 stamp)
{
    return int((stamp - WallClock::dayOf(stamp) * WallClock::secondsPerDay) / 60);
}

// Minutes from one time of day to another, the short way round midnight.
int minutesBetween(int from, int to)
{
    const int ahead = ((to - from) % 1440 + 1440) % 1440;
    return std::min(ahead, 1440 - ahead);
}

bool within(int minute, int from, int to)
{
    return ((minute - from) % 1440 + 1440) % 1440 <= ((to - from) % 1440 + 1440) % 1440;
}

QString dropHourMismatch(const Scenario& scenario, const Finding& found, const LogSimulation::Truth& truth)
{
    const int planted = *scenario.options.dropMinute;
    std::set<qint64> days;
    std::set<qint64> inWindow;
    for (const qint64 start : truth.dropStarts) {
        days.insert(WallClock::dayOf(start));
        if (within(minuteOf(start), found.fromMinute, found.toMinute))
            inWindow.insert(WallClock::dayOf(start));
    }
    if (minutesBetween(found.fromMinute, planted - LogSimulation::dropJitterMinutes) > dropHourEdgeMinutes
        || minutesBetween(found.toMinute, planted + LogSimulation::dropJitterMinutes) > dropHourEdgeMinutes)
        return QStringLiteral("window too far from the planted one");
    if (found.days != qint64(inWindow.size()) || found.dropDays != qint64(days.size()))
        return QStringLiteral("days %1 of %2, truly %3 of %4")
            .arg(found.days)
            .arg(found.dropDays)
            .arg(inWindow.size())
            .arg(days.size());
    return {};
}

QString weekdayMismatch(const Scenario& scenario, const Finding& found, const LogSimulation::Truth& truth)
{
    qint64 onThem = 0;
    for (const qint64 start : truth.dropStarts) {
        const auto weekday = unsigned((WallClock::dayOf(start) % 7 + 7 + 3) % 7);
        onThem += (found.weekdays >> weekday) & 1u ? 1 : 0;
    }
    const unsigned planted = scenario.options.dropWeekdays;
    if ((found.weekdays & ~planted) != 0 || std::popcount(planted & ~found.weekdays) > missingWeekdays)
        return QStringLiteral("weekdays %1, planted %2")
            .arg(found.weekdays, 0, 2)
            .arg(scenario.options.dropWeekdays, 0, 2);
    if (found.drops != onThem || found.allDrops != qint64(truth.dropStarts.size()))
        return QStringLiteral("drops %1 of %2, truly %3 of %4")
            .arg(found.drops)
            .arg(found.allDrops)
            .arg(onThem)
            .arg(truth.dropStarts.size());
    return {};
}

QString trendMismatch(const Scenario& scenario, const Finding& found)
{
    const LogSimulation::Change& drift = *scenario.options.drift;
    const qint64 first = dayOf(scenario.options.start);
    if (found.statistic != drift.statistic || found.fromDay != first
        || found.toDay != first + scenario.options.days - 1)
        return QStringLiteral("statistic or days wrong");
    if (std::abs(found.dbPerDay - drift.db) > std::max(slopeFloor, slopeShare * std::abs(drift.db)))
        return QStringLiteral("%1 dB a day, planted %2").arg(found.dbPerDay).arg(drift.db);
    return {};
}

QString stepMismatch(const Scenario& scenario, const Finding& found)
{
    const LogSimulation::Change& step = *scenario.options.step;
    // Read in blocks of days, a step is dated to the first day of its block.
    const qint64 block
        = (scenario.options.days + qint64(ValuePatterns::mostPoints) - 1) / qint64(ValuePatterns::mostPoints);
    const qint64 early = dayOf(step.date) - found.day;
    if (found.statistic != step.statistic || early < 0 || early >= block)
        return QStringLiteral("statistic or day wrong: %1").arg(WallClock::isoDate(found.day));
    if (std::abs(found.db - step.db) > stepDb)
        return QStringLiteral("%1 dB, planted %2").arg(found.db).arg(step.db);
    return {};
}

QString figuresMismatch(const Scenario& scenario, const Finding& found, const LogSimulation::Truth& truth)
{
    switch (found.kind) {
    case FindingKind::dropHour:
        return dropHourMismatch(scenario, found, truth);
    case FindingKind::weekday:
        return weekdayMismatch(scenario, found, truth);
    case FindingKind::trend:
        return trendMismatch(scenario, found);
    case FindingKind::step:
        return stepMismatch(scenario, found);
    }
    return {};
}

} // namespace

std::vector<Scenario> plantedScenarios()
{
    return {
        withHour(QStringLiteral("drops near 19:30 on most days"), 45, 120, 19 * 60 + 30),
        withHour(QStringLiteral("drops near 03:05 on most days, five-minute captures"), 60, 300, 3 * 60 + 5),
        withWeekdays(QStringLiteral("drops on workdays only"), 56, workdays),
        withWeekdays(QStringLiteral("drops at weekends only"), 70, weekend),
        withDrift(QStringLiteral("Up SNR sinking 0.05 dB a day"), 60, 1, -0.05),
        withDrift(QStringLiteral("Down SNR rising 0.04 dB a day for three months"), 90, 0, 0.04),
        withDrift(QStringLiteral("Down Attenuation rising 0.08 dB a day"), 45, 2, 0.08),
        withStep(QStringLiteral("Up SNR 3 dB lower from day 25"), 60, 1, -3.0, 25),
        withStep(QStringLiteral("Down SNR 2.5 dB higher from day 40"), 60, 0, 2.5, 40),
        withStep(QStringLiteral("Up Attenuation 2 dB higher from day 20"), 50, 3, 2.0, 20),
        // Read in blocks of two days.
        withStep(QStringLiteral("Down Attenuation 2 dB higher from day 500 of 800, hourly captures"), 800, 2, 2.0, 500,
            3600),
    };
}

std::vector<Scenario> noiseScenarios()
{
    Scenario paused{QStringLiteral("two months with pauses"), std::nullopt, options(60, 120)};
    paused.options.gaps = true;
    return {
        {QStringLiteral("a month"), std::nullopt, options(30, 60)},
        paused,
        {QStringLiteral("four months of five-minute captures"), std::nullopt, options(120, 300)},
        {QStringLiteral("a year of ten-minute captures"), std::nullopt, options(365, 600)},
    };
}

Outcome run(const Scenario& scenario, unsigned seed)
{
    LogSimulation::Options options = scenario.options;
    options.seed = seed;
    QByteArray log;
    Outcome outcome;
    outcome.truth = LogSimulation::write(
        options, [&log](std::string_view line) { log.append(line.data(), qsizetype(line.size())); });
    QBuffer buffer(&log);
    buffer.open(QIODevice::ReadOnly);
    ReportBuilder builder(6.0f, 50.0f);
    LogReader::read(buffer, builder);
    outcome.findings = builder.finish().findings;
    return outcome;
}

QString mismatch(const Scenario& scenario, const Outcome& outcome)
{
    QStringList texts;
    for (const Finding& finding : outcome.findings.list)
        texts << finding.text;
    if (!scenario.planted)
        return texts.isEmpty() ? QString() : QStringLiteral("found in noise: ") + texts.join(u' ');
    if (outcome.findings.list.size() != 1 || outcome.findings.list.front().kind != *scenario.planted)
        return QStringLiteral("not the planted finding alone: ")
            + (texts.isEmpty() ? outcome.findings.note : texts.join(u' '));
    const QString wrong = figuresMismatch(scenario, outcome.findings.list.front(), outcome.truth);
    return wrong.isEmpty() ? wrong : wrong + QStringLiteral(": ") + texts.front();
}

} // namespace PlantedLogs
