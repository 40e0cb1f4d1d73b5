#pragma once

#include "stats/StatsDisplay.h"

class MainWindow;
class TrayController;

// The statistics as the window shows them: the value cells, the last-drop line and the window icon.
class WindowStatsDisplay final : public StatsDisplay
{
public:
    WindowStatsDisplay(MainWindow& window, TrayController& tray);

    void showCurrent(int index, const QString& text) override;
    void showMinMax(int index, const QString& minimumText, const QString& maximumText) override;
    void showLastDrop(const QString& caption) override;
    void setWindowIcon(const QString& imageKey) override;

private:
    MainWindow& m_window;
    TrayController& m_tray;
};
