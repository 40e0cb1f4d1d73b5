#pragma once

#include "platform/Colour.h"

#include <QLocale>
#include <QString>

struct AppState;
class Clock;
class LineStatTable;
class StatsDisplay;
class StatusLine;
class TrayNotice;

// The statistics update after every parsed capture: minimum, maximum and peak, the line state from
// the two thresholds, the status colour, icon and last-drop caption, the tray tip, and, while the
// icon is in the tray, the tray refresh and the one balloon per drop. A statistic that has not had a
// number in this run takes no part: its start value is no measurement.
class StatsUpdater
{
public:
    static constexpr Colour upColour = 0x00008000;
    static constexpr Colour downColour = 0x000000FF;

    StatsUpdater(LineStatTable& table, AppState& state, StatusLine& statusLine, StatsDisplay& display, TrayNotice& tray,
        const Clock& clock, const QLocale& locale = QLocale());
    Q_DISABLE_COPY_MOVE(StatsUpdater)

    void updateStats();

private:
    enum class LineState
    {
        up,
        down,
        undecided,
    };

    QString buildTrayTip() const;
    void updateMinMax();
    bool passesThreshold(std::size_t i) const;
    LineState lineState() const;
    QString showLineState();
    void notifyTray(const QString& dropTime);

    LineStatTable& m_table;
    AppState& m_state;
    StatusLine& m_statusLine;
    StatsDisplay& m_display;
    TrayNotice& m_tray;
    const Clock& m_clock;
    QLocale m_locale;
};
