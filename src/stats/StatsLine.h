#pragma once

#include "stats/LineStatTable.h"

#include <QString>

class QDateTime;

// The lines a capture logs. While the window shows the value texts exactly as they were cut from the
// router page, the CSV data line holds them as safe CSV fields, and "NA" for a statistic the latest
// page did not carry.
namespace StatsLine {

// The column names: the date and time in two columns or in one, then the statistics' names.
QString csvHeader(bool separateDateTime);

// The capture's date and time and the value fields of the latest page, without a line end.
QString csvDataLine(const LineStatTable& table, const QDateTime& time, bool separateDateTime);

} // namespace StatsLine
