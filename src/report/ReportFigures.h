#pragma once

#include "report/Finding.h"
#include "report/GapList.h"
#include "report/LogLine.h"
#include "settings/Settings.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

// The lowest and highest value of one statistic over some captures.
struct ValueRange
{
    float min = 0.0f;
    float max = 0.0f;
    bool seen = false;

    void add(float value)
    {
        if (!seen || value < min)
            min = value;
        if (!seen || value > max)
            max = value;
        seen = true;
    }
    void add(const ValueRange& other)
    {
        if (other.seen) {
            add(other.min);
            add(other.max);
        }
    }
};

using StatRanges = std::array<ValueRange, logStatCount>;

// How much of the calendar one row of the day table covers.
enum class RowSpan
{
    day,
    month,
    year
};

struct DayFigures
{
    qint64 day = 0; // WallClock day number of the row's first day
    qint64 captures = 0;
    qint64 drops = 0; // drops whose first down capture is on this day
    qint64 downSeconds = 0; // of those drops
    qint64 coveredSeconds = 0; // spacings from the row's captures with a known line state, gaps excluded
    qint64 upSeconds = 0; // of those, the ones that began with the line up
    StatRanges ranges;
};

struct DropRecord
{
    qint64 start = 0; // first down capture
    qint64 end = 0; // next up capture, or the last capture when the line never came back
    qint64 seconds = 0; // real time from start to end
    bool recovered = false;
    std::array<float, logStatCount> values{}; // at the first down capture
};

// The captures of one stretch of time on the chart, reduced to the range of each statistic.
struct ChartBucket
{
    qint64 start = 0;
    qint64 end = 0; // exclusive
    StatRanges ranges;
    bool down = false; // a capture in the stretch found the line down
};

// One SNR margin over all captures taken in one hour of the day.
struct HourFigures
{
    qint64 captures = 0;
    float min = 0.0f;
    float median = 0.0f;
    float max = 0.0f;
};

// The share of the covered time the line was up, in per cent; nothing without covered time.
inline std::optional<double> availability(qint64 upSeconds, qint64 coveredSeconds)
{
    if (coveredSeconds <= 0)
        return std::nullopt;
    return 100.0 * double(upSeconds) / double(coveredSeconds);
}

struct ReportFigures
{
    qint64 captures = 0;
    qint64 skippedLines = 0;
    qint64 first = 0;
    qint64 last = 0;
    qint64 drops = 0;
    qint64 downSeconds = 0;
    qint64 longestDropSeconds = 0;
    qint64 coveredSeconds = 0; // the rows' sums
    qint64 upSeconds = 0;
    qint64 usualSpacing = 0; // median seconds between captures
    std::vector<DayFigures> days; // in date order, one row per day, month or year
    RowSpan daySpan = RowSpan::day;
    GapList gaps; // in the order they occurred
    std::vector<DropRecord> listedDrops; // the first drops, up to a limit, in the order they occurred
    std::vector<ChartBucket> chart; // in time order
    std::array<std::array<HourFigures, 24>, 2> hours; // [Down SNR, Up SNR][hour of day]
    Findings findings;
    QString timeZone; // the zone whose rules read the log's times
    float snrThreshold = Settings().snrThreshold;
    float attThreshold = Settings().attThreshold;
};
