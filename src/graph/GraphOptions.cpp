#include "graph/GraphOptions.h"

void GraphOptions::toggleMarkers()
{
    m_markers = !m_markers;
    m_labels = !m_markers;
}

void GraphOptions::toggleLabels()
{
    m_labels = !m_labels;
    m_markers = !m_labels;
}

void GraphOptions::toggleGrid()
{
    m_grid = !m_grid;
}

void GraphOptions::loadSettings(bool markers, bool grid, bool autoRange)
{
    m_markers = markers;
    m_labels = !markers;
    m_grid = grid;
    m_autoRange = autoRange;
}
