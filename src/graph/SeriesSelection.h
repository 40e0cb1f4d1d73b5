#pragma once

#include "platform/Colour.h"

#include <optional>

class GraphState;

// Showing or hiding one statistic in the graph by a click on any of its three value labels.
class SeriesSelection
{
public:
    static constexpr Colour shownColour = 0x00000000;
    static constexpr Colour hiddenColour = 0x00808080;

    struct Result
    {
        Colour labelColour; // for the current, minimum and maximum labels, in that order
        bool redraw; // redraw the history now: only while monitoring is stopped
    };

    // Flips the statistic's selection; nothing for an index outside 0 to 3.
    static std::optional<Result> toggleSeries(GraphState& state, int index, bool monitoring);
};
