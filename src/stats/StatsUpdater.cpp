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
    m_state.lineUp = false;
    m_state.capturePeak = 0.0f;
    updateMinMax();
    if (passesThresholds())
        m_state.lineUp = true;
    const QString dropTime = showLineState();
    if (m_tray.iconAdded())
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

bool StatsUpdater::passesThresholds() const
{
    // Inclusive bounds; a NaN fails every test and so counts as a line down.
    const auto& values = m_table.currentValues;
    return values[0] >= m_state.snrThreshold && values[1] >= m_state.snrThreshold && values[2] <= m_state.attThreshold
        && values[3] <= m_state.attThreshold;
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
    m_tray.modifyTrayIcon(m_state.trayTip);
    if (m_state.useBalloons && !m_state.lineUp && m_state.wasLineUp && !m_state.dropNotified) {
        m_state.dropNotified = true;
        m_tray.showBalloon(dropTime + crLf + QStringLiteral("ADSL connection dropped."),
            QLatin1String(StatusTexts::appTitle), warningIcon, balloonTimeoutMs);
    }
}
