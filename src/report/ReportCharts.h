#pragma once

#include <QString>

struct ReportFigures;

// The report's two charts as inline SVG: no scripts, no fonts or pictures fetched, sized by their
// view box so they fill the page's width on screen and on paper.
namespace ReportCharts {

// Series colours of the window's graph, in the statistics' order.
inline constexpr const char* seriesColours[] = {"#0000FF", "#FF0000", "#C000C0", "#008000"};
inline constexpr const char* seriesNames[] = {"Down SNR", "Up SNR", "Down Attenuation", "Up Attenuation"};

// The four statistics over the whole period, one pixel column holding the lowest and highest value
// of its stretch of time; the line's down stretches shaded, pauses of the log left blank.
QString timeChart(const ReportFigures& figures);

// Both SNR margins by hour of the day: the range of each hour as a bar, the median as a line.
QString hourChart(const ReportFigures& figures);

} // namespace ReportCharts
