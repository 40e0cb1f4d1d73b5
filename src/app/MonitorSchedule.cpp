#include "app/MonitorSchedule.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

float MonitorSchedule::leadingNumber(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return 0.0f;
    const float value = match.captured(1).toFloat();
    return std::isfinite(value) ? value : 0.0f;
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
