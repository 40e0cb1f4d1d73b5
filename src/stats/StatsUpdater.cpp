#include "stats/StatsUpdater.h"

#include "platform/Clock.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/NumberFormat.h"
#include "stats/StatsDisplay.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"
#include "stats/TrayNotice.h"

namespace {

const QString crLf = QStringLiteral("\r\n");

} // namespace

StatsUpdater::StatsUpdater(LineStatTable& table, AppState& state, StatusLine& statusLine, StatsDisplay& display,
    TrayNotice& tray, const Clock& clock, const QLocale& locale)
    : m_table(table)
    , m_state(state)
    , m_statusLine(statusLine)
    , m_display(display)
    , m_tray(tray)
    , m_clock(clock)
    , m_locale(locale)
{ }

void StatsUpdater::updateStats()
{
    m_state.trayTip = buildTrayTip();
    m_state.capturePeak = 0.0f;
    updateMinMax();
    const LineState state = lineState();
    m_state.lineUp = state == LineState::up;
    // An undecided line keeps the colour, icon and last-drop caption it has.
    const QString dropTime = state == LineState::undecided ? QString() : showLineState();
    if (m_tray.isInTray())
        notifyTray(dropTime);
    m_state.wasLineUp = m_state.lineUp;
}

QString StatsUpdater::buildTrayTip() const
{
    const auto& values = m_table.currentValues;
    const auto form = [this](float value) { return NumberFormat::tooltipForm(value, m_locale); };
    return QLatin1String(StatusTexts::appTitle) + QStringLiteral(" (Monitor ON)") + crLf + QStringLiteral("SNR:")
        + form(values[0]) + QLatin1Char('/') + form(values[1]) + crLf + QStringLiteral("Attn:") + form(values[2])
        + QLatin1Char('/') + form(values[3]);
}

void StatsUpdater::updateMinMax()
{
    // Strict comparisons: an equal value changes nothing, and a NaN, which compares false with
    // everything, never becomes a minimum, maximum or peak.
    for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
        // A statistic never measured keeps its start values and the captions of its labels.
        if (!m_table.measured[i])
            continue;
        const float value = m_table.currentValues[i];
        if (value < m_table.minValues[i])
            m_table.minValues[i] = value;
        if (value > m_table.maxValues[i])
            m_table.maxValues[i] = value;
        if (value > m_state.capturePeak)
            m_state.capturePeak = value;
        m_display.showMinMax(int(i), NumberFormat::labelForm(m_table.minValues[i], m_locale),
            NumberFormat::labelForm(m_table.maxValues[i], m_locale));
    }
}

bool StatsUpdater::passesThreshold(std::size_t i) const
{
    // Inclusive bounds; a NaN fails every test and so counts as a line down. The first two
    // statistics are SNR margins, the last two attenuations.
    const float value = m_table.currentValues.at(i);
    return i < 2 ? value >= m_state.snrThreshold : value <= m_state.attThreshold;
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

QString StatsUpdater::showLineState()
{
    if (m_state.lineUp) {
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
    m_tray.refresh(m_state.trayTip);
    const bool dropped = !dropTime.isEmpty();
    if (m_state.useBalloons && dropped && m_state.wasLineUp && !m_state.dropNotified) {
        m_state.dropNotified = true;
        m_tray.announceDrop(
            QLatin1String(StatusTexts::appTitle), dropTime + crLf + QStringLiteral("ADSL connection dropped."));
    }
}
