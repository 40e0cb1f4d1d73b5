#include "report/ZoneClock.h"

#include "report/WallClock.h"

#include <QDateTime>

#include <limits>

namespace {

constexpr qint64 widestOffset = qint64(14) * 3600; // no zone is further from UTC

} // namespace

ZoneClock::ZoneClock(const QTimeZone& zone)
    : m_zone(zone)
{ }

QString ZoneClock::zoneName() const
{
    return QString::fromUtf8(m_zone.id());
}

int ZoneClock::offsetAt(qint64 utcSeconds) const
{
    return m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc()));
}

// The offset of the day's midday, and the first change whose wall time falls on the day.
void ZoneClock::learnDay(qint64 day)
{
    m_dayKnown = true;
    if (day >= m_stretchFirst && day <= m_stretchLast) {
        m_day = {day, m_stretchOffset, m_stretchOffset, 0};
        return;
    }
    const qint64 noon = day * WallClock::secondsPerDay + WallClock::secondsPerDay / 2;
    m_day = {day, offsetAt(noon - offsetAt(noon)), 0, 0};
    m_day.laterOffset = m_day.offset;
    if (!m_zone.hasTransitions()) {
        m_stretchFirst = std::numeric_limits<qint64>::min();
        m_stretchLast = std::numeric_limits<qint64>::max();
        m_stretchOffset = m_day.offset;
        return;
    }
    const qint64 dayStart = day * WallClock::secondsPerDay;
    const QTimeZone::OffsetData change
        = m_zone.nextTransition(QDateTime::fromSecsSinceEpoch(dayStart - widestOffset - 1, QTimeZone::utc()));
    const qint64 changeUtc
        = change.atUtc.isValid() ? change.atUtc.toSecsSinceEpoch() : std::numeric_limits<qint64>::max() / 2;
    const int before = change.atUtc.isValid() ? offsetAt(changeUtc - 1) : m_day.offset;
    const qint64 changeWall = changeUtc + before;
    if (changeWall >= dayStart + WallClock::secondsPerDay && before == m_day.offset) {
        m_stretchLast = WallClock::dayOf(changeWall) - 1;
        learnStretch(day);
    }
    if (changeWall < dayStart || changeWall >= dayStart + WallClock::secondsPerDay || before == change.offsetFromUtc)
        return;
    m_day.offset = before;
    m_day.laterOffset = change.offsetFromUtc;
    m_day.changeAt = changeWall;
}

// The stretch runs back to the day after the change before the day; its end is known already.
void ZoneClock::learnStretch(qint64 day)
{
    const QTimeZone::OffsetData change = m_zone.previousTransition(
        QDateTime::fromSecsSinceEpoch(day * WallClock::secondsPerDay - widestOffset, QTimeZone::utc()));
    m_stretchOffset = m_day.offset;
    m_stretchFirst = change.atUtc.isValid()
        ? WallClock::dayOf(change.atUtc.toSecsSinceEpoch() + change.offsetFromUtc) + 1
        : std::numeric_limits<qint64>::min();
    if (m_stretchFirst > day)
        m_stretchLast = m_stretchFirst - 1; // no day between the changes: nothing to keep
}

qint64 ZoneClock::resolve(qint64 wallStamp)
{
    const Day& day = m_day;
    if (day.offset == day.laterOffset)
        return wallStamp - day.offset;
    if (day.laterOffset > day.offset) // clocks go forward: the skipped times count from the old offset
        return wallStamp - (wallStamp < day.changeAt + (day.laterOffset - day.offset) ? day.offset : day.laterOffset);
    const qint64 repeatFrom = day.changeAt - (day.offset - day.laterOffset);
    const bool repeated = wallStamp >= repeatFrom && wallStamp < day.changeAt;
    const bool previousRepeated = m_previousWall >= repeatFrom && m_previousWall < day.changeAt;
    m_inRepeat = repeated && previousRepeated && (m_inRepeat || wallStamp < m_previousWall);
    if (wallStamp >= day.changeAt || m_inRepeat)
        return wallStamp - day.laterOffset;
    return wallStamp - day.offset;
}

qint64 ZoneClock::elapsedOf(qint64 wallStamp)
{
    const qint64 day = WallClock::dayOf(wallStamp);
    if (!m_dayKnown || day != m_day.number) {
        learnDay(day);
        m_inRepeat = false;
    }
    const qint64 elapsed = resolve(wallStamp);
    m_previousWall = wallStamp;
    return elapsed;
}
