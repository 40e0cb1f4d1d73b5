#include "report/WallClock.h"

namespace WallClock {

namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

// Days since 1970-01-01 in the proleptic Gregorian calendar.
qint64 daysFromCivil(int year, int month, int day)
{
    const qint64 y = month <= 2 ? year - 1 : year;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate
{
    qint64 year;
    int month;
    int day;
};

CivilDate civilFromDays(qint64 days)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

QString twoDigits(qint64 number)
{
    return QString::number(number).rightJustified(2, u'0');
}

} // namespace

bool isValidDate(int year, int month, int day)
{
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

qint64 stampOf(int year, int month, int day, int hour, int minute, int second)
{
    return daysFromCivil(year, month, day) * secondsPerDay + qint64(hour) * 3600 + qint64(minute) * 60 + second;
}

qint64 dayOf(qint64 stamp)
{
    return stamp >= 0 ? stamp / secondsPerDay : -((-stamp + secondsPerDay - 1) / secondsPerDay);
}

int hourOf(qint64 stamp)
{
    return int((stamp - dayOf(stamp) * secondsPerDay) / 3600);
}

qint64 firstDayOfMonth(qint64 day)
{
    const CivilDate date = civilFromDays(day);
    return day - date.day + 1;
}

qint64 firstDayOfYear(qint64 day)
{
    const CivilDate date = civilFromDays(day);
    return daysFromCivil(int(date.year), 1, 1);
}

QString isoDate(qint64 day)
{
    const CivilDate date = civilFromDays(day);
    return QString::number(date.year).rightJustified(4, u'0') + u'-' + twoDigits(date.month) + u'-'
        + twoDigits(date.day);
}

QString isoDateTime(qint64 stamp)
{
    const qint64 second = stamp - dayOf(stamp) * secondsPerDay;
    return isoDate(dayOf(stamp)) + u'T' + twoDigits(second / 3600) + u':' + twoDigits(second / 60 % 60) + u':'
        + twoDigits(second % 60);
}

QString durationText(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(twoDigits(seconds % 60));
    if (seconds < secondsPerDay)
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(twoDigits(seconds / 60 % 60));
    return QStringLiteral("%1 d %2 h").arg(seconds / secondsPerDay).arg(twoDigits(seconds / 3600 % 24));
}

} // namespace WallClock
