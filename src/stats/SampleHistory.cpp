#include "stats/SampleHistory.h"

#include <algorithm>
#include <cmath>

void SampleHistory::initHistory(int count, std::span<const QColor> colours, float xStep, float yScale)
{
    m_series.assign(std::size_t(std::max(count, 0)), SeriesRecord{});
    const qint32 startY = toPixel(double(yScale) * 100.0);
    for (std::size_t r = 0; r < m_series.size(); ++r) {
        SeriesRecord& record = m_series[r];
        for (int i = 0; i < SeriesRecord::pointCount; ++i)
            record.points[std::size_t(i)] = {toPixel(double(xStep) * i), startY};
        record.colour = r < colours.size() ? colours[r] : QColor(0, 0, 0);
    }
}

qint32 SampleHistory::toPixel(double value)
{
    if (std::isnan(value))
        return qint32(pixelLimit);
    const double clamped = std::clamp(value, -pixelLimit, pixelLimit);
    double nearest = std::round(clamped);
    if (std::abs(clamped - std::trunc(clamped)) == 0.5)
        nearest = 2.0 * std::round(clamped / 2.0);
    return qint32(nearest);
}
