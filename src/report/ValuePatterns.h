#pragma once

#include "report/DayMedians.h"
#include "report/Finding.h"

#include <optional>
#include <vector>

// Reads a steady drift or a sudden lasting step from the typical value of each day (the day's
// median of up captures), by ranks: a statistic counts only when its change is unlikely by chance,
// at least `smallestChange` dB, and three times the days' own scatter around it.
namespace ValuePatterns {

inline constexpr std::size_t fewestDays = 14; // days with a median before a statistic is read
inline constexpr std::size_t fewestDaysEachSide = 5; // a step must have lasted, and had a before
inline constexpr std::size_t mostPoints = 730; // longer logs are read in blocks of days
inline constexpr double smallestChange = 1.5; // dB
inline constexpr double scatterFactor = 3.0;
// Two-sided chance of 0.01 shared by the four statistics: |score| of at least 3.02.
inline constexpr double trendScore = 3.0233;
inline constexpr double stepChance = 0.0025;
inline constexpr std::size_t suddenDays = 3; // days each side of a step that must show most of it

// The finding of one statistic (0 to 3), if any.
std::optional<Finding> read(const std::vector<DayMedians::Day>& days, int statistic);

} // namespace ValuePatterns
