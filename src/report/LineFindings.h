#pragma once

#include "report/DayMedians.h"
#include "report/DropPatterns.h"
#include "report/Finding.h"
#include "report/ReportFigures.h"

#include <vector>

// Reads the patterns of a log in the report's one pass: when drops come in the day and the week,
// and whether a statistic drifts or steps. A log with too few days says so instead of guessing.
class LineFindings
{
public:
    static constexpr qint64 capturesForADay = 12; // captures that make a day worth reading
    static constexpr qint64 fewestDays = 14; // such days before the report reads any pattern

    // A counted capture with its carried values; up only when its line state is known and up.
    void addCapture(const LogCapture& carried, bool up);
    void addDrop(qint64 start);
    // Days held for the patterns: the days with a drop and the days with medians.
    std::size_t heldDays() const { return m_drops.heldDays() + m_medians.heldDays(); }

    // days: the report's days of the period, in date order.
    Findings finish(const std::vector<DayFigures>& days);

private:
    DropPatterns m_drops;
    DayMedians m_medians;
};
