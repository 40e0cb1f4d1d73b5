#include "graph/PageTextView.h"

#include "graph/GraphState.h"
#include "stats/LineStatTable.h"

int PageTextView::togglePageText(bool pageTextShown, GraphState& graph, std::span<const QColor> seriesColours)
{
    const int width = pageTextShown ? narrowWidth : fullWidth;
    graph.computeXStep(width);
    graph.graphSeries.initHistory(statCount, seriesColours, graph.xStep, graph.yScale);
    return width;
}
