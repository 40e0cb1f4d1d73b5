#include "app/CaptureCycle.h"

#include "router/PageParser.h"
#include "stats/AppState.h"
#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "stats/StatsUpdater.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"

namespace {

constexpr QColor black{0, 0, 0};

} // namespace

CaptureCycle::CaptureCycle(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
{
    connect(&m_parts.fetcher, &PageFetcher::finished, this, &CaptureCycle::onPageParsed);
}

bool CaptureCycle::runCapture(CaptureMode mode, const CaptureInputs& inputs)
{
    if (m_running)
        return false;
    m_running = true;
    m_mode = mode;
    m_inputs = inputs;
    m_parts.status.setStatusColour(black);

    if (mode != CaptureMode::TestPage) {
        // A fetch that cannot start (another one still waits) ends this capture unseen.
        if (!m_parts.fetcher.fetchStatsPage(m_inputs.router))
            end(false);
        return true;
    }
    if (m_inputs.testPage.isEmpty()) {
        m_parts.status.showStatus(QString::fromLatin1(StatusTexts::noTestPage));
        end(false);
        return true;
    }
    m_parts.state.pageReceived = true;
    onPageParsed(m_parts.parser.parseStatsPage(m_inputs.testPage));
    return true;
}

void CaptureCycle::cancel()
{
    if (m_running && m_parts.fetcher.isFetching())
        m_parts.fetcher.cancel();
}

void CaptureCycle::onPageParsed(bool ok)
{
    if (!m_running)
        return;
    end(ok && completeCapture());
}

bool CaptureCycle::completeCapture()
{
    m_parts.statsLine.buildStatsLine(false, false);
    m_parts.updater.updateStats();
    if (m_mode != CaptureMode::Timed)
        return true;

    bool lineSaved = true;
    if (m_inputs.saveToFile) {
        m_parts.status.showStatus(QString::fromLatin1(StatusTexts::saving));
        lineSaved = CsvLog::appendLineToFile(m_parts.state.outputPath, m_parts.statsLine.buildStatsLine(true, false));
    }
    m_parts.status.showStatus(QString::fromLatin1(StatusTexts::drawing));
    if (m_inputs.autoRange)
        m_parts.renderer.setGraphRange(m_parts.state.capturePeak);
    m_parts.renderer.drawGraph(m_parts.table.currentValues, false, m_inputs.drawOptions);
    // A lost CSV line stays on the status line until the next capture, where the user can see it.
    m_parts.status.showStatus(
        QString::fromLatin1(lineSaved ? StatusTexts::monitoring : StatusTexts::couldNotSaveResults));
    return true;
}

void CaptureCycle::end(bool ok)
{
    m_running = false;
    emit finished(m_mode, ok);
}
