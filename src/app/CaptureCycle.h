#pragma once

#include "graph/GraphRenderer.h"
#include "router/PageFetcher.h"

#include <QObject>
#include <QString>

class Clock;
class LineStatTable;
class PageParser;
class StatsDisplay;
class StatsUpdater;
class StatusLine;

// What started a capture: only timed captures write the CSV line and move the graph.
enum class CaptureMode
{
    Timed = 1,
    TestSettings = 2,
    TestPage = 3,
};

// The window's entries and the settings a capture reads, taken when it starts.
struct CaptureInputs
{
    FetchInputs router;
    QString testPage; // the page-text box
    bool saveToFile = false; // "Save stats to file" ticked
    QString csvPath; // the CSV file, fixed when monitoring started
    bool separateDateTime = false; // the CSV layout the settings chose
    bool autoRange = false;
    GraphRenderer::Options drawOptions;
};

// One capture from end to end: obtain the page (from the router, or the page-text box), have it
// parsed once into the table, show the values, update the statistics and, for timed captures,
// append the CSV line and draw the next graph point. The fetch runs without blocking the window; captures never
// overlap.
class CaptureCycle final : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        PageFetcher& fetcher;
        PageParser& parser;
        StatsUpdater& updater;
        GraphRenderer& renderer;
        LineStatTable& table;
        StatusLine& status;
        StatsDisplay& display;
        const Clock& clock;
    };

    explicit CaptureCycle(Parts parts, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CaptureCycle)

    // False, starting nothing, while another capture is still running.
    bool runCapture(CaptureMode mode, const CaptureInputs& inputs);
    bool isRunning() const { return m_running; }
    // Ends a capture that waits for the router: nothing is displayed, written or drawn.
    void cancel();

signals:
    // A page came from the router, before it is parsed; error replies and pages without values too.
    void routerPageArrived(const QString& page);
    void finished(CaptureMode mode, bool ok);

private:
    void onPageFetched(const QString& page);
    void onFetchFailed(const QString& reason);
    void capturePage(const QString& page);
    void completeCapture();
    void showValues();
    void end(bool ok);

    Parts m_parts;
    CaptureMode m_mode = CaptureMode::Timed;
    CaptureInputs m_inputs;
    bool m_running = false;
};
