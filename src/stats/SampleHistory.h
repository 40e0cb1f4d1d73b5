#pragma once

#include <QColor>
#include <QtGlobal>

#include <array>
#include <span>
#include <vector>

// One drawable point of the graph, in surface pixels.
struct GraphPoint
{
    qint32 x = 0;
    qint32 y = 0;

    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};

// The drawable series of one statistic: its pen colour and the last 100 points, oldest first.
struct SeriesRecord
{
    static constexpr int pointCount = 100;

    QColor colour{0, 0, 0};
    std::array<GraphPoint, pointCount> points{};
};

// The graph's sample history: ready pixel positions, not values, so a redraw does no arithmetic.
class SampleHistory
{
public:
    // Discards every record and builds count records at their start positions; colours beyond the
    // given ones are black.
    void initHistory(int count, std::span<const QColor> colours, float xStep, float yScale);

    int size() const { return int(m_series.size()); }
    SeriesRecord& series(int index) { return m_series.at(std::size_t(index)); }
    const SeriesRecord& series(int index) const { return m_series.at(std::size_t(index)); }

    // A computed coordinate as a pixel: nearest integer, halves to the even neighbour. Values beyond
    // a million pixels are far off any surface and are held there, so that the integer cannot
    // overflow and the drawing layer never sees absurd coordinates; NaN lies off the bottom edge.
    static qint32 toPixel(double value);

    static constexpr double pixelLimit = 1.0e6;

private:
    std::vector<SeriesRecord> m_series;
};
