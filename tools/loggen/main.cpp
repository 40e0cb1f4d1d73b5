// Writes a simulated CSV capture log to standard output, for the report's benchmark and pictures:
// one capture per interval with slowly drifting values, more noise in the evening, occasional drops
// and, when asked, pauses where the program was not running. A fixed seed gives the same log.
//
//   linegauge-loggen [--days N] [--start YYYY-MM-DD] [--every SECONDS] [--seed N] [--gaps] [--joined]

#include "report/WallClock.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <random>

namespace {

struct Options
{
    int days = 30;
    QDate start = QDate(2026, 3, 1);
    int every = 60;
    unsigned seed = 7;
    bool gaps = false;
    bool joined = false;
};

bool parse(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (name == QLatin1String("--gaps"))
            options.gaps = true;
        else if (name == QLatin1String("--joined"))
            options.joined = true;
        else if (name == QLatin1String("--days") && hasValue)
            options.days = arguments[++i].toInt();
        else if (name == QLatin1String("--every") && hasValue)
            options.every = arguments[++i].toInt();
        else if (name == QLatin1String("--seed") && hasValue)
            options.seed = arguments[++i].toUInt();
        else if (name == QLatin1String("--start") && hasValue)
            options.start = QDate::fromString(arguments[++i], Qt::ISODate);
        else
            return false;
    }
    return options.days > 0 && options.every > 0 && options.start.isValid();
}

void writeLine(const Options& options, qint64 stamp, const float (&values)[4], bool missing)
{
    const QString text = WallClock::isoDateTime(stamp);
    const QByteArray iso = text.toLatin1();
    // ISO "YYYY-MM-DDTHH:MM:SS" to the log's "dd/MM/yyyy" and "HH:mm:ss".
    std::printf("%.2s/%.2s/%.4s%c%.8s,", iso.constData() + 8, iso.constData() + 5, iso.constData(),
        options.joined ? ' ' : ',', iso.constData() + 11);
    if (missing)
        std::printf("NA,%.1f,%.1f,%.1f\r\n", double(values[1]), double(values[2]), double(values[3]));
    else
        std::printf(
            "%.1f,%.1f,%.1f,%.1f\r\n", double(values[0]), double(values[1]), double(values[2]), double(values[3]));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    Options options;
    if (!parse(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr,
            "usage: linegauge-loggen [--days N] [--start YYYY-MM-DD] [--every SECONDS] "
            "[--seed N] [--gaps] [--joined]\n");
        return 2;
    }
    std::mt19937 random(options.seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::normal_distribution<float> jitter(0.0f, 0.25f);

    std::printf(options.joined ? "DateTime,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                               : "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n");
    const qint64 first = WallClock::stampOf(options.start.year(), options.start.month(), options.start.day(), 0, 0, 0);
    const qint64 end = first + qint64(options.days) * WallClock::secondsPerDay;
    int dropLeft = 0;
    for (qint64 stamp = first; stamp < end; stamp += options.every) {
        if (options.gaps && unit(random) < 0.00015f) {
            stamp += qint64(30 + unit(random) * 240) * 60; // the program was not running
            continue;
        }
        if (dropLeft == 0 && unit(random) < 0.0004f)
            dropLeft = 1 + int(unit(random) * 12);
        const double dayPhase = double(WallClock::hourOf(stamp)) / 24.0 * 2.0 * M_PI;
        const float evening = float(1.2 * std::cos(dayPhase - 21.0 / 24.0 * 2.0 * M_PI)); // worst at 21:00
        const float drift = float(0.6 * std::sin(double(stamp - first) / (9.0 * 86400.0) * 2.0 * M_PI));
        float values[4]
            = {8.6f + drift - evening + jitter(random), 10.9f + drift * 0.5f - evening * 0.4f + jitter(random),
                31.5f - drift * 0.2f + jitter(random) * 0.2f, 17.2f + jitter(random) * 0.2f};
        if (dropLeft > 0) {
            values[0] = 1.5f + unit(random) * 3.5f;
            --dropLeft;
        }
        writeLine(options, stamp, values, unit(random) < 0.0002f);
    }
    return 0;
}
