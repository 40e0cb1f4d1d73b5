#include "report/ReportBuilder.h"

#include "report/WallClock.h"

namespace {

constexpr unsigned allNumbers = (1u << logStatCount) - 1;

} // namespace

ReportBuilder::ReportBuilder(
    float snrThreshold, float attThreshold, Period period, const QString& spillFolder, const QTimeZone& zone)
    : m_snrThreshold(snrThreshold)
    , m_attThreshold(attThreshold)
    , m_period(period)
    , m_clock(zone)
{
    m_figures.timeZone = m_clock.zoneName();
    m_figures.snrThreshold = snrThreshold;
    m_figures.attThreshold = attThreshold;
    m_figures.gaps = GapList(spillFolder);
}

std::size_t ReportBuilder::heldRecords() const
{
    return m_days.size() + m_figures.listedDrops.size() + m_figures.gaps.held() + m_findings.heldDays();
}

void ReportBuilder::addSkippedLine()
{
    ++m_figures.skippedLines;
}

bool ReportBuilder::inPeriod(qint64 stamp) const
{
    const qint64 day = WallClock::dayOf(stamp);
    return (!m_period.firstDay || day >= *m_period.firstDay) && (!m_period.lastDay || day <= *m_period.lastDay);
}

bool ReportBuilder::isUp() const
{
    const auto& v = m_current.values;
    return v[0] >= m_snrThreshold && v[1] >= m_snrThreshold && v[2] <= m_attThreshold && v[3] <= m_attThreshold;
}

void ReportBuilder::addCapture(const LogCapture& capture)
{
    for (std::size_t i = 0; i < capture.values.size(); ++i) {
        if (capture.numberMask & (1u << i))
            m_current.values[i] = capture.values[i];
    }
    m_current.numberMask |= capture.numberMask;
    m_current.stamp = capture.stamp;
    // Every capture passes the clock, so a repeated hour is told apart in the period as outside it.
    m_elapsed = m_clock.elapsedOf(capture.stamp);
    std::optional<bool> up;
    if (m_current.numberMask == allNumbers)
        up = isUp();
    if (up)
        m_dropUnderWay = !*up && (m_previousUp == true || m_dropUnderWay);
    if (inPeriod(capture.stamp))
        count(m_current, up);
    m_previousUp = up;
}

void ReportBuilder::count(const LogCapture& carried, std::optional<bool> up)
{
    const qint64 stamp = carried.stamp;
    if (m_figures.captures == 0 || stamp < m_figures.first)
        m_figures.first = stamp;
    if (m_figures.captures == 0 || stamp > m_figures.last)
        m_figures.last = stamp;
    ++m_figures.captures;
    if (m_previousStamp)
        addSpacing(stamp, m_elapsed);
    m_previousStamp = stamp;
    m_previousElapsed = m_elapsed;
    m_previousCountedUp = up;

    DayFigures& day = m_days.rowOf(WallClock::dayOf(stamp));
    ++day.captures;
    for (std::size_t i = 0; i < carried.values.size(); ++i) {
        if (carried.numberMask & (1u << i))
            day.ranges[i].add(carried.values[i]);
    }
    if (m_openDrop && up == true)
        closeDrop(stamp, m_elapsed, true);
    else if (!m_openDrop && m_dropUnderWay)
        openDrop(carried);
    m_chart.add(stamp, carried, up == false);
    m_hours.add(WallClock::hourOf(stamp), carried);
    m_findings.addCapture(carried, up == true);
}

// The time from the last counted capture to this one: covered time of the earlier one's row unless
// the state was unknown or the clock went back; gaps are taken out once they are judged.
void ReportBuilder::addSpacing(qint64 stamp, qint64 elapsed)
{
    const GapRecord spacing{*m_previousStamp, stamp, elapsed - m_previousElapsed, m_previousCountedUp.has_value(),
        m_previousCountedUp == true};
    m_spacing.add(spacing, m_figures.gaps);
    if (!spacing.covered || spacing.seconds < 0)
        return;
    DayFigures& row = m_days.rowOf(WallClock::dayOf(*m_previousStamp));
    row.coveredSeconds += spacing.seconds;
    if (spacing.up)
        row.upSeconds += spacing.seconds;
}

void ReportBuilder::openDrop(const LogCapture& carried)
{
    DropRecord drop;
    drop.start = carried.stamp;
    drop.end = carried.stamp;
    drop.values = carried.values;
    m_openDrop = drop;
    m_openDropElapsed = m_elapsed;
    m_openDropDay = WallClock::dayOf(carried.stamp);
    ++m_figures.drops;
    ++m_days.rowOf(m_openDropDay).drops;
    m_findings.addDrop(carried.stamp);
}

// A clock set back never makes a drop shorter than nothing.
void ReportBuilder::closeDrop(qint64 end, qint64 endElapsed, bool recovered)
{
    DropRecord drop = *m_openDrop;
    m_openDrop.reset();
    drop.end = end;
    drop.recovered = recovered;
    const qint64 length = std::max<qint64>(endElapsed - m_openDropElapsed, 0);
    drop.seconds = length;
    m_figures.downSeconds += length;
    m_figures.longestDropSeconds = std::max(m_figures.longestDropSeconds, length);
    m_days.rowOf(m_openDropDay).downSeconds += length;
    if (m_figures.listedDrops.size() < maxListed)
        m_figures.listedDrops.push_back(drop);
}

// A gap is no covered time: the rows give back what its spacing added.
void ReportBuilder::takeGaps()
{
    m_figures.gaps.forEach([this](const GapRecord& gap) {
        if (!gap.covered)
            return;
        DayFigures& row = m_days.rowOf(WallClock::dayOf(gap.start));
        row.coveredSeconds -= gap.seconds;
        if (gap.up)
            row.upSeconds -= gap.seconds;
    });
}

ReportFigures ReportBuilder::finish()
{
    if (m_openDrop && m_previousStamp)
        closeDrop(*m_previousStamp, m_previousElapsed, false);
    m_spacing.finish(m_figures.gaps);
    takeGaps();
    m_figures.days = m_days.rows();
    m_figures.daySpan = m_days.span();
    for (const DayFigures& row : m_figures.days) {
        m_figures.coveredSeconds += row.coveredSeconds;
        m_figures.upSeconds += row.upSeconds;
    }
    m_figures.usualSpacing = m_spacing.usualSpacing();
    m_figures.chart = m_chart.buckets();
    m_figures.hours = m_hours.figures();
    m_figures.findings = m_findings.finish(m_figures.days);
    return std::move(m_figures);
}
