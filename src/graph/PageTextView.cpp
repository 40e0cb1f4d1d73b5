#include "graph/PageTextView.h"

#include "graph/GraphState.h"
#include "stats/LineStatTable.h"

int PageTextView::lblStatusLabelClick(bool pageTextShown, GraphState& graph, std::span<const Colour> seriesColours)
{
    const int widthPixels = (pageTextShown ? narrowWidthTwips : fullWidthTwips) / twipsPerPixel;
    graph.computeXStep(widthPixels);
    graph.graphSeries.initHistory(statCount, seriesColours, graph.xStep, graph.yScale);
    return widthPixels;
}
