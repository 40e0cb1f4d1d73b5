#pragma once

#include <QColor>

#include <span>

class GraphState;
struct AppState;

// The page-text view switch behind a click on "Status:": the graph narrows to free the page-text
// box, or takes its full width again, and the history starts afresh at the new width.
class PageTextView
{
public:
    static constexpr int narrowWidth = 193;
    static constexpr int fullWidth = 393;

    // Flips debugView, recomputes xStep and rebuilds the history; returns the graph's new width in
    // pixels for the window to apply. Nothing is redrawn.
    static int togglePageText(AppState& state, GraphState& graph, std::span<const QColor> seriesColours);
};
