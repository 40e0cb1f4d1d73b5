#include "report/ReportJson.h"

#include "report/FindingText.h"
#include "report/ReportFigures.h"
#include "report/WallClock.h"

#include <array>
#include <charconv>

namespace ReportJson {

namespace {

constexpr std::array<const char*, logStatCount> statKeys{"down_snr", "up_snr", "down_att", "up_att"};

// The shortest text that reads back as the same single-precision value.
QByteArray numberText(float value)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return QByteArray(text.data(), result.ptr - text.data());
}

QByteArray quoted(const QString& text)
{
    return '"' + text.toUtf8() + '"';
}

QByteArray rangeObject(const StatRanges& ranges, bool lowest)
{
    QByteArray text = "{";
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += QByteArray("\"") + statKeys[i] + "\": ";
        const ValueRange& range = ranges[i];
        text += range.seen ? numberText(lowest ? range.min : range.max) : QByteArray("null");
    }
    return text + '}';
}

QByteArray dayObject(const DayFigures& day)
{
    return "    {\"date\": " + quoted(WallClock::isoDate(day.day))
        + ", \"captures\": " + QByteArray::number(day.captures) + ", \"drops\": " + QByteArray::number(day.drops)
        + ", \"down_seconds\": " + QByteArray::number(day.downSeconds) + ",\n     \"min\": "
        + rangeObject(day.ranges, true) + ",\n     \"max\": " + rangeObject(day.ranges, false) + '}';
}

QByteArray gapObject(const GapRecord& gap)
{
    return "    {\"start\": " + quoted(WallClock::isoDateTime(gap.start))
        + ", \"seconds\": " + QByteArray::number(gap.seconds) + '}';
}

template <typename Item, typename Render> QByteArray array(const std::vector<Item>& items, Render render)
{
    if (items.empty())
        return "[]";
    QByteArray text = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += render(items[i]);
        text += i + 1 < items.size() ? ",\n" : "\n";
    }
    return text + "  ]";
}

} // namespace

QByteArray render(const ReportFigures& figures)
{
    QByteArray text = "{\n";
    text += "  \"captures\": " + QByteArray::number(figures.captures) + ",\n";
    text += "  \"skipped_lines\": " + QByteArray::number(figures.skippedLines) + ",\n";
    text += "  \"first\": " + quoted(WallClock::isoDateTime(figures.first)) + ",\n";
    text += "  \"last\": " + quoted(WallClock::isoDateTime(figures.last)) + ",\n";
    text += "  \"drops\": " + QByteArray::number(figures.drops) + ",\n";
    text += "  \"down_seconds\": " + QByteArray::number(figures.downSeconds) + ",\n";
    text += "  \"longest_drop_seconds\": " + QByteArray::number(figures.longestDropSeconds) + ",\n";
    text += FindingText::jsonMembers(figures.findings);
    text += "  \"days\": " + array(figures.days, dayObject) + ",\n";
    text += "  \"gaps\": " + array(figures.gaps, gapObject) + "\n";
    return text + "}\n";
}

} // namespace ReportJson
