#include "LogSimulation.h"

#include "report/WallClock.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace LogSimulation {

namespace {

constexpr float snrThreshold = 6.0f;
constexpr float attThreshold = 50.0f;
constexpr float dropChance = 0.0004f; // per capture

using Values = std::array<float, 4>;

// Writes the line and gives back its values as the report reads them: to one decimal.
Values writeLine(const Options& options, qint64 stamp, const Values& values, bool missing,
    const std::function<void(std::string_view)>& line)
{
    const QByteArray iso = WallClock::isoDateTime(stamp).toLatin1();
    std::array<char, 128> text{};
    // ISO "YYYY-MM-DDTHH:MM:SS" to the log's "dd/MM/yyyy" and "HH:mm:ss".
    int length = std::snprintf(text.data(), text.size(), "%.2s/%.2s/%.4s%c%.8s", iso.constData() + 8,
        iso.constData() + 5, iso.constData(), options.joined ? ' ' : ',', iso.constData() + 11);
    Values written{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        char* field = text.data() + length + 1;
        length += missing && i == 0
            ? std::snprintf(field - 1, text.size() - std::size_t(length), ",NA")
            : std::snprintf(field - 1, text.size() - std::size_t(length), ",%.1f", double(values[i]));
        written[i] = std::strtof(field, nullptr);
    }
    length += std::snprintf(text.data() + length, text.size() - std::size_t(length), "\r\n");
    line(std::string_view(text.data(), std::size_t(length)));
    return written;
}

// The line state as the report reads it: a value written as NA keeps the previous one.
class DropCounter
{
public:
    void add(qint64 stamp, const Values& values, bool missing, Truth& truth)
    {
        if (!missing)
            m_downSnr = values[0];
        if (!m_downSnr)
            return;
        const bool up = *m_downSnr >= snrThreshold && values[1] >= snrThreshold && values[2] <= attThreshold
            && values[3] <= attThreshold;
        if (m_up == true && !up)
            truth.dropStarts.push_back(stamp);
        m_up = up;
    }

private:
    std::optional<float> m_downSnr;
    std::optional<bool> m_up;
};

// The planted patterns, drawn from their own random stream so the noise stays the same.
class Planter
{
public:
    Planter(const Options& options, qint64 first)
        : m_options(options)
        , m_first(first)
        , m_random(options.seed ^ 0x5eedu)
    {
        if (options.step)
            m_stepStamp = WallClock::stampOf(
                options.step->date.year(), options.step->date.month(), options.step->date.day(), 0, 0, 0);
    }

    // How many captures from this one on a planted drop holds the line down, 0 for none.
    int dropAt(qint64 stamp)
    {
        if (!m_options.dropMinute)
            return 0;
        const qint64 day = WallClock::dayOf(stamp);
        if (day != m_day) {
            m_day = day;
            m_pending = m_unit(m_random) < dropDayShare;
            const int offset = int(m_unit(m_random) * (2 * dropJitterMinutes + 1)) - dropJitterMinutes;
            m_dropStamp = day * WallClock::secondsPerDay + qint64(*m_options.dropMinute + offset) * 60;
            m_dropLength = 2 + int(m_unit(m_random) * 5);
        }
        if (!m_pending || stamp < m_dropStamp)
            return 0;
        m_pending = false;
        return m_dropLength;
    }

    float dropChanceAt(qint64 stamp) const
    {
        if (m_options.dropWeekdays == 0)
            return dropChance;
        const auto weekday = unsigned((WallClock::dayOf(stamp) % 7 + 7 + 3) % 7); // 1970-01-01 was a Thursday
        return (m_options.dropWeekdays >> weekday) & 1u ? dropChance * weekdayDropFactor : 0.0f;
    }

    void change(qint64 stamp, Values& values) const
    {
        if (m_options.drift)
            values[std::size_t(m_options.drift->statistic)]
                += float(m_options.drift->db * double(stamp - m_first) / double(WallClock::secondsPerDay));
        if (m_options.step && stamp >= m_stepStamp)
            values[std::size_t(m_options.step->statistic)] += float(m_options.step->db);
    }

private:
    const Options& m_options;
    qint64 m_first;
    qint64 m_stepStamp = 0;
    std::mt19937 m_random;
    std::uniform_real_distribution<float> m_unit{0.0f, 1.0f};
    qint64 m_day = -1;
    bool m_pending = false;
    qint64 m_dropStamp = 0;
    int m_dropLength = 0;
};

} // namespace

Truth write(const Options& options, const std::function<void(std::string_view)>& line)
{
    std::mt19937 random(options.seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::normal_distribution<float> jitter(0.0f, 0.25f);
    Truth truth;
    DropCounter drops;

    line(options.joined ? "DateTime,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                        : "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n");
    const qint64 first = WallClock::stampOf(options.start.year(), options.start.month(), options.start.day(), 0, 0, 0);
    const qint64 end = first + qint64(options.days) * WallClock::secondsPerDay;
    Planter planter(options, first);
    int dropLeft = 0;
    for (qint64 stamp = first; stamp < end; stamp += options.every) {
        if (options.gaps && unit(random) < 0.00015f) {
            stamp += qint64(30 + unit(random) * 240) * 60; // the program was not running
            continue;
        }
        dropLeft = std::max(dropLeft, planter.dropAt(stamp));
        if (dropLeft == 0 && unit(random) < planter.dropChanceAt(stamp))
            dropLeft = 1 + int(unit(random) * 12);
        const double dayPhase = double(WallClock::hourOf(stamp)) / 24.0 * 2.0 * M_PI;
        const float evening = float(1.2 * std::cos(dayPhase - 21.0 / 24.0 * 2.0 * M_PI)); // worst at 21:00
        const float drift = float(0.6 * std::sin(double(stamp - first) / (9.0 * 86400.0) * 2.0 * M_PI));
        Values values{8.6f + drift - evening + jitter(random), 10.9f + drift * 0.5f - evening * 0.4f + jitter(random),
            31.5f - drift * 0.2f + jitter(random) * 0.2f, 17.2f + jitter(random) * 0.2f};
        planter.change(stamp, values);
        if (dropLeft > 0) {
            values[0] = 1.5f + unit(random) * 3.5f;
            --dropLeft;
        }
        const bool missing = unit(random) < 0.0002f;
        drops.add(stamp, writeLine(options, stamp, values, missing, line), missing, truth);
    }
    return truth;
}

} // namespace LogSimulation
