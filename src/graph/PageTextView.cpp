#include "graph/PageTextView.h"

#include "graph/GraphState.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"

int PageTextView::togglePageText(AppState& state, GraphState& graph, std::span<const QColor> seriesColours)
{
    state.debugView = !state.debugView;
    const int width = state.debugView ? narrowWidth : fullWidth;
    graph.computeXStep(width);
    graph.graphSeries.initHistory(statCount - 1, seriesColours, graph.xStep, graph.yScale);
    return width;
}
