#pragma once

#include "platform/Colour.h"

#include <QString>

#include <array>

// How many line statistics the program follows: the table, the window's labels, the graph's series,
// the CSV columns and the report all count this many.
inline constexpr int statCount = 4;

// The text fields of one monitored statistic.
struct StatRecord
{
    QString name; // display name and CSV column heading
    QString pageKey; // the variable name looked for on the router page
    QString valueText; // the text last cut out of the page for this key; may be "NA"
};

// The fixed definition of one statistic, in table order.
struct LineStatDefinition
{
    const char* name;
    const char* pageKey;
    const char* code;
    Colour colour;
};

inline constexpr std::array<LineStatDefinition, statCount> lineStatDefinitions{{
    {"Down SNR", "st_dw_snr_margin", "SD", 0xFF0000},
    {"Up SNR", "st_up_snr_margin", "SU", 0x0000FF},
    {"Down Attenuation", "st_dw_line_attenuation", "AD", 0xC000C0},
    {"Up Attenuation", "st_up_line_attenuation", "AU", 0x008000},
}};

inline constexpr float initialMinimum = 100.0f;

// What the page of the latest parse held for one statistic.
enum class PageValue
{
    absent, // no line of the page carried the key
    number,
    notAvailable, // "NA"
    otherText, // neither "NA" nor a number
};

// The four monitored line statistics, always in the order Down SNR, Up SNR, Down Attenuation,
// Up Attenuation: index i of every array is the same statistic.
class LineStatTable
{
public:
    LineStatTable();

    std::array<StatRecord, statCount> statRecords;
    std::array<float, statCount> currentValues{};
    std::array<float, statCount> minValues{};
    std::array<float, statCount> maxValues{};
    std::array<Colour, statCount> seriesColours{};
    // Set by every parse that reads the page's lines, so a logged line records only that page.
    std::array<PageValue, statCount> pageValues{};
    // The statistic has had a number in this run; until then its 0.0 start value is no measurement.
    std::array<bool, statCount> measured{};
};
