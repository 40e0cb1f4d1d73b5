#pragma once

#include "report/GapList.h"

#include <QtGlobal>

#include <deque>
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

    void add(qint64 previousStamp, qint64 stamp, GapList& gaps);
    // Judges the last spacings, which have fewer than 50 after them; call once, after the last add.
    void finish(GapList& gaps);

    qint64 usualSpacing() const;

private:
    static void judge(const GapRecord& spacing, qint64 median, GapList& gaps);
    void leaveWindow();

    // Spacings of up to a day to the second; longer ones share the last slot.
    std::vector<quint64> m_counts = std::vector<quint64>(86401, 0);
    qint64 m_spacings = 0;
    std::deque<GapRecord> m_window; // in log order
    std::vector<qint64> m_sorted; // the window's spacings, in order of length
    bool m_filled = false; // the window was full once, so the spacings before its middle are judged
};
