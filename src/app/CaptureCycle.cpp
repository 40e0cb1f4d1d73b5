#include "app/CaptureCycle.h"

#include "platform/Clock.h"
#include "router/PageParser.h"
#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/StatsDisplay.h"
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
    connect(&m_parts.fetcher, &PageFetcher::pageFetched, this, &CaptureCycle::onPageFetched);
    connect(&m_parts.fetcher, &PageFetcher::fetchFailed, this, &CaptureCycle::onFetchFailed);
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
    capturePage(m_inputs.testPage);
    return true;
}

void CaptureCycle::cancel()
{
    if (m_running && m_parts.fetcher.isFetching())
        m_parts.fetcher.cancel();
}

void CaptureCycle::onPageFetched(const QString& page)
{
    if (!m_running)
        return;
    emit routerPageArrived(page);
    capturePage(page);
}

void CaptureCycle::onFetchFailed(const QString& reason)
{
    if (!m_running)
        return;
    m_parts.status.showStatus(reason);
    end(false);
}

void CaptureCycle::capturePage(const QString& page)
{
    const std::optional<PageReading> reading = m_parts.parser.parseStatsPage(page);
    if (!reading) {
        end(false);
        return;
    }
    m_parts.table.takePage(*reading);
    completeCapture();
    end(true);
}

void CaptureCycle::completeCapture()
{
    showValues();
    const float peak = m_parts.updater.updateStats();
    if (m_mode != CaptureMode::Timed)
        return;

    bool lineSaved = true;
    if (m_inputs.saveToFile) {
        m_parts.status.showStatus(QString::fromLatin1(StatusTexts::saving));
        lineSaved = CsvLog::appendLineToFile(
            m_inputs.csvPath, StatsLine::csvDataLine(m_parts.table, m_parts.clock.now(), m_inputs.separateDateTime));
    }
    m_parts.status.showStatus(QString::fromLatin1(StatusTexts::drawing));
    if (m_inputs.autoRange)
        m_parts.renderer.setGraphRange(peak);
    m_parts.renderer.drawGraph(m_parts.table.currentValues, false, m_inputs.drawOptions);
    // A lost CSV line stays on the status line until the next capture, where the user can see it.
    m_parts.status.showStatus(
        QString::fromLatin1(lineSaved ? StatusTexts::monitoring : StatusTexts::couldNotSaveResults));
}

void CaptureCycle::showValues()
{
    m_parts.status.showStatus(QString::fromLatin1(StatusTexts::displaying));
    // The texts exactly as they were cut from the page.
    for (std::size_t i = 0; i < m_parts.table.valueTexts.size(); ++i)
        m_parts.display.showCurrent(int(i), m_parts.table.valueTexts[i]);
}

void CaptureCycle::end(bool ok)
{
    m_running = false;
    emit finished(m_mode, ok);
}
