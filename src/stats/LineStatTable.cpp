#include "stats/LineStatTable.h"

LineStatTable::LineStatTable()
{
    for (std::size_t i = 0; i < lineStatDefinitions.size(); ++i) {
        const LineStatDefinition& definition = lineStatDefinitions[i];
        m_statRecords[i].name = QString::fromLatin1(definition.name);
        m_statRecords[i].pageKey = QString::fromLatin1(definition.pageKey);
        seriesColours[i] = definition.colour;
        minValues[i] = initialMinimum;
    }
}
