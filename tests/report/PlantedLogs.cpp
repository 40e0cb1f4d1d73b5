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

// How far a found figure may be from the planted one.
constexpr int dropHourEdgeMinutes = 10; // each end of the window, around the planted +-15 min
constexpr double slopeShare = 0.2; // of the planted dB a day, or
constexpr double slopeFloor = 0.01; // dB a day, whichever is larger
constexpr double stepDb = 0.4; // a step's date is exact, or within its block of days
// Found weekdays are planted ones, one of them may be missing: a weekday that by chance had few
// drops in the log is honestly left out.
constexpr int missingWeekdays = 1;

qint64 dayOf(const QDate& date)
{
    return WallClock::dayOf(WallClock::stampOf(date.year(), date.month(), date.day(), 0, 0, 0));
}

// Minutes from one time of day forward to another.
int ahead(int from, int to)
{
    return ((to - from) % 1440 + 1440) % 1440;
}

QString dropHourMismatch(const Scenario& scenario, const Finding& found, const LogSimulation::Truth& truth)
{
    const int planted = *scenario.options.dropMinute;
    // The short way round midnight.
    const auto minutesBetween = [](int from, int to) { return std::min(ahead(from, to), ahead(to, from)); };
    std::set<qint64> days;
    std::set<qint64> inWindow;
    for (const qint64 start : truth.dropStarts) {
        days.insert(WallClock::dayOf(start));
        if (ahead(found.fromMinute, int(start % WallClock::secondsPerDay / 60))
            <= ahead(found.fromMinute, found.toMinute))
            inWindow.insert(WallClock::dayOf(start));
    }
    if (minutesBetween(found.fromMinute, planted - LogSimulation::dropJitterMinutes) > dropHourEdgeMinutes
        || minutesBetween(found.toMinute, planted + LogSimulation::dropJitterMinutes) > dropHourEdgeMinutes)
        return QStringLiteral("window too far from the planted one");
    if (found.days != qint64(inWindow.size()) || found.dropDays != qint64(days.size()))
        return QStringLiteral("days %1 of %2, truly %3 of %4")
            .arg(QString::number(found.days), QString::number(found.dropDays), QString::number(inWindow.size()),
                QString::number(days.size()));
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
        return QStringLiteral("weekdays %1, planted %2").arg(found.weekdays, 0, 2).arg(planted, 0, 2);
    if (found.drops != onThem || found.allDrops != qint64(truth.dropStarts.size()))
        return QStringLiteral("drops %1 of %2, truly %3 of %4")
            .arg(QString::number(found.drops), QString::number(found.allDrops), QString::number(onThem),
                QString::number(truth.dropStarts.size()));
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

} // namespace

std::vector<Scenario> plantedScenarios()
{
    std::vector<Scenario> list;
    const auto add = [&list](const char* name, FindingKind kind, int days, int every) -> LogSimulation::Options& {
        list.push_back({QString::fromUtf8(name), kind, options(days, every)});
        return list.back().options;
    };
    const QDate start = LogSimulation::Options().start;
    using enum FindingKind;
    using LogSimulation::Change;
    add("drops near 19:30 on most days", dropHour, 45, 120).dropMinute = 19 * 60 + 30;
    add("drops near 03:05 on most days, five-minute captures", dropHour, 60, 300).dropMinute = 3 * 60 + 5;
    add("drops on workdays only", weekday, 56, 120).dropWeekdays = 0b0011111;
    add("drops at weekends only", weekday, 70, 120).dropWeekdays = 0b1100000;
    add("Up SNR sinking 0.05 dB a day", trend, 60, 300).drift = Change{1, -0.05, {}};
    add("Down SNR rising 0.04 dB a day for three months", trend, 90, 300).drift = Change{0, 0.04, {}};
    add("Down Attenuation rising 0.08 dB a day", trend, 45, 300).drift = Change{2, 0.08, {}};
    add("Up SNR 3 dB lower from day 25", step, 60, 300).step = Change{1, -3.0, start.addDays(25)};
    add("Down SNR 2.5 dB higher from day 40", step, 60, 300).step = Change{0, 2.5, start.addDays(40)};
    add("Up Attenuation 2 dB higher from day 20", step, 50, 300).step = Change{3, 2.0, start.addDays(20)};
    // Read in blocks of two days.
    add("Down Attenuation 2 dB higher from day 500 of 800, hourly captures", step, 800, 3600).step
        = Change{2, 2.0, start.addDays(500)};
    return list;
}

std::vector<Scenario> noiseScenarios()
{
    std::vector<Scenario> list{{"a month", std::nullopt, options(30, 60)},
        {"two months with pauses", std::nullopt, options(60, 120)},
        {"four months of five-minute captures", std::nullopt, options(120, 300)},
        {"a year of ten-minute captures", std::nullopt, options(365, 600)}};
    list[1].options.gaps = true;
    return list;
}

LogSimulation::Options options(int days, int every)
{
    LogSimulation::Options options;
    options.days = days;
    options.every = every;
    return options;
}

QByteArray logOf(const LogSimulation::Options& options, LogSimulation::Truth* truth)
{
    QByteArray log;
    const LogSimulation::Truth planted = LogSimulation::write(
        options, [&log](std::string_view line) { log.append(line.data(), qsizetype(line.size())); });
    if (truth != nullptr)
        *truth = planted;
    return log;
}

ReportFigures figuresOf(QByteArray log)
{
    QBuffer buffer(&log);
    buffer.open(QIODevice::ReadOnly);
    ReportBuilder builder(6.0f, 50.0f);
    LogReader::read(buffer, builder);
    return builder.finish();
}

Outcome run(const Scenario& scenario, unsigned seed)
{
    LogSimulation::Options options = scenario.options;
    options.seed = seed;
    Outcome outcome;
    outcome.findings = figuresOf(logOf(options, &outcome.truth)).findings;
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
    const Finding& found = outcome.findings.list.front();
    using enum FindingKind;
    const QString wrong = found.kind == dropHour ? dropHourMismatch(scenario, found, outcome.truth)
        : found.kind == weekday                  ? weekdayMismatch(scenario, found, outcome.truth)
        : found.kind == trend                    ? trendMismatch(scenario, found)
                                                 : stepMismatch(scenario, found);
    return wrong.isEmpty() ? wrong : wrong + QStringLiteral(": ") + texts.front();
}

} // namespace PlantedLogs
