#include "stats/NumberFormat.h"

#include <QDateTime>

#include <cmath>

QString NumberFormat::labelForm(float value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QString::number(double(value));
    // The float's exact value decides; only true halves (such as 6.25) round away from zero.
    double tenths = std::round(double(value) * 10.0);
    if (tenths == 0.0)
        tenths = 0.0; // drops the sign of a negative zero
    return withDecimalPoint(QString::number(tenths / 10.0, 'f', 1), locale);
}

QString NumberFormat::tooltipForm(float value, const QLocale& locale)
{
    return withDecimalPoint(QString::number(double(value), 'G', 7), locale);
}

QString NumberFormat::dropTime(const QDateTime& time, const QLocale& locale)
{
    const QString weekday = locale.dayName(time.date().dayOfWeek(), QLocale::ShortFormat);
    return weekday + QLatin1Char(' ') + time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString NumberFormat::withDecimalPoint(QString text, const QLocale& locale)
{
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}
