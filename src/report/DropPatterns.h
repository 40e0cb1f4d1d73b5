#pragma once

#include "report/Finding.h"
#include "report/ReportFigures.h"

#include <QtGlobal>

#include <array>
#include <bitset>
#include <map>
#include <optional>
#include <utility>
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
    static constexpr double quietShare = 0.5; // the other days have drops at most half as often
    static constexpr qint64 fewestDays = 5; // days a pattern needs before it can be one
    static constexpr double significance = 0.01; // for all windows, or all weekday sets, together

    // A capture in the given ten minutes of the day.
    void addCapture(int slot) { ++m_captures[std::size_t(slot)]; }
    void addDrop(qint64 stamp);
    // More days with a drop came than are kept: the drop patterns no longer cover the period.
    bool overflowed() const { return m_overflowed; }
    std::size_t heldDays() const { return m_dropDays.size(); }

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

    // What chance is weighed with: each drop day's slots, and how many days had how many drops.
    struct ChanceBase
    {
        std::vector<SlotSet> days;
        std::vector<std::pair<qint64, qint64>> daysByDrops;
        qint64 captures = 0;
    };

    ChanceBase chanceBase() const;
    static double pOf(const ChanceBase& base, qint64 exposed, qint64 days);
    Window strongestWindow() const;
    Finding narrowed(const Window& window) const;

    std::array<qint64, daySlots> m_captures{}; // captures per ten minutes of the day
    std::array<qint64, std::size_t(24) * 60> m_dropsByMinute{};
    std::map<qint64, DropDay> m_dropDays;
    bool m_overflowed = false;
};
