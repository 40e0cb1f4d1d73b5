#pragma once

#include <QString>

class Clock;
class LineStatTable;
class StatsDisplay;
class StatusLine;
struct AppState;

// Builds the CSV header, the CSV data line of a capture, and the value display of the window. The
// display shows the value texts exactly as they were cut from the router page; the data line holds
// them as safe CSV fields, and "NA" for a statistic the latest page did not carry.
class StatsLine
{
public:
    StatsLine(const LineStatTable& table, const AppState& state, StatusLine& status, StatsDisplay& display,
        const Clock& clock);

    // header: the column names; toFile without header: the date, time and values of now; neither:
    // shows the values in the display and returns the empty text. Without a page in hand only the
    // header is built.
    QString buildStatsLine(bool toFile, bool header) const;

private:
    QString headerLine() const;
    QString dataLine() const;
    QString loggedValue(int k) const;
    void showValues() const;

    const LineStatTable& m_table;
    const AppState& m_state;
    StatusLine& m_status;
    StatsDisplay& m_display;
    const Clock& m_clock;
};
