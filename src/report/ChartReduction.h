#pragma once

#include "report/ReportFigures.h"

#include <QtGlobal>

#include <map>
#include <vector>

// Reduces any number of captures to at most a fixed number of stretches of equal length, each
// keeping the lowest and highest value of every statistic, so a single low capture survives on a
// chart of a year. The stretches double in length whenever the captures outgrow them.
class ChartReduction
{
public:
    explicit ChartReduction(std::size_t maxBuckets = 4096);

    void add(qint64 stamp, const LogCapture& capture, bool down);
    std::vector<ChartBucket> buckets() const;

private:
    struct Slot
    {
        StatRanges ranges;
        bool down = false;
    };

    static qint64 floorDivide(qint64 value, qint64 divisor);
    void widenToHold(qint64 index);

    std::size_t m_maxBuckets;
    bool m_started = false;
    qint64 m_origin = 0;
    qint64 m_width = 1; // seconds per stretch
    std::map<qint64, Slot> m_slots; // by stretch number from the origin
    std::map<qint64, Slot>::iterator m_last = m_slots.end();
};
