#include "report/SpacingTracker.h"

#include <algorithm>

namespace {

constexpr std::size_t middle = SpacingTracker::windowSpacings / 2;

} // namespace

void SpacingTracker::add(const GapRecord& record, GapList& gaps)
{
    const qint64 spacing = record.seconds;
    if (spacing < 0)
        return; // a clock set back: no pause, and no spacing worth counting
    ++m_counts[std::size_t(std::min<qint64>(spacing, qint64(m_counts.size()) - 1))];
    ++m_spacings;
    if (m_sorted.size() < windowSpacings) {
        m_window[m_sorted.size()] = record;
        m_sorted.insert(std::upper_bound(m_sorted.begin(), m_sorted.end(), spacing), spacing);
        // The first spacings have fewer than 50 before them: the first full window judges them.
        if (m_sorted.size() == windowSpacings) {
            for (std::size_t i = 0; i <= middle; ++i)
                judge(m_window[i], m_sorted[middle], gaps);
        }
        return;
    }
    replaceSorted(m_window[m_oldest].seconds, spacing);
    m_window[m_oldest] = record;
    m_oldest = m_oldest + 1 < windowSpacings ? m_oldest + 1 : 0;
    judge(inWindow(middle), m_sorted[middle], gaps);
}

const GapRecord& SpacingTracker::inWindow(std::size_t index) const
{
    const std::size_t at = m_oldest + index;
    return m_window[at < windowSpacings ? at : at - windowSpacings];
}

// Keeps the window's spacings in order as one leaves and one comes; a log at a steady pace moves
// nothing.
void SpacingTracker::replaceSorted(qint64 leaving, qint64 coming)
{
    const auto at = std::lower_bound(m_sorted.begin(), m_sorted.end(), leaving);
    if (coming > leaving) {
        const auto end = std::lower_bound(at + 1, m_sorted.end(), coming);
        std::move(at + 1, end, at);
        *(end - 1) = coming;
    } else if (coming < leaving) {
        const auto start = std::upper_bound(m_sorted.begin(), at, coming);
        std::move_backward(start, at, at + 1);
        *start = coming;
    }
}

void SpacingTracker::finish(GapList& gaps)
{
    if (m_sorted.empty())
        return;
    const bool full = m_sorted.size() == windowSpacings;
    const qint64 median = m_sorted[(m_sorted.size() - 1) / 2];
    for (std::size_t i = full ? middle + 1 : 0; i < m_sorted.size(); ++i)
        judge(inWindow(i), median, gaps);
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
