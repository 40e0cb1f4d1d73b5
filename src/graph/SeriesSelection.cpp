#include "graph/SeriesSelection.h"

#include "graph/GraphState.h"

std::optional<SeriesSelection::Result> SeriesSelection::toggleSeries(GraphState& state, int index, bool monitoring)
{
    if (index < 0 || index >= int(state.seriesShown.size()))
        return std::nullopt;
    bool& shown = state.seriesShown[std::size_t(index)];
    shown = !shown;
    // While monitoring runs the new selection shows at the next capture, so a redraw never meets one.
    return Result{shown ? shownColour : hiddenColour, !monitoring};
}
