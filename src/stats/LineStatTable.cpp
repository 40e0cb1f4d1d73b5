#include "stats/LineStatTable.h"

LineStatTable::LineStatTable()
{
    for (std::size_t i = 0; i < lineStatDefinitions.size(); ++i) {
        const LineStatDefinition& definition = lineStatDefinitions[i];
        statRecords[i].name = QString::fromLatin1(definition.name);
        statRecords[i].pageKey = QString::fromLatin1(definition.pageKey);
        seriesColours[i] = definition.colour;
        minValues[i] = initialMinimum;
    }
}
