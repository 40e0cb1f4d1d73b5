#include "stats/StatsUpdater.h"

#include "platform/Clock.h"
#include "stats/NumberFormat.h"
#include "stats/StatsDisplay.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"
#include "stats/TrayNotice.h"

namespace {

const QString crLf = QStringLiteral("\r\n");

QString monitorOffTip()
{
    return QLatin1String(StatusTexts::appTitle) + QStringLiteral(" (Monitor OFF)");
}

} // namespace

StatsUpdater::StatsUpdater(const LineStatTable& table, StatusLine& statusLine, StatsDisplay& display, TrayNotice& tray,
    const Clock& clock, const QLocale& locale)
    : m_table(table)
    , m_statusLine(statusLine)
    , m_display(display)
    , m_tray(tray)
    , m_clock(clock)
    , m_locale(locale)
    , m_trayTip(monitorOffTip())
{
    m_minValues.fill(initialMinimum);
}

void StatsUpdater::setThresholds(float snrThreshold, float attThreshold)
{
    m_snrThreshold = snrThreshold;
    m_attThreshold = attThreshold;
}

void StatsUpdater::setDropNotices(bool on)
{
    m_dropNotices = on;
}

void StatsUpdater::monitoringStopped()
{
    m_trayTip = monitorOffTip();
}

void StatsUpdater::dropNoticeGone()
{
    m_dropNoticeShown = false;
}

float StatsUpdater::updateStats()
{
    m_trayTip = buildTrayTip();
    const float peak = updateMinMax();
    const LineState state = lineState();
    const bool lineUp = state == LineState::up;
    // An undecided line keeps the colour, icon and last-drop caption it has.
    const QString dropTime = state == LineState::undecided ? QString() : showLineState(lineUp);
    if (m_tray.isInTray())
        notifyTray(dropTime);
    m_wasLineUp = lineUp;
    return peak;
}

QString StatsUpdater::buildTrayTip() const
{
    const auto& values = m_table.currentValues;
    const auto form = [this](float value) { return NumberFormat::tooltipForm(value, m_locale); };
    return QLatin1String(StatusTexts::appTitle) + QStringLiteral(" (Monitor ON)") + crLf + QStringLiteral("SNR:")
        + form(values[0]) + QLatin1Char('/') + form(values[1]) + crLf + QStringLiteral("Attn:") + form(values[2])
        + QLatin1Char('/') + form(values[3]);
}

float StatsUpdater::updateMinMax()
{
    float peak = 0.0f;
    // Strict comparisons: an equal value changes nothing, and a NaN, which compares false with
    // everything, never becomes a minimum, maximum or peak.
    for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
        // A statistic never measured keeps its start values and the captions of its labels.
        if (!m_table.measured[i])
            continue;
        const float value = m_table.currentValues[i];
        if (value < m_minValues[i])
            m_minValues[i] = value;
        if (value > m_maxValues[i])
            m_maxValues[i] = value;
        if (value > peak)
            peak = value;
        m_display.showMinMax(int(i), NumberFormat::labelForm(m_minValues[i], m_locale),
            NumberFormat::labelForm(m_maxValues[i], m_locale));
    }
    return peak;
}

bool StatsUpdater::passesThreshold(std::size_t i) const
{
    // Inclusive bounds; a NaN fails every test and so counts as a line down. The first two
    // statistics are SNR margins, the last two attenuations.
    const float value = m_table.currentValues.at(i);
    return i < 2 ? value >= m_snrThreshold : value <= m_attThreshold;
}

// Down as soon as one measured statistic is past its threshold; up only when all four have been
// measured and pass; otherwise there is not yet enough to tell.
StatsUpdater::LineState StatsUpdater::lineState() const
{
    bool allMeasured = true;
    for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
        if (!m_table.measured[i])
            allMeasured = false;
        else if (!passesThreshold(i))
            return LineState::down;
    }
    return allMeasured ? LineState::up : LineState::undecided;
}

QString StatsUpdater::showLineState(bool lineUp)
{
    if (lineUp) {
        m_statusLine.setStatusColour(upColour);
        m_display.setWindowIcon(QStringLiteral("small_online"));
        return {};
    }
    QString dropTime = NumberFormat::dropTime(m_clock.now(), m_locale);
    m_display.showLastDrop(QStringLiteral("Last connection drop: ") + dropTime);
    m_statusLine.setStatusColour(downColour);
    m_display.setWindowIcon(QStringLiteral("small_offline"));
    return dropTime;
}

void StatsUpdater::notifyTray(const QString& dropTime)
{
    m_tray.refresh(m_trayTip);
    const bool dropped = !dropTime.isEmpty();
    if (m_dropNotices && dropped && m_wasLineUp && !m_dropNoticeShown) {
        m_dropNoticeShown = true;
        m_tray.announceDrop(
            QLatin1String(StatusTexts::appTitle), dropTime + crLf + QStringLiteral("ADSL connection dropped."));
    }
}
