#pragma once

#include "report/ReportFigures.h"

#include <QtGlobal>

#include <vector>

// Finds the pauses of a log in one pass: counts the spacings between captures to know the usual
// one (the median), and keeps only the spacings above three times the smallest median seen so far,
// so memory stays small whatever the log's length.
class SpacingTracker
{
public:
    static constexpr qint64 gapFactor = 3;
    static constexpr std::size_t maxCandidates = 50000;

    void add(qint64 previousStamp, qint64 stamp);

    qint64 usualSpacing() const;
    std::vector<GapRecord> gaps() const;

private:
    qint64 medianSpacing() const;
    void tightenThreshold();

    // Spacings of up to a day to the second; longer ones share the last slot.
    std::vector<quint32> m_counts = std::vector<quint32>(86401, 0);
    qint64 m_spacings = 0;
    qint64 m_lowestMedian = -1; // the smallest median seen so far, -1 before the first check
    std::vector<GapRecord> m_candidates;
};
