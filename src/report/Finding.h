#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

enum class FindingKind
{
    dropHour, // drops cluster at one time of day
    weekday, // drops keep to some days of the week
    trend, // a statistic drifts steadily
    step // a statistic changed suddenly and stayed
};

// One pattern the report read from the log, with the figures behind it and the sentence that says
// it. Only the figures of its kind are set.
struct Finding
{
    FindingKind kind = FindingKind::dropHour;
    QString text;

    // dropHour: the narrowest stretch of the day, in minutes after midnight, that holds the cluster
    // (both ends are minutes in which a drop began; it may run across midnight), the days with a drop
    // in it and the days with any drop.
    int fromMinute = 0;
    int toMinute = 0;
    qint64 days = 0;
    qint64 dropDays = 0;

    // weekday: the days of the week (bit 0 Monday), the drops on them and all drops, and how many
    // of the days logged fall on them.
    unsigned weekdays = 0;
    qint64 drops = 0;
    qint64 allDrops = 0;
    qint64 weekdayDaysLogged = 0;
    qint64 daysLogged = 0;

    // trend and step: the statistic (LogCapture's order).
    int statistic = 0;
    // trend: the slope and the days it spans.
    double dbPerDay = 0.0;
    qint64 fromDay = 0;
    qint64 toDay = 0;
    // step: the first day at the new level, the change, and the typical day's value before and after.
    qint64 day = 0;
    double db = 0.0;
    double before = 0.0;
    double after = 0.0;
};

struct Findings
{
    std::vector<Finding> list;
    // Said instead when there is nothing to list: the log is too short or sparse to read, or
    // nothing in it stands out from chance.
    QString note;
};
