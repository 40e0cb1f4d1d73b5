#include "graph/PageTextView.h"

#include "graph/GraphState.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"

int PageTextView::lblStatusLabelClick(AppState& state, GraphState& graph, std::span<const Colour> seriesColours)
{
    state.debugView = !state.debugView;
    const int widthPixels = (state.debugView ? narrowWidthTwips : fullWidthTwips) / twipsPerPixel;
    graph.computeXStep(widthPixels);
    graph.graphSeries.initHistory(statCount - 1, seriesColours, graph.xStep, graph.yScale);
    return widthPixels;
}
