#pragma once

#include <cstddef>

class QIODevice;
class ReportBuilder;

// Streams a CSV log into the builder in one pass, a chunk at a time, so memory does not depend on
// the file's size. Lines end in LF or CR LF; header and blank lines are passed over; every other line
// that is not a capture is counted as skipped, and so is a line too long to be one, without being
// held whole.
class LogReader
{
public:
    static constexpr std::size_t longestLine = 4096;

    // False when reading the device failed part way.
    static bool read(QIODevice& device, ReportBuilder& builder);
};
