#pragma once

#include "stats/SampleHistory.h"

#include <QColor>
#include <QLine>
#include <QPoint>
#include <QString>

#include <array>
#include <vector>

// What one drawing of the graph shows, in the surface's pixels at scale 1: the grid under
// everything, then the shown series in index order, so that a later series covers an earlier one.
struct GraphFrame
{
    struct Series
    {
        QColor colour;
        std::array<QPoint, SeriesRecord::pointCount> points;
        bool marker = false; // a diamond at the newest point; otherwise the code
        QString code;
        QPoint codeTopLeft;
    };

    std::vector<QLine> grid;
    std::vector<Series> series;
};
