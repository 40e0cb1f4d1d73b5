#pragma once

#include "report/Finding.h"
#include "report/ReportFigures.h"

#include <QtGlobal>

#include <array>
#include <bitset>
#include <map>
#include <optional>
#include <vector>

// When in the day and in the week the drops come, weighed against when the log was capturing: a
// cluster or a weekday share counts only when chance would give it less than once in a hundred
// logs, all the windows and weekday sets tried taken together. Memory: fixed counts per ten minutes
// of the day and per minute, and one set of ten-minute slots per day with a drop.
class DropPatterns
{
public:
    static constexpr int slotMinutes = 10;
    static constexpr int daySlots = 24 * 60 / slotMinutes;
    static constexpr int widestSlots = 120 / slotMinutes; // a cluster spans at most two hours
    static constexpr int mostWeekdays = 5; // "keeps to some days" leaves at least two out
    static constexpr qint64 fewestDays = 5; // days a pattern needs before it can be one
    static constexpr double chance = 0.01; // for all windows, or all weekday sets, together

    void addCapture(qint64 stamp);
    void addDrop(qint64 stamp);

    std::optional<Finding> dropHour() const;
    // days: the report's days, for how many of each weekday the log covers.
    std::optional<Finding> weekday(const std::vector<DayFigures>& days) const;

private:
    using SlotSet = std::bitset<daySlots>;
    struct Window
    {
        int first = 0; // slot
        int width = 0; // slots
        qint64 days = 0;
        double p = 1.0;
    };

    struct DropDay
    {
        SlotSet startSlots;
        qint64 drops = 0;
    };

    Window strongestWindow() const;
    Window windowAt(int first, int width) const;
    Finding narrowed(const Window& window) const;

    std::array<qint64, daySlots> m_captures{}; // captures per ten minutes of the day
    std::array<qint64, 24 * 60> m_dropsByMinute{};
    std::map<qint64, DropDay> m_dropDays;
};
