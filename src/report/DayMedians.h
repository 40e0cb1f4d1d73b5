#pragma once

#include "report/LogLine.h"

#include <QtGlobal>

#include <array>
#include <map>
#include <vector>

// The typical value of each statistic on each day: the median of the captures that found the line
// up, read from counts in tenths of a dB that are kept for the day being logged only, so memory
// grows by a few numbers a day however often the log captures.
class DayMedians
{
public:
    static constexpr qint64 minimumCaptures = 12; // up captures a day needs for its medians
    // Days kept at most: 55 years of readable days, a few megabytes, whatever the log spans.
    static constexpr std::size_t maxDays = 20000;

    struct Day
    {
        qint64 day = 0;
        qint64 captures = 0; // up captures
        std::array<float, logStatCount> medians{};
    };

    DayMedians();

    // A capture with four numbers that found the line up.
    void add(qint64 day, const std::array<float, logStatCount>& values);
    // The days with enough up captures, in date order.
    std::vector<Day> days();
    // More readable days came than are kept: the medians no longer cover the period.
    bool overflowed() const { return m_overflowed; }
    std::size_t heldDays() const { return m_closed.size(); }

private:
    void close();
    void keep(qint64 day, qint64 captures);

    std::vector<quint32> m_tenths; // of the open day, one row of slots per statistic
    qint64 m_openDay = 0;
    qint64 m_openCaptures = 0;
    bool m_open = false;
    // Days already closed; a capture that comes back to one of them (a clock set back over
    // midnight) is left out, since that day's counts are gone, and the open day stays open.
    std::map<qint64, Day> m_closed;
    bool m_overflowed = false;
};
