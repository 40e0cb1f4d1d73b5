#pragma once

#include <QColor>
#include <QString>

#include <array>

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
    QColor colour;
};

inline constexpr std::array<LineStatDefinition, statCount> lineStatDefinitions{{
    {"Down SNR", "st_dw_snr_margin", "SD", QColor(0, 0, 255)},
    {"Up SNR", "st_up_snr_margin", "SU", QColor(255, 0, 0)},
    {"Down Attenuation", "st_dw_line_attenuation", "AD", QColor(192, 0, 192)},
    {"Up Attenuation", "st_up_line_attenuation", "AU", QColor(0, 128, 0)},
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
// Up Attenuation. Text records are numbered 1 to 4 (statRecords(k)); every other array is
// numbered 0 to 3, so entry k is index k - 1.
class LineStatTable
{
public:
    LineStatTable();

    StatRecord& statRecords(int k) { return m_statRecords.at(std::size_t(k - 1)); }
    const StatRecord& statRecords(int k) const { return m_statRecords.at(std::size_t(k - 1)); }

    std::array<float, statCount> currentValues{};
    std::array<float, statCount> minValues{};
    std::array<float, statCount> maxValues{};
    std::array<QColor, statCount> seriesColours{};
    // Set by every parse that reads the page's lines, so a logged line records only that page.
    std::array<PageValue, statCount> pageValues{};
    // The statistic has had a number in this run; until then its 0.0 start value is no measurement.
    std::array<bool, statCount> measured{};

private:
    std::array<StatRecord, statCount> m_statRecords;
};
