#pragma once

#include "stats/LineStatTable.h"

#include <QtGlobal>

#include <array>
#include <string_view>

constexpr int logStatCount = statCount; // the log's columns are the table's statistics

// One capture as a line of the CSV log holds it.
struct LogCapture
{
    qint64 stamp = 0; // wall-clock seconds, see WallClock
    std::array<float, logStatCount> values{};
    unsigned numberMask = 0; // bit i set: statistic i is a number on this line
};

enum class LogLineKind
{
    capture,
    header, // a column header, from either layout
    blank,
    bad // no valid date and time, or not four value fields
};

struct LogLine
{
    LogLineKind kind = LogLineKind::bad;
    LogCapture capture; // set for captures only
};

// Reads one line of either layout ("dd/MM/yyyy,HH:mm:ss,..." or "dd/MM/yyyy HH:mm:ss,..."), given
// without its line feed; a carriage return before it is dropped. Fields may be quoted with doubled
// quotes inside; a value that is "NA", quoted text or anything but a plain decimal number is not a
// number.
LogLine parseLogLine(std::string_view line);
