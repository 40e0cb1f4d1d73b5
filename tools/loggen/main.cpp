// Writes a simulated CSV capture log to standard output, for the report's benchmarks, tests and
// pictures: one capture per interval with slowly drifting values, more noise in the evening,
// occasional drops and, when asked, pauses where the program was not running, and patterns planted
// for the report's findings. A fixed seed gives the same log.
//
//   linegauge-loggen [--days N] [--start YYYY-MM-DD] [--every SECONDS] [--seed N] [--gaps] [--joined]
//                    [--plant-hour HH:MM] [--plant-weekdays Mon,Tue,...]
//                    [--plant-drift STAT:DB_PER_DAY] [--plant-step STAT:YYYY-MM-DD:DB]
//   STAT: down-snr, up-snr, down-att or up-att

#include "LogSimulation.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTime>

#include <cstdio>

namespace {

const QStringList statisticKeys{"down-snr", "up-snr", "down-att", "up-att"};
const QStringList weekdayKeys{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// "STAT:DB" for a drift, "STAT:YYYY-MM-DD:DB" for a step.
std::optional<LogSimulation::Change> changeOf(const QString& text, bool dated)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != (dated ? 3 : 2) || !statisticKeys.contains(parts[0]))
        return std::nullopt;
    LogSimulation::Change change;
    change.statistic = int(statisticKeys.indexOf(parts[0]));
    bool number = false;
    change.db = parts.last().toDouble(&number);
    if (dated)
        change.date = QDate::fromString(parts[1], Qt::ISODate);
    if (!number || (dated && !change.date.isValid()))
        return std::nullopt;
    return change;
}

unsigned weekdaysOf(const QString& text)
{
    unsigned weekdays = 0;
    for (const QString& name : text.split(u',')) {
        if (!weekdayKeys.contains(name))
            return 0;
        weekdays |= 1u << weekdayKeys.indexOf(name);
    }
    return weekdays;
}

bool parsePlant(const QString& name, const QString& value, LogSimulation::Options& options)
{
    if (name == QLatin1String("--plant-hour")) {
        const QTime time = QTime::fromString(value, QStringLiteral("HH:mm"));
        if (time.isValid())
            options.dropMinute = time.hour() * 60 + time.minute();
        return time.isValid();
    }
    if (name == QLatin1String("--plant-weekdays"))
        return (options.dropWeekdays = weekdaysOf(value)) != 0;
    if (name == QLatin1String("--plant-drift"))
        return (options.drift = changeOf(value, false)).has_value();
    if (name == QLatin1String("--plant-step"))
        return (options.step = changeOf(value, true)).has_value();
    return false;
}

bool parseValue(const QString& name, const QString& value, LogSimulation::Options& options)
{
    if (name == QLatin1String("--days"))
        options.days = value.toInt();
    else if (name == QLatin1String("--every"))
        options.every = value.toInt();
    else if (name == QLatin1String("--seed"))
        options.seed = value.toUInt();
    else if (name == QLatin1String("--start"))
        options.start = QDate::fromString(value, Qt::ISODate);
    else
        return parsePlant(name, value, options);
    return true;
}

bool parse(const QStringList& arguments, LogSimulation::Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (name == QLatin1String("--gaps"))
            options.gaps = true;
        else if (name == QLatin1String("--joined"))
            options.joined = true;
        else if (i + 1 >= arguments.size() || !parseValue(name, arguments[i + 1], options))
            return false;
        else
            ++i;
    }
    return options.days > 0 && options.every > 0 && options.start.isValid();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    LogSimulation::Options options;
    if (!parse(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr,
            "usage: linegauge-loggen [--days N] [--start YYYY-MM-DD] [--every SECONDS] [--seed N] [--gaps] "
            "[--joined]\n"
            "                        [--plant-hour HH:MM] [--plant-weekdays Mon,Tue,...]\n"
            "                        [--plant-drift STAT:DB_PER_DAY] [--plant-step STAT:YYYY-MM-DD:DB]\n"
            "  STAT: down-snr, up-snr, down-att or up-att\n");
        return 2;
    }
    LogSimulation::write(options, [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stdout); });
    return 0;
}
