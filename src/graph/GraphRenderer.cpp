#include "graph/GraphRenderer.h"

#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "platform/AnsiCodec.h"
#include "platform/Gdi.h"
#include "platform/SystemColours.h"
#include "stats/SampleHistory.h"

#include <limits>

GraphRenderer::GraphRenderer(GraphState& state, GraphSurface& surface)
    : m_state(state)
    , m_surface(surface)
{ }

void GraphRenderer::drawGraph(const std::array<float, statCount>& currentValues, bool redrawOnly, Options options)
{
    if (!redrawOnly)
        shiftHistory();
    m_surface.clear();
    {
        Gdi gdi(m_surface.image(), m_surface.font());
        if (options.grid)
            drawGrid(gdi);
        if (!redrawOnly)
            storeNewestPoints(currentValues);
        const int seriesCount = std::min(m_state.graphSeries.size(), statCount);
        for (int i = 0; i < seriesCount; ++i) {
            if (!m_state.seriesShown[std::size_t(i)])
                continue;
            const SeriesRecord& record = m_state.graphSeries.series(i);
            drawSeriesLine(gdi, record);
            if (options.markers)
                drawMarker(gdi, record.points.back(), record);
            else
                drawCode(gdi, i, record);
        }
    }
    m_surface.refresh();
}

bool GraphRenderer::setGraphRange(float top)
{
    return m_state.applyRange(top, m_surface.scaleHeight());
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

void GraphRenderer::drawGrid(Gdi& gdi) const
{
    const int width = m_surface.scaleWidth();
    const int height = m_surface.scaleHeight();
    // The horizontal lines count down from the top value as a 16-bit integer; a top beyond that
    // range would put thousands of lines on the same rows, so only the vertical lines are drawn.
    const double top = double(m_state.graphMax);
    if (top > 0.0 && top < double(std::numeric_limits<qint16>::max()) + 0.5) {
        for (int i = SampleHistory::toPixel(top); i >= 0; i -= gridStep) {
            const qint32 y = SampleHistory::toPixel(double(i) / top * height);
            drawGridLine(0, y, width, y, gdi, gridColour);
        }
    }
    for (int j = 0; j <= SeriesRecord::pointCount; j += gridStep) {
        const qint32 x = SampleHistory::toPixel(double(j) * double(m_state.xStep));
        drawGridLine(x, 0, x, height, gdi, gridColour);
    }
}

void GraphRenderer::drawSeriesLine(Gdi& gdi, const SeriesRecord& record)
{
    std::array<QPoint, SeriesRecord::pointCount> points;
    for (std::size_t k = 0; k < points.size(); ++k)
        points[k] = QPoint(record.points[k].x, record.points[k].y);
    const Gdi::Handle pen = gdi.createPen(record.colour);
    const Gdi::Handle keptPen = gdi.selectObject(pen);
    gdi.polyline(points.data(), int(points.size()));
    gdi.deleteObject(gdi.selectObject(keptPen));
}

void GraphRenderer::drawMarker(Gdi& gdi, GraphPoint point, const SeriesRecord& record)
{
    const Gdi::Handle pen = gdi.createPen(record.colour);
    const Gdi::Handle brush = gdi.createSolidBrush(record.colour);
    const Gdi::Handle keptPen = gdi.selectObject(pen);
    const Gdi::Handle keptBrush = gdi.selectObject(brush);
    const std::array<QPoint, 4> diamond{{
        {point.x, point.y - markerReach},
        {point.x + markerReach, point.y},
        {point.x, point.y + markerReach},
        {point.x - markerReach, point.y},
    }};
    gdi.polygon(diamond.data(), int(diamond.size()));
    gdi.deleteObject(gdi.selectObject(keptPen));
    gdi.deleteObject(gdi.selectObject(keptBrush));
}

void GraphRenderer::drawCode(Gdi& gdi, int index, const SeriesRecord& record) const
{
    // The code's bottom right corner touches the newest point, up and to the left of it.
    const QString& code = m_state.seriesCodes[std::size_t(index)];
    const GraphPoint newest = record.points.back();
    const qint32 left = SampleHistory::toPixel(double(newest.x) - m_surface.textWidth(code));
    const qint32 top = SampleHistory::toPixel(double(newest.y) - m_surface.textHeight(code));
    gdi.setTextColor(record.colour);
    gdi.textOutA(left, top, AnsiCodec::encode(code));
}

void GraphRenderer::drawGridLine(int x1, int y1, int x2, int y2, Gdi& gdi, Colour colour)
{
    const Gdi::Handle pen = gdi.createPen(resolveColour(colour));
    const Gdi::Handle keptPen = gdi.selectObject(pen);
    gdi.moveToEx(x1, y1);
    gdi.lineTo(x2, y2);
    gdi.deleteObject(gdi.selectObject(keptPen));
}

Colour GraphRenderer::resolveColour(Colour colour)
{
    return SystemColours::resolve(colour);
}
