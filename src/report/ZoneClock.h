#pragma once

#include <QTimeZone>
#include <QtGlobal>

// Turns the log's wall-clock stamps into seconds that count real elapsed time, by the rules of the
// zone the log was written in. Read in the file's order: in an hour that a clock change repeats, a
// time that goes back from a time of that same hour is its second occurrence, and so is every later
// time of that hour on that day. A time that a change skips reads as if the clock had not moved yet.
// The zone is asked only when a stamp leaves the stretch of days between two of its changes.
class ZoneClock
{
public:
    explicit ZoneClock(const QTimeZone& zone);

    // Seconds since 1970-01-01 00:00:00 UTC of a WallClock stamp, which the next call may depend on.
    qint64 elapsedOf(qint64 wallStamp);

    QString zoneName() const;

private:
    struct Day
    {
        qint64 number = 0;
        int offset = 0; // before the change, or all day without one
        int laterOffset = 0; // after the change; equal to offset on a day without one
        qint64 changeAt = 0; // the wall stamp where the change happens, read in the earlier offset
    };

    void learnDay(qint64 day);
    void learnStretch(qint64 day);
    int offsetAt(qint64 utcSeconds) const;
    qint64 resolve(qint64 wallStamp);

    QTimeZone m_zone;
    Day m_day;
    bool m_dayKnown = false;
    // Days between two changes, where the day's offset holds all day; empty until learnt.
    qint64 m_stretchFirst = 1;
    qint64 m_stretchLast = 0;
    int m_stretchOffset = 0;
    qint64 m_previousWall = 0;
    bool m_inRepeat = false; // the last stamp was the second occurrence of a repeated time
};
