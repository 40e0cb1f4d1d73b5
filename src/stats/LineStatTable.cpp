#include "stats/LineStatTable.h"

LineStatTable::LineStatTable()
{
    for (std::size_t i = 0; i < lineStatDefinitions.size(); ++i)
        seriesColours[i] = lineStatDefinitions[i].colour;
}

void LineStatTable::takePage(const PageReading& reading)
{
    for (std::size_t i = 0; i < reading.size(); ++i) {
        const PageEntry& entry = reading[i];
        pageValues[i] = entry.kind;
        if (entry.kind != PageValue::absent)
            valueTexts[i] = entry.text;
        if (entry.number) {
            currentValues[i] = *entry.number;
            measured[i] = true;
        }
    }
}
