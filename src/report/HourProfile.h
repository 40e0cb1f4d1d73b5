#pragma once

#include "report/ReportFigures.h"

#include <QtGlobal>

#include <array>
#include <vector>

// The two SNR margins by hour of the day: exact lowest and highest values, and a count of values
// in tenths of a dB from which the median is read, so memory is fixed however long the log is.
class HourProfile
{
public:
    static constexpr float lowestTenth = -50.0f; // values below share the first slot
    static constexpr float highestTenth = 150.0f; // values above share the last slot

    HourProfile();

    void add(int hour, const LogCapture& capture);
    std::array<std::array<HourFigures, 24>, 2> figures() const;

private:
    struct Cell
    {
        qint64 captures = 0;
        ValueRange range;
        std::vector<quint32> tenths;
    };

    static std::size_t slotOf(float value);
    static HourFigures summaryOf(const Cell& cell);

    std::array<std::array<Cell, 24>, 2> m_cells;
};
