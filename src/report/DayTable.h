#pragma once

#include "report/ReportFigures.h"

#include <QString>
#include <QtGlobal>

#include <map>
#include <vector>

// The rows of the day table: one a day while the log spans at most maxRows days, past that one a
// month, and past maxRows months one a year (at most 9999, the years a log can write), so memory
// and the page stay bounded however many days the log spans.
class DayTable
{
public:
    static constexpr std::size_t maxRows = 4000;

    DayTable() = default;
    Q_DISABLE_COPY_MOVE(DayTable)

    // The row that holds the day, made when it is the first of its row.
    DayFigures& rowOf(qint64 day);

    RowSpan span() const { return m_span; }
    std::size_t size() const { return m_rows.size(); }
    // In date order, each dated by its first day.
    std::vector<DayFigures> rows() const;

    // "2026-03-01", "2026-03" or "2026": the row's date as the span names it.
    static QString label(qint64 firstDay, RowSpan span);

private:
    qint64 rowStart(qint64 day) const;
    void widen();

    RowSpan m_span = RowSpan::day;
    std::map<qint64, DayFigures> m_rows; // by the row's first day
    std::map<qint64, DayFigures>::iterator m_last = m_rows.end(); // the row of the day last asked for
    qint64 m_lastDay = 0;
};
