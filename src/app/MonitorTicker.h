#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class MonitorSchedule;

// Drives the monitoring schedule's ticks. While the window is shown it ticks every second, so the
// countdown moves; while nothing of it is on screen it sleeps until the tick on which the schedule
// falls due and hands over all the ticks that passed at once, so waiting in the tray costs nothing
// and the capture still comes on the same tick.
class MonitorTicker final : public QObject
{
    Q_OBJECT

public:
    // A hidden wait wakes at least this often, so a very long interval needs no long count ahead.
    static constexpr int longestSleepTicks = 3600;

    MonitorTicker(const MonitorSchedule& schedule, int tickIntervalMs, QObject* parent = nullptr);

    void start(bool shown);
    void stop();
    bool isActive() const { return m_active; }
    // The window came on screen or went off it.
    void setShown(bool shown);
    // The schedule's count changed other than by ticks (a timed capture restarted it).
    void countRestarted();

signals:
    // This many ticks have passed since the last report; the receiver counts them all.
    void ticked(int count);

private:
    void sleepUntilDue(int firstTickMs);
    void onWake();
    int ticksPassedAsleep() const;

    const MonitorSchedule& m_schedule;
    int m_tickMs;
    bool m_active = false;
    bool m_shown = false;
    QTimer m_everyTick;
    QTimer m_wake;
    QElapsedTimer m_asleepSince;
    int m_firstTickMs = 0; // from falling asleep to the first tick slept through
    int m_sleepTicks = 0; // the ticks the current sleep lasts
};
