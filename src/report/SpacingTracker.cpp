#include "report/SpacingTracker.h"

#include <algorithm>

namespace {

// How many spacings pass between two looks at the median.
constexpr qint64 medianInterval = 4096;

} // namespace

void SpacingTracker::add(qint64 previousStamp, qint64 stamp)
{
    const qint64 spacing = stamp - previousStamp;
    if (spacing < 0)
        return; // a clock set back: no pause, and no spacing worth counting
    ++m_counts[std::size_t(std::min<qint64>(spacing, qint64(m_counts.size()) - 1))];
    ++m_spacings;
    // The median still moves, so a spacing is kept unless it is no pause even against the smallest
    // median seen so far.
    const bool possibleGap = m_lowestMedian < 0 || spacing > gapFactor * std::max<qint64>(m_lowestMedian, 1);
    if (possibleGap && m_candidates.size() < maxCandidates)
        m_candidates.push_back({previousStamp, spacing});
    if (m_spacings % medianInterval == 0)
        tightenThreshold();
}

void SpacingTracker::tightenThreshold()
{
    const qint64 median = medianSpacing();
    if (m_lowestMedian >= 0 && median >= m_lowestMedian)
        return;
    m_lowestMedian = median;
    const qint64 threshold = gapFactor * std::max<qint64>(m_lowestMedian, 1);
    std::erase_if(m_candidates, [threshold](const GapRecord& gap) { return gap.seconds <= threshold; });
}

qint64 SpacingTracker::medianSpacing() const
{
    if (m_spacings == 0)
        return 0;
    const qint64 middle = (m_spacings - 1) / 2;
    qint64 seen = 0;
    for (std::size_t spacing = 0; spacing < m_counts.size(); ++spacing) {
        seen += m_counts[spacing];
        if (seen > middle)
            return qint64(spacing);
    }
    return qint64(m_counts.size()) - 1;
}

qint64 SpacingTracker::usualSpacing() const
{
    return medianSpacing();
}

std::vector<GapRecord> SpacingTracker::gaps() const
{
    if (m_spacings == 0)
        return {};
    const qint64 threshold = gapFactor * std::max<qint64>(medianSpacing(), 1);
    std::vector<GapRecord> gaps;
    std::copy_if(m_candidates.begin(), m_candidates.end(), std::back_inserter(gaps),
        [threshold](const GapRecord& gap) { return gap.seconds > threshold; });
    return gaps;
}
