#pragma once

#include "stats/LineStatTable.h"

#include <QColor>
#include <QLocale>
#include <QString>

#include <array>

class Clock;
class StatsDisplay;
class StatusLine;
class TrayNotice;

// The statistics update after every parsed capture: minimum, maximum and peak, the line state from
// the two thresholds, the status colour, icon and last-drop caption, the tray tip, and, while the
// icon is in the tray, the tray refresh and the one balloon per drop. A statistic that has not had a
// number in this run takes no part: its start value is no measurement. Minimum and maximum, the line
// state and the drop notice are its own, kept from one update to the next for the whole run.
class StatsUpdater
{
public:
    static constexpr QColor upColour{0, 128, 0};
    static constexpr QColor downColour{255, 0, 0};
    static constexpr float initialMinimum = 100.0f;

    StatsUpdater(const LineStatTable& table, StatusLine& statusLine, StatsDisplay& display, TrayNotice& tray,
        const Clock& clock, const QLocale& locale = QLocale());
    Q_DISABLE_COPY_MOVE(StatsUpdater)

    // The thresholds of the line test, from the settings, before the first update.
    void setThresholds(float snrThreshold, float attThreshold);
    // Whether a drop seen from the tray raises a balloon; the window's switch sets it.
    void setDropNotices(bool on);

    // Updates everything from the table's current values; returns the capture's peak, the largest
    // of 0.0 and the measured current values.
    float updateStats();

    // The tray tip: the values of the last update, or the monitor-off text before the first one and
    // after monitoring stopped.
    const QString& trayTip() const { return m_trayTip; }
    // Monitoring stopped: the tip says so again; line state and drop notice stay as they are.
    void monitoringStopped();

    // A drop balloon was shown and not yet acknowledged: no further one comes until then.
    bool dropNoticeShown() const { return m_dropNoticeShown; }
    // The balloon timed out or the window came back through the tray menu.
    void dropNoticeGone();

private:
    enum class LineState
    {
        up,
        down,
        undecided,
    };

    QString buildTrayTip() const;
    float updateMinMax();
    bool passesThreshold(std::size_t i) const;
    LineState lineState() const;
    QString showLineState(bool lineUp);
    void notifyTray(const QString& dropTime);

    const LineStatTable& m_table;
    std::array<float, statCount> m_minValues{};
    std::array<float, statCount> m_maxValues{};
    StatusLine& m_statusLine;
    StatsDisplay& m_display;
    TrayNotice& m_tray;
    const Clock& m_clock;
    QLocale m_locale;
    float m_snrThreshold = 0.0f;
    float m_attThreshold = 0.0f;
    bool m_dropNotices = false;
    bool m_wasLineUp = false; // line state of the update before this one
    bool m_dropNoticeShown = false;
    QString m_trayTip;
};
