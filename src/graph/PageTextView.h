#pragma once

#include <QColor>

#include <span>

class GraphState;

// The page-text view switch behind a click on "Status:": the graph narrows to free the page-text
// box, or takes its full width again, and the history starts afresh at the new width.
class PageTextView
{
public:
    static constexpr int narrowWidth = 193;
    static constexpr int fullWidth = 393;

    // Recomputes xStep for the graph's width with the page text shown or not and rebuilds the
    // history; returns that width in pixels for the window to apply. Nothing is redrawn.
    static int togglePageText(bool pageTextShown, GraphState& graph, std::span<const QColor> seriesColours);
};
