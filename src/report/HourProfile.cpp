#include "report/HourProfile.h"

#include <algorithm>

namespace {

constexpr std::size_t slotCount = std::size_t((HourProfile::highestTenth - HourProfile::lowestTenth) * 10) + 1;

} // namespace

HourProfile::HourProfile()
{
    for (auto& hours : m_cells) {
        for (Cell& cell : hours)
            cell.tenths.assign(slotCount, 0);
    }
}

// The nearest tenth: each slot starts half a tenth below its value, so cutting off the distance
// from the first slot's start, never negative, finds it without a library call for every value.
std::size_t HourProfile::slotOf(float value)
{
    const float clamped = std::clamp(value, lowestTenth, highestTenth);
    return std::size_t((clamped - lowestTenth + 0.05f) * 10.0f);
}

void HourProfile::add(int hour, const LogCapture& capture)
{
    for (std::size_t stat = 0; stat < m_cells.size(); ++stat) {
        if (!(capture.numberMask & (1u << stat)))
            continue;
        Cell& cell = m_cells[stat][std::size_t(hour)];
        const float value = capture.values[stat];
        ++cell.captures;
        cell.range.add(value);
        ++cell.tenths[slotOf(value)];
    }
}

HourFigures HourProfile::summaryOf(const Cell& cell)
{
    HourFigures figures;
    figures.captures = cell.captures;
    if (cell.captures == 0)
        return figures;
    figures.min = cell.range.min;
    figures.max = cell.range.max;
    const qint64 middle = (cell.captures - 1) / 2;
    qint64 seen = 0;
    for (std::size_t slot = 0; slot < cell.tenths.size(); ++slot) {
        seen += cell.tenths[slot];
        if (seen > middle) {
            // Clamped slots stand for values beyond them; the exact range keeps the median inside.
            figures.median = std::clamp(lowestTenth + float(slot) / 10.0f, figures.min, figures.max);
            break;
        }
    }
    return figures;
}

std::array<std::array<HourFigures, 24>, 2> HourProfile::figures() const
{
    std::array<std::array<HourFigures, 24>, 2> result;
    for (std::size_t stat = 0; stat < m_cells.size(); ++stat) {
        for (std::size_t hour = 0; hour < 24; ++hour)
            result[stat][hour] = summaryOf(m_cells[stat][hour]);
    }
    return result;
}
