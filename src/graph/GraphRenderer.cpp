#include "graph/GraphRenderer.h"

#include "graph/GraphPainter.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "stats/SampleHistory.h"

#include <limits>

GraphRenderer::GraphRenderer(GraphState& state, GraphSurface& surface)
    : m_state(state)
    , m_surface(surface)
{ }

void GraphRenderer::drawGraph(const std::array<float, statCount>& currentValues, bool redrawOnly, Options options)
{
    if (!redrawOnly) {
        shiftHistory();
        storeNewestPoints(currentValues);
    }
    m_surface.showFrame(frame(options));
}

bool GraphRenderer::setGraphRange(float top)
{
    return m_state.applyRange(top, m_surface.height());
}

GraphFrame GraphRenderer::frame(Options options) const
{
    GraphFrame frame;
    if (options.grid)
        frame.grid = gridLines();
    const int seriesCount = std::min(m_state.graphSeries.size(), statCount);
    for (int i = 0; i < seriesCount; ++i) {
        if (!m_state.seriesShown[std::size_t(i)])
            continue;
        frame.series.push_back(seriesFrame(i, options.markers));
    }
    return frame;
}

void GraphRenderer::shiftHistory()
{
    for (int r = 0; r < m_state.graphSeries.size(); ++r) {
        auto& points = m_state.graphSeries.series(r).points;
        for (std::size_t k = 0; k + 1 < points.size(); ++k)
            points[k].y = points[k + 1].y;
    }
}

void GraphRenderer::storeNewestPoints(const std::array<float, statCount>& currentValues)
{
    // Every series, shown or not, so a hidden series keeps a complete history.
    const int seriesCount = std::min(m_state.graphSeries.size(), statCount);
    const qint32 newestX = SampleHistory::toPixel(double(m_state.xStep) * SeriesRecord::pointCount);
    for (int i = 0; i < seriesCount; ++i) {
        GraphPoint& newest = m_state.graphSeries.series(i).points.back();
        const double value = double(currentValues[std::size_t(i)]);
        newest.y = SampleHistory::toPixel((double(m_state.graphMax) - value) * double(m_state.yScale));
        newest.x = newestX;
    }
}

std::vector<QLine> GraphRenderer::gridLines() const
{
    const int width = m_surface.width();
    const int height = m_surface.height();
    std::vector<QLine> lines;
    // The horizontal lines count down from the top value as a 16-bit integer; a top beyond that
    // range would put thousands of lines on the same rows, so only the vertical lines are drawn.
    const double top = double(m_state.graphMax);
    if (top > 0.0 && top < double(std::numeric_limits<qint16>::max()) + 0.5) {
        for (int i = SampleHistory::toPixel(top); i >= 0; i -= gridStep) {
            const qint32 y = SampleHistory::toPixel(double(i) / top * height);
            lines.emplace_back(0, y, width, y);
        }
    }
    for (int j = 0; j <= SeriesRecord::pointCount; j += gridStep) {
        const qint32 x = SampleHistory::toPixel(double(j) * double(m_state.xStep));
        lines.emplace_back(x, 0, x, height);
    }
    return lines;
}

GraphFrame::Series GraphRenderer::seriesFrame(int index, bool markers) const
{
    const SeriesRecord& record = m_state.graphSeries.series(index);
    GraphFrame::Series series;
    series.colour = record.colour;
    for (std::size_t k = 0; k < record.points.size(); ++k)
        series.points[k] = QPoint(record.points[k].x, record.points[k].y);
    series.marker = markers;
    if (!markers) {
        // The code's bottom right corner touches the newest point, up and to the left of it.
        series.code = m_state.seriesCodes[std::size_t(index)];
        const QSize room = GraphPainter::textSize(series.code);
        const GraphPoint newest = record.points.back();
        series.codeTopLeft = QPoint(SampleHistory::toPixel(double(newest.x) - room.width()),
            SampleHistory::toPixel(double(newest.y) - room.height()));
    }
    return series;
}
