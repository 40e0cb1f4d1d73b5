#pragma once

#include "report/ChartReduction.h"
#include "report/DayTable.h"
#include "report/HourProfile.h"
#include "report/LineFindings.h"
#include "report/ReportFigures.h"
#include "report/SpacingTracker.h"
#include "report/ZoneClock.h"

#include <QString>
#include <QTimeZone>
#include <QtGlobal>

#include <optional>

// Turns the captures of a log, in the order the log holds them, into the report's figures. Values
// that are not numbers keep the statistic's previous value, and the line state is the window's:
// up when both SNR margins reach the SNR threshold and both attenuations stay within theirs.
// Captures outside the period still carry values and state into it but are not counted; a drop
// under way when the period starts counts in it from the period's first capture. What it keeps is
// bounded whatever the log holds: rows of the day table, drops listed, gaps held in memory (the
// others go to a temporary file in the spill folder).
class ReportBuilder
{
public:
    static constexpr std::size_t maxListed = GapList::listedOnPage; // drops, and gaps, that the page lists

    struct Period
    {
        std::optional<qint64> firstDay;
        std::optional<qint64> lastDay;
    };

    // Times are read by the rules of the zone, the system's when none is given.
    ReportBuilder(float snrThreshold, float attThreshold, Period period = {}, const QString& spillFolder = {},
        const QTimeZone& zone = QTimeZone::systemTimeZone());
    Q_DISABLE_COPY_MOVE(ReportBuilder)

    void addCapture(const LogCapture& capture);
    void addSkippedLine();

    qint64 captures() const { return m_figures.captures; }
    // Day rows, listed drops and gaps held in memory: what grows with the log, up to its bounds.
    std::size_t heldRecords() const;
    // Ends a drop still open at the last capture; call once, after the last line.
    ReportFigures finish();

private:
    bool inPeriod(qint64 stamp) const;
    bool isUp() const;
    void count(const LogCapture& carried, std::optional<bool> up);
    void addSpacing(qint64 stamp, qint64 elapsed);
    void openDrop(const LogCapture& carried);
    void closeDrop(qint64 end, qint64 endElapsed, bool recovered);
    void takeGaps();

    float m_snrThreshold;
    float m_attThreshold;
    Period m_period;

    LogCapture m_current; // values carried from line to line
    std::optional<bool> m_previousUp; // no state until four numbers have been seen
    bool m_dropUnderWay = false; // the line went down after being up and is still down, in the period or not
    std::optional<qint64> m_previousStamp; // of the last counted capture
    qint64 m_previousElapsed = 0; // its real time
    std::optional<bool> m_previousCountedUp; // its line state
    qint64 m_elapsed = 0; // real time of the capture being counted
    ZoneClock m_clock;
    std::optional<DropRecord> m_openDrop;
    qint64 m_openDropElapsed = 0;
    qint64 m_openDropDay = 0;

    ReportFigures m_figures;
    DayTable m_days;
    SpacingTracker m_spacing;
    ChartReduction m_chart;
    HourProfile m_hours;
    LineFindings m_findings;
};
