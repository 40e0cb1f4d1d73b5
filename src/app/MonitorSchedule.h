#pragma once

#include <QString>

#include <optional>

// The minute count of the monitoring timer. The minutes are summed in 32-bit floats, tick by tick,
// so sixty ticks of 1/60 minute stay just below one minute: a 1-minute interval captures on the
// 61st tick and shows a countdown of 00:00:00 for one tick. An interval of 0 makes every tick a capture.
class MonitorSchedule
{
public:
    // The monitoring timer's designed interval; one tick counts this many milliseconds as minutes.
    static constexpr int designedTickMs = 1000;
    static constexpr float tickMinutesFor(int intervalMs) { return float(intervalMs) / 60000.0f; }

    // The interval the text asks for: the number at its start, with a point or a comma before the
    // fraction. Nothing when that gives no interval above 0, unless the user wrote 0 itself: an empty
    // box or a slip of the keyboard must not poll the router every second.
    static std::optional<float> intervalFrom(const QString& text);

    // "hh:nn:ss" for a number of seconds; never negative, and hours grow past two digits as needed.
    static QString countdownText(float minutesLeft);

    void start(float intervalMinutes, float tickMinutes);
    void stop();

    // Adds one tick and tells whether a timed capture is due now.
    bool tick();
    // How many ticks from now the capture falls due, counted with the same float sums tick()
    // makes, so a timer set for that many ticks captures on the very tick the per-tick count
    // would; limit when it is not due within limit ticks (or never, once the sum stops growing).
    int ticksUntilDue(int limit) const;
    // Adds ticks that came without a capture falling due, as tick() would one by one.
    void addTicks(int count);
    // Starts the count again after a timed capture.
    void restartCount() { m_elapsedMinutes = 0.0f; }

    float elapsedMinutes() const { return m_elapsedMinutes; }
    float intervalMinutes() const { return m_intervalMinutes; }
    float minutesLeft() const { return m_intervalMinutes - m_elapsedMinutes; }

private:
    float m_elapsedMinutes = 0.0f;
    float m_intervalMinutes = 0.0f;
    float m_tickMinutes = 0.0f;
};
