#include "report/ChartReduction.h"

ChartReduction::ChartReduction(std::size_t maxBuckets)
    : m_maxBuckets(maxBuckets)
{ }

qint64 ChartReduction::floorDivide(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

void ChartReduction::add(qint64 stamp, const LogCapture& capture, bool down)
{
    if (!m_started) {
        m_started = true;
        m_origin = stamp;
    }
    qint64 index = floorDivide(stamp - m_origin, m_width);
    if (m_last == m_slots.end() || m_last->first != index) {
        widenToHold(index);
        index = floorDivide(stamp - m_origin, m_width);
        m_last = m_slots.try_emplace(index).first;
    }
    Slot& slot = m_last->second;
    for (int i = 0; i < logStatCount; ++i) {
        if (capture.numberMask & (1u << i))
            slot.ranges[std::size_t(i)].add(capture.values[std::size_t(i)]);
    }
    slot.down = slot.down || down;
}

// Doubles the stretch length until the stretches from the first to the last fit the limit,
// merging neighbours as it goes.
void ChartReduction::widenToHold(qint64 index)
{
    if (m_slots.empty())
        return;
    qint64 low = std::min(m_slots.begin()->first, index);
    qint64 high = std::max(m_slots.rbegin()->first, index);
    if (high - low < qint64(m_maxBuckets))
        return;
    while (high - low >= qint64(m_maxBuckets)) {
        std::map<qint64, Slot> merged;
        for (const auto& [number, slot] : m_slots) {
            Slot& target = merged[floorDivide(number, 2)];
            for (std::size_t i = 0; i < target.ranges.size(); ++i)
                target.ranges[i].add(slot.ranges[i]);
            target.down = target.down || slot.down;
        }
        m_slots = std::move(merged);
        m_width *= 2;
        low = floorDivide(low, 2);
        high = floorDivide(high, 2);
    }
    m_last = m_slots.end();
}

std::vector<ChartBucket> ChartReduction::buckets() const
{
    std::vector<ChartBucket> result;
    result.reserve(m_slots.size());
    for (const auto& [number, slot] : m_slots) {
        const qint64 start = m_origin + number * m_width;
        result.push_back({start, start + m_width, slot.ranges, slot.down});
    }
    return result;
}
