#pragma once

#include <QColor>

#include <optional>

class GraphState;

// Showing or hiding one statistic in the graph by a click on any of its three value labels.
class SeriesSelection
{
public:
    static constexpr QColor shownColour{0, 0, 0};
    static constexpr QColor hiddenColour{128, 128, 128};

    struct Result
    {
        QColor labelColour; // for the current, minimum and maximum labels, in that order
        bool redraw; // redraw the history now: only while monitoring is stopped
    };

    // Flips the statistic's selection; nothing for an index outside 0 to 3.
    static std::optional<Result> toggleSeries(GraphState& state, int index, bool monitoring);
};
