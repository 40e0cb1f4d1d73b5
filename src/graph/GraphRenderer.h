#pragma once

#include "platform/Colour.h"
#include "stats/LineStatTable.h"

#include <array>

class Gdi;
class GraphState;
class GraphSurface;
struct GraphPoint;
struct SeriesRecord;

// Draws the sample history on the graph surface: white background, optional grid, one line per
// shown series in index order, and at each newest point a diamond marker or the series code.
class GraphRenderer
{
public:
    // The menu's check marks, read by the window at every drawing.
    struct Options
    {
        bool grid = false;
        bool markers = false;
    };

    static constexpr Colour gridColour = 0x00EFE7BD;
    static constexpr int gridStep = 10;
    static constexpr int markerReach = 3;

    GraphRenderer(GraphState& state, GraphSurface& surface);
    Q_DISABLE_COPY_MOVE(GraphRenderer)

    // A capture (redrawOnly false) shifts the history and stores the values as the newest points
    // first; a redraw shows the history unchanged.
    void drawGraph(const std::array<float, statCount>& currentValues, bool redrawOnly, Options options);
    // False, with range and scale unchanged, for a top value that gives no usable scale.
    bool setGraphRange(float top);

private:
    void shiftHistory();
    void storeNewestPoints(const std::array<float, statCount>& currentValues);
    void drawGrid(Gdi& gdi) const;
    static void drawSeriesLine(Gdi& gdi, const SeriesRecord& record);
    static void drawMarker(Gdi& gdi, GraphPoint point, const SeriesRecord& record);
    void drawCode(Gdi& gdi, int index, const SeriesRecord& record) const;
    static void drawGridLine(int x1, int y1, int x2, int y2, Gdi& gdi, Colour colour);
    static Colour resolveColour(Colour colour);

    GraphState& m_state;
    GraphSurface& m_surface;
};
