#pragma once

#include "graph/GraphFrame.h"
#include "stats/LineStatTable.h"

#include <array>

class GraphState;
class GraphSurface;

// Turns the sample history into what the graph surface shows: white background, optional grid, one
// line per shown series in index order, and at each newest point a diamond marker or the series code.
class GraphRenderer
{
public:
    // The menu's check marks, read by the window at every drawing.
    struct Options
    {
        bool grid = false;
        bool markers = false;
    };

    static constexpr int gridStep = 10;

    GraphRenderer(GraphState& state, GraphSurface& surface);
    Q_DISABLE_COPY_MOVE(GraphRenderer)

    // A capture (redrawOnly false) shifts the history and stores the values as the newest points
    // first; a redraw shows the history unchanged.
    void drawGraph(const std::array<float, statCount>& currentValues, bool redrawOnly, Options options);
    // False, with range and scale unchanged, for a top value that gives no usable scale.
    bool setGraphRange(float top);
    // What a drawing of the current history with these options shows.
    GraphFrame frame(Options options) const;

private:
    void shiftHistory();
    void storeNewestPoints(const std::array<float, statCount>& currentValues);
    std::vector<QLine> gridLines() const;
    GraphFrame::Series seriesFrame(int index, bool markers) const;

    GraphState& m_state;
    GraphSurface& m_surface;
};
