#include "report/DayTable.h"

#include "report/WallClock.h"

namespace {

void merge(DayFigures& into, const DayFigures& row)
{
    into.captures += row.captures;
    into.drops += row.drops;
    into.downSeconds += row.downSeconds;
    into.coveredSeconds += row.coveredSeconds;
    into.upSeconds += row.upSeconds;
    for (std::size_t i = 0; i < into.ranges.size(); ++i)
        into.ranges[i].add(row.ranges[i]);
}

} // namespace

DayFigures& DayTable::rowOf(qint64 day)
{
    if (m_last != m_rows.end() && m_lastDay == day)
        return m_last->second;
    auto [row, made] = m_rows.try_emplace(rowStart(day));
    if (made) {
        row->second.day = row->first;
        if (m_rows.size() > maxRows && m_span != RowSpan::year) {
            widen();
            row = m_rows.find(rowStart(day));
        }
    }
    m_last = row;
    m_lastDay = day;
    return row->second;
}

qint64 DayTable::rowStart(qint64 day) const
{
    switch (m_span) {
    case RowSpan::day:
        return day;
    case RowSpan::month:
        return WallClock::firstDayOfMonth(day);
    case RowSpan::year:
        break;
    }
    return WallClock::firstDayOfYear(day);
}

// Months, or years, until the rows fit again; years always stop it.
void DayTable::widen()
{
    while (m_rows.size() > maxRows && m_span != RowSpan::year) {
        m_span = m_span == RowSpan::day ? RowSpan::month : RowSpan::year;
        std::map<qint64, DayFigures> wider;
        for (const auto& [day, row] : m_rows) {
            const qint64 start = rowStart(day);
            DayFigures& target = wider[start];
            target.day = start;
            merge(target, row);
        }
        m_rows = std::move(wider);
    }
    m_last = m_rows.end();
}

std::vector<DayFigures> DayTable::rows() const
{
    std::vector<DayFigures> result;
    result.reserve(m_rows.size());
    for (const auto& entry : m_rows)
        result.push_back(entry.second);
    return result;
}

QString DayTable::label(qint64 firstDay, RowSpan span)
{
    const QString date = WallClock::isoDate(firstDay);
    return span == RowSpan::day ? date : date.left(span == RowSpan::month ? 7 : 4);
}
