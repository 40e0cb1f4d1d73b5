#pragma once

#include <QString>

#include <span>

// What a screen reader reads for the window's controls: each box by its caption, each value cell by
// the statistic and column it shows with its value, and the graph by the values it draws.
namespace AccessibleNames {

enum class Column
{
    minimum,
    current,
    maximum
};

// A caption as a name: "&IP address:" reads "IP address".
QString fromCaption(const QString& caption);
// "Status: Monitoring", or the name alone while there is no value.
QString withValue(const QString& name, const QString& value);
// "Down SNR" for statistic 0, "Up Attenuation" for 3.
QString statisticName(int index);
// "Down SNR current: 11.5", or "Down SNR current" while the cell is empty.
QString cellName(int index, Column column, const QString& value);
// The graph's description: what it is, then "Down SNR 11.5" for each shown series with a value.
QString graphDescription(const QString& graph, std::span<const bool> shown, std::span<const QString> currentValues);

} // namespace AccessibleNames
