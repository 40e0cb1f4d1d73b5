#pragma once

#include <QDate>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

// A simulated capture log: one capture per interval with slowly drifting values, more noise in the
// evening, occasional drops and, when asked, pauses where the program was not running; and, for the
// report's findings, patterns planted on top with the truth of what the report should count. A
// fixed seed gives the same log; patterns draw from a random stream of their own.
namespace LogSimulation {

inline constexpr int dropJitterMinutes = 15; // a planted daily drop begins this close to its minute
inline constexpr double dropDayShare = 0.8; // of the days that get the planted daily drop
inline constexpr float weekdayDropFactor = 4.0f; // planted weekdays drop this much more often

// A change of one statistic (0 Down SNR, 1 Up SNR, 2 Down Attenuation, 3 Up Attenuation).
struct Change
{
    int statistic = 0;
    double db = 0.0; // per day for a drift, at once for a step
    QDate date; // a step's first day at the new level (from its midnight)
};

struct Options
{
    int days = 30;
    QDate start = QDate(2026, 3, 1);
    int every = 60; // seconds
    unsigned seed = 7;
    bool gaps = false;
    bool joined = false; // the "DateTime" layout

    std::optional<int> dropMinute; // minute of the day around which most days get a drop
    unsigned dropWeekdays = 0; // bit 0 Monday: random drops on these weekdays only
    std::optional<Change> drift; // from the first capture on
    std::optional<Change> step;
};

struct Truth
{
    // Every drop as the report counts them with its default thresholds (SNR 6, attenuation 50): the
    // first capture that finds the line down after one that found it up.
    std::vector<qint64> dropStarts; // WallClock stamps
};

// Hands each line, with its CR LF, to `line`, the header first.
Truth write(const Options& options, const std::function<void(std::string_view)>& line);

} // namespace LogSimulation
