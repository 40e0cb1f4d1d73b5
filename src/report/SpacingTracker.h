#pragma once

#include "report/GapList.h"

#include <QtGlobal>

#include <array>
#include <vector>

// Finds the pauses of a log in one pass. A spacing between captures is a pause when it is more than
// three times the median of the spacings around it (a window centred on it), so the usual spacing
// follows a change of capture interval and a step from one interval to the next is no pause. The
// median over the whole log, the one the summary shows, comes from a count of the spacings.
// Memory is fixed whatever the log's length.
class SpacingTracker
{
public:
    static constexpr qint64 gapFactor = 3;
    static constexpr std::size_t windowSpacings = 101; // the spacing judged, and 50 on either side

    // One spacing between captures, its length in real seconds.
    void add(const GapRecord& spacing, GapList& gaps);
    // Judges the last spacings, which have fewer than 50 after them; call once, after the last add.
    void finish(GapList& gaps);

    qint64 usualSpacing() const;

private:
    static void judge(const GapRecord& spacing, qint64 median, GapList& gaps);
    const GapRecord& inWindow(std::size_t index) const;
    void replaceSorted(qint64 leaving, qint64 coming);

    // Spacings of up to a day to the second; longer ones share the last slot.
    std::vector<quint64> m_counts = std::vector<quint64>(86401, 0);
    qint64 m_spacings = 0;
    std::array<GapRecord, windowSpacings> m_window{}; // a ring: the last spacings in log order
    std::size_t m_oldest = 0; // where the ring starts once it is full
    std::vector<qint64> m_sorted; // the window's spacings, in order of length
};
