#pragma once

#include "graph/GraphRenderer.h"

// The check marks of the graph menu. Markers and Labels are kept opposite by their own toggles;
// Auto Range is taken only from the settings and never toggled.
class GraphOptions
{
public:
    bool markers() const { return m_markers; }
    bool labels() const { return m_labels; }
    bool grid() const { return m_grid; }
    bool autoRange() const { return m_autoRange; }

    void toggleMarkers();
    void toggleLabels();
    void toggleGrid();
    // The check marks as the settings file gives them; Labels follows as the opposite of Markers.
    void loadSettings(bool markers, bool grid, bool autoRange);

    // What a drawing reads: the Labels mark is display only.
    GraphRenderer::Options drawOptions() const { return {m_grid, m_markers}; }

private:
    bool m_markers = false;
    bool m_labels = false;
    bool m_grid = false;
    bool m_autoRange = false;
};
