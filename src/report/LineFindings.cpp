#include "report/LineFindings.h"

#include "report/FindingText.h"
#include "report/ValuePatterns.h"
#include "report/WallClock.h"

#include <algorithm>

void LineFindings::addCapture(const LogCapture& carried, bool up)
{
    const qint64 day = WallClock::dayOf(carried.stamp);
    m_drops.addCapture(
        int((carried.stamp - day * WallClock::secondsPerDay) / (qint64(DropPatterns::slotMinutes) * 60)));
    if (up)
        m_medians.add(day, carried.values);
}

void LineFindings::addDrop(qint64 start)
{
    m_drops.addDrop(start);
}

Findings LineFindings::finish(const std::vector<DayFigures>& days)
{
    Findings findings;
    const auto readable = qint64(
        std::count_if(days.begin(), days.end(), [](const DayFigures& day) { return day.captures >= capturesForADay; }));
    if (readable < fewestDays) {
        findings.note = FindingText::tooShort(readable);
        return findings;
    }
    if (m_drops.overflowed() || m_medians.overflowed()) {
        findings.note = FindingText::tooLong(DayMedians::maxDays);
        return findings;
    }
    if (std::optional<Finding> hour = m_drops.dropHour())
        findings.list.push_back(*hour);
    if (std::optional<Finding> weekday = m_drops.weekday(days))
        findings.list.push_back(*weekday);
    const std::vector<DayMedians::Day> medians = m_medians.days();
    for (int statistic = 0; statistic < logStatCount; ++statistic) {
        if (std::optional<Finding> change = ValuePatterns::read(medians, statistic))
            findings.list.push_back(*change);
    }
    for (Finding& finding : findings.list)
        finding.text = FindingText::sentence(finding);
    if (findings.list.empty())
        findings.note = FindingText::nothingStandsOut(qint64(days.size()));
    return findings;
}
