#include "report/DayMedians.h"

#include <algorithm>

namespace {

constexpr float lowestTenth = -50.0f; // values below share the first slot
constexpr float highestTenth = 150.0f; // values above share the last slot
constexpr std::size_t slotCount = std::size_t((highestTenth - lowestTenth) * 10) + 1;

// The nearest tenth: each slot starts half a tenth below its value, so cutting off the distance
// from the first slot's start, never negative, finds it without a library call for every value.
std::size_t slotOf(float value)
{
    return std::size_t((std::clamp(value, lowestTenth, highestTenth) - lowestTenth + 0.05f) * 10.0f);
}

float medianOf(const quint32* tenths, qint64 count)
{
    const qint64 middle = (count - 1) / 2;
    qint64 seen = 0;
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        seen += tenths[slot];
        if (seen > middle)
            return lowestTenth + float(slot) / 10.0f;
    }
    return highestTenth;
}

} // namespace

DayMedians::DayMedians()
    : m_tenths(slotCount * logStatCount, 0)
{ }

void DayMedians::add(qint64 day, const std::array<float, logStatCount>& values)
{
    if (!m_open || day != m_openDay) {
        if (m_closed.count(day) != 0)
            return;
        close();
        m_open = true;
        m_openDay = day;
    }
    ++m_openCaptures;
    for (std::size_t stat = 0; stat < values.size(); ++stat)
        ++m_tenths[stat * slotCount + slotOf(values[stat])];
}

void DayMedians::close()
{
    if (!m_open)
        return;
    // Only a readable day is kept, so a log of a capture a day over centuries holds nothing here.
    if (m_openCaptures >= minimumCaptures) {
        if (m_closed.size() < maxDays)
            keep(m_openDay, m_openCaptures);
        else
            m_overflowed = true;
    }
    std::fill(m_tenths.begin(), m_tenths.end(), 0);
    m_open = false;
    m_openCaptures = 0;
}

void DayMedians::keep(qint64 day, qint64 captures)
{
    Day& closed = m_closed[day];
    closed.day = day;
    closed.captures = captures;
    for (std::size_t stat = 0; stat < closed.medians.size(); ++stat)
        closed.medians[stat] = medianOf(m_tenths.data() + stat * slotCount, captures);
}

std::vector<DayMedians::Day> DayMedians::days()
{
    close();
    std::vector<Day> result;
    for (const auto& entry : m_closed) {
        if (entry.second.captures >= minimumCaptures)
            result.push_back(entry.second);
    }
    return result;
}
