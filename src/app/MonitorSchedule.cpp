#include "app/MonitorSchedule.h"

#include "settings/DecimalText.h"

#include <algorithm>
#include <cmath>

std::optional<float> MonitorSchedule::intervalFrom(const QString& text)
{
    const std::optional<DecimalText::Leading> number = DecimalText::leadingNumber(text);
    if (!number)
        return std::nullopt;
    if (number->isZero)
        return 0.0f;
    const auto minutes = float(number->value);
    if (std::isfinite(minutes) && minutes > 0.0f)
        return minutes;
    return std::nullopt;
}

QString MonitorSchedule::countdownText(float minutesLeft)
{
    const double seconds = std::nearbyint(double(minutesLeft * 60.0f));
    const qint64 total = seconds > 0.0 ? qint64(std::min(seconds, 3.6e12)) : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600, 2, 10, QLatin1Char('0'))
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

void MonitorSchedule::start(float intervalMinutes, float tickMinutes)
{
    m_intervalMinutes = intervalMinutes;
    m_tickMinutes = tickMinutes;
    m_elapsedMinutes = 0.0f;
}

void MonitorSchedule::stop()
{
    m_elapsedMinutes = 0.0f;
}

bool MonitorSchedule::tick()
{
    m_elapsedMinutes = m_elapsedMinutes + m_tickMinutes;
    return !(m_elapsedMinutes < m_intervalMinutes);
}

int MonitorSchedule::ticksUntilDue(int limit) const
{
    float elapsed = m_elapsedMinutes;
    for (int ticks = 1; ticks < limit; ++ticks) {
        elapsed = elapsed + m_tickMinutes;
        if (!(elapsed < m_intervalMinutes))
            return ticks;
    }
    return limit;
}

void MonitorSchedule::addTicks(int count)
{
    for (int added = 0; added < count; ++added)
        m_elapsedMinutes = m_elapsedMinutes + m_tickMinutes;
}
