#include "report/SpacingTracker.h"

#include <algorithm>

namespace {

constexpr std::size_t middle = SpacingTracker::windowSpacings / 2;

} // namespace

void SpacingTracker::add(qint64 previousStamp, qint64 stamp, GapList& gaps)
{
    const qint64 spacing = stamp - previousStamp;
    if (spacing < 0)
        return; // a clock set back: no pause, and no spacing worth counting
    ++m_counts[std::size_t(std::min<qint64>(spacing, qint64(m_counts.size()) - 1))];
    ++m_spacings;
    m_window.push_back({previousStamp, spacing});
    m_sorted.insert(std::upper_bound(m_sorted.begin(), m_sorted.end(), spacing), spacing);
    if (m_window.size() < windowSpacings)
        return;
    const qint64 median = m_sorted[middle];
    // The first spacings have fewer than 50 before them: the first full window judges them.
    for (std::size_t i = m_filled ? middle : 0; i <= middle; ++i)
        judge(m_window[i], median, gaps);
    m_filled = true;
    leaveWindow();
}

void SpacingTracker::leaveWindow()
{
    m_sorted.erase(std::lower_bound(m_sorted.begin(), m_sorted.end(), m_window.front().seconds));
    m_window.pop_front();
}

void SpacingTracker::finish(GapList& gaps)
{
    if (m_window.empty())
        return;
    const qint64 median = m_sorted[(m_sorted.size() - 1) / 2];
    for (std::size_t i = m_filled ? middle : 0; i < m_window.size(); ++i)
        judge(m_window[i], median, gaps);
    m_window.clear();
    m_sorted.clear();
}

void SpacingTracker::judge(const GapRecord& spacing, qint64 median, GapList& gaps)
{
    if (spacing.seconds > gapFactor * std::max<qint64>(median, 1))
        gaps.add(spacing);
}

qint64 SpacingTracker::usualSpacing() const
{
    if (m_spacings == 0)
        return 0;
    const qint64 middleSpacing = (m_spacings - 1) / 2;
    qint64 seen = 0;
    for (std::size_t spacing = 0; spacing < m_counts.size(); ++spacing) {
        seen += qint64(m_counts[spacing]);
        if (seen > middleSpacing)
            return qint64(spacing);
    }
    return qint64(m_counts.size()) - 1;
}
