#pragma once

#include "app/CaptureCycle.h"
#include "app/LabelStatusLine.h"
#include "app/MonitorSchedule.h"
#include "app/MonitorTicker.h"
#include "app/PageTextBox.h"
#include "app/WindowStatsDisplay.h"
#include "graph/GraphOptions.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "settings/Settings.h"
#include "stats/LineStatTable.h"
#include "stats/StatsUpdater.h"
#include "tray/StatusImages.h"
#include "tray/TrayController.h"
#include "tray/WidgetTrayWindow.h"

#include <QObject>

class Clock;
class MainWindow;
class MessageBox;
class Transfer;
class TrayIcon;

// The operating-system services the window works with; main() builds the real ones, tests their own.
struct Platform
{
    TrayIcon& trayIcon;
    Transfer& transfer;
    MessageBox& messageBox;
    const Clock& clock;
    QString applicationFolder;
    // How often the monitoring timer really fires. The minute count always advances by the
    // designed one-second tick, so tests may fire it faster without changing the schedule's sums.
    int tickIntervalMs = MonitorSchedule::designedTickMs;
};

// The window's behaviour: start-up, the monitoring schedule, the capture buttons, the graph and tray
// handlers, and the closing sequence. It owns the statistics, the graph state and the tray handling
// for the whole run; the window itself only shows them.
class MainController final : public QObject
{
    Q_OBJECT

public:
    MainController(MainWindow& window, const Platform& platform, QObject* parent = nullptr);
    ~MainController() override;
    Q_DISABLE_COPY_MOVE(MainController)

    void startUp();
    // The closing sequence; it runs once, whatever asks for it first.
    void shutDown();

    bool isMonitoring() const { return m_ticker.isActive(); }
    const LineStatTable& table() const { return m_table; }
    const StatsUpdater& statistics() const { return m_updater; }
    const Settings& settings() const { return m_settings; }
    const GraphState& graph() const { return m_graph; }
    const MonitorSchedule& schedule() const { return m_schedule; }
    bool isCapturing() const { return m_capture.isRunning(); }

    void toggleMonitoring();
    void onTick() { onTicks(1); }
    // Counts ticks that passed at once; the last one may fall due.
    void onTicks(int count);
    void testSettings();
    void testPage();

signals:
    // The window has run its closing sequence; the program ends.
    void closed();
    // A capture has run to its end, successful or not.
    void captureFinished(CaptureMode mode, bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void connectGraphControls();
    void connectTrayControls();
    bool loadSettingsFile();
    void startMonitoring();
    void stopMonitoring();
    void setMonitorControlsEnabled(bool enabled);
    void showCountdown();
    bool windowShown() const;
    CaptureInputs captureInputs() const;
    void onCaptureFinished(CaptureMode mode, bool ok);
    void toggleSeries(int index);
    // Tells a screen reader the values the graph shows.
    void describeGraph();
    void togglePageTextView();
    void copyRouterPage(const QString& page);
    void syncGraphMenu();
    void applyPasswordMask();
    void onPasswordEdited();
    void onGraphMouseReleased(Qt::MouseButton button, QPoint globalPos);

    MainWindow& m_window;
    Platform m_platform;
    LineStatTable m_table;
    // The settings read at start-up. The window's controls and the graph menu hold the current
    // values of what they show; the other values are read from here.
    Settings m_settings;
    QString m_settingsPath;
    QString m_csvPath; // fixed when monitoring starts
    bool m_pageTextShown = false; // every page from the router is copied into the page-text box
    GraphState m_graph;
    GraphOptions m_graphOptions;
    MonitorSchedule m_schedule;
    LabelStatusLine m_statusLine;
    PageTextBox m_pageTextBox;
    WidgetTrayWindow m_trayWindow;
    StatusImages m_images;
    TrayController m_tray;
    WindowStatsDisplay m_display;
    PageParser m_parser;
    PageFetcher m_fetcher;
    StatsUpdater m_updater;
    GraphRenderer m_renderer;
    CaptureCycle m_capture;
    MonitorTicker m_ticker;
    bool m_closed = false;
};
