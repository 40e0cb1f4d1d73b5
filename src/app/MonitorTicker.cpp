#include "app/MonitorTicker.h"

#include "app/MonitorSchedule.h"

#include <algorithm>

MonitorTicker::MonitorTicker(const MonitorSchedule& schedule, int tickIntervalMs, QObject* parent)
    : QObject(parent)
    , m_schedule(schedule)
    , m_tickMs(tickIntervalMs)
{
    m_everyTick.setInterval(m_tickMs);
    m_wake.setSingleShot(true);
    // The capture is due on one exact tick; a coarse timer could wake a whole tick late.
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_everyTick, &QTimer::timeout, this, [this] { emit ticked(1); });
    connect(&m_wake, &QTimer::timeout, this, &MonitorTicker::onWake);
}

void MonitorTicker::start(bool shown)
{
    m_active = true;
    m_shown = shown;
    if (shown)
        m_everyTick.start();
    else
        sleepUntilDue(m_tickMs);
}

void MonitorTicker::stop()
{
    m_active = false;
    m_everyTick.stop();
    m_wake.stop();
}

void MonitorTicker::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (!m_active)
        return;
    if (!shown) {
        const int firstTickMs = m_everyTick.remainingTime();
        m_everyTick.stop();
        sleepUntilDue(std::max(firstTickMs, 0));
        return;
    }
    // The ticks slept through are counted before the countdown is seen again.
    const int passed = ticksPassedAsleep();
    m_wake.stop();
    m_everyTick.start();
    if (passed > 0)
        emit ticked(passed);
}

void MonitorTicker::countRestarted()
{
    if (m_active && !m_shown)
        sleepUntilDue(m_tickMs);
}

void MonitorTicker::sleepUntilDue(int firstTickMs)
{
    m_sleepTicks = m_schedule.ticksUntilDue(longestSleepTicks);
    m_firstTickMs = firstTickMs;
    m_asleepSince.start();
    m_wake.start(firstTickMs + (m_sleepTicks - 1) * m_tickMs);
}

void MonitorTicker::onWake()
{
    emit ticked(m_sleepTicks);
    // A receiver that started a capture restarts the count when it ends; until then, or when it
    // could not count these ticks, the next sleep starts from the count as it stands.
    if (m_active && !m_shown && !m_wake.isActive())
        sleepUntilDue(m_tickMs);
}

int MonitorTicker::ticksPassedAsleep() const
{
    const qint64 asleepMs = m_asleepSince.elapsed();
    if (asleepMs < m_firstTickMs)
        return 0;
    return int(std::min<qint64>(1 + (asleepMs - m_firstTickMs) / m_tickMs, m_sleepTicks));
}
