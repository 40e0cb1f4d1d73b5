#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <optional>

// How many line statistics the program follows: the table, the window's labels, the graph's series,
// the CSV columns and the report all count this many.
inline constexpr int statCount = 4;

// The fixed definition of one statistic, in table order.
struct LineStatDefinition
{
    const char* name; // display name and CSV column heading
    const char* pageKey; // the variable name looked for on the router page
    const char* code;
    QColor colour;
};

inline constexpr std::array<LineStatDefinition, statCount> lineStatDefinitions{{
    {"Down SNR", "st_dw_snr_margin", "SD", QColor(0, 0, 255)},
    {"Up SNR", "st_up_snr_margin", "SU", QColor(255, 0, 0)},
    {"Down Attenuation", "st_dw_line_attenuation", "AD", QColor(192, 0, 192)},
    {"Up Attenuation", "st_up_line_attenuation", "AU", QColor(0, 128, 0)},
}};

// What the page of the latest parse held for one statistic.
enum class PageValue
{
    absent, // no line of the page carried the key
    number,
    notAvailable, // "NA"
    otherText, // neither "NA" nor a number
};

// What one page held for one statistic: the last line that carried its key decides the text, and
// the last number any of those lines gave stays the number.
struct PageEntry
{
    PageValue kind = PageValue::absent;
    QString text;
    std::optional<float> number;
};

using PageReading = std::array<PageEntry, statCount>;

// The four monitored line statistics as the router's pages gave them, always in the order Down SNR,
// Up SNR, Down Attenuation, Up Attenuation: index i of every array is the same statistic.
class LineStatTable
{
public:
    LineStatTable();

    // Takes what a parsed page held. A statistic the page did not carry keeps its text, and one
    // without a number keeps its current value, so the values only ever hold numbers the router
    // really reported.
    void takePage(const PageReading& reading);

    std::array<QString, statCount> valueTexts; // as last cut out of a page; may be "NA"
    std::array<float, statCount> currentValues{};
    std::array<QColor, statCount> seriesColours{};
    // What the latest page held, so a logged line records only that page.
    std::array<PageValue, statCount> pageValues{};
    // The statistic has had a number in this run; until then its 0.0 start value is no measurement.
    std::array<bool, statCount> measured{};
};
