#pragma once

#include <QString>
#include <QtGlobal>

// Times as the log writes them: local wall-clock date and time without a zone, held as seconds
// since 1970-01-01 00:00:00 of that same wall clock so day and hour arithmetic never depends on the
// zone of the machine that reads the log.
namespace WallClock {

constexpr qint64 secondsPerDay = 86400;

// False for dates that do not exist (31/04, 29/02 of a common year, month 13, year 0).
bool isValidDate(int year, int month, int day);

// The stamp of a valid date and time; the caller checks validity first.
qint64 stampOf(int year, int month, int day, int hour, int minute, int second);

qint64 dayOf(qint64 stamp);
int hourOf(qint64 stamp);

// The first day of the month, and of the year, that a day number falls in.
qint64 firstDayOfMonth(qint64 day);
qint64 firstDayOfYear(qint64 day);

// YYYY-MM-DD of a day number.
QString isoDate(qint64 day);

// YYYY-MM-DDTHH:MM:SS of a stamp.
QString isoDateTime(qint64 stamp);

// A length such as "45 s", "12 min 05 s", "3 h 07 min" or "2 d 04 h".
QString durationText(qint64 seconds);

} // namespace WallClock
