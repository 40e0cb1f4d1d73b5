#include "report/ReportJson.h"

#include "report/DayTable.h"
#include "report/FindingText.h"
#include "report/ReportFigures.h"
#include "report/WallClock.h"

#include <QIODevice>

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

// Per cent with two decimals, or null without covered time.
QByteArray availabilityText(qint64 upSeconds, qint64 coveredSeconds)
{
    const std::optional<double> share = availability(upSeconds, coveredSeconds);
    return share ? QByteArray::number(*share, 'f', 2) : QByteArray("null");
}

QByteArray dayObject(const DayFigures& day, RowSpan span)
{
    return "    {\"date\": " + quoted(DayTable::label(day.day, span))
        + ", \"captures\": " + QByteArray::number(day.captures) + ", \"drops\": " + QByteArray::number(day.drops)
        + ", \"down_seconds\": " + QByteArray::number(day.downSeconds) + ", \"availability\": "
        + availabilityText(day.upSeconds, day.coveredSeconds) + ",\n     \"min\": " + rangeObject(day.ranges, true)
        + ",\n     \"max\": " + rangeObject(day.ranges, false) + '}';
}

QByteArray gapObject(const GapRecord& gap)
{
    return "    {\"start\": " + quoted(WallClock::isoDateTime(gap.start)) + ", \"end\": "
        + quoted(WallClock::isoDateTime(gap.end)) + ", \"seconds\": " + QByteArray::number(gap.seconds) + '}';
}

// Collects the text and hands it to the device a piece at a time; remembers a refused write.
class Output
{
public:
    explicit Output(QIODevice& device)
        : m_device(device)
    { }
    void add(const QByteArray& text)
    {
        m_text += text;
        if (m_text.size() >= pieceSize)
            flush();
    }
    bool flush()
    {
        m_ok = m_ok && m_device.write(m_text) == m_text.size();
        m_text.clear();
        return m_ok;
    }

private:
    static constexpr qsizetype pieceSize = qsizetype(1) << 16;
    QIODevice& m_device;
    QByteArray m_text;
    bool m_ok = true;
};

void addDays(const ReportFigures& figures, Output& output)
{
    if (figures.days.empty()) {
        output.add("[]");
        return;
    }
    output.add("[\n");
    for (std::size_t i = 0; i < figures.days.size(); ++i)
        output.add(dayObject(figures.days[i], figures.daySpan) + (i + 1 < figures.days.size() ? ",\n" : "\n"));
    output.add("  ]");
}

bool addGaps(const GapList& gaps, Output& output)
{
    if (gaps.empty()) {
        output.add("[]");
        return true;
    }
    output.add("[\n");
    qint64 left = gaps.count();
    const bool read
        = gaps.forEach([&](const GapRecord& gap) { output.add(gapObject(gap) + (--left > 0 ? ",\n" : "\n")); });
    output.add("  ]");
    return read && left == 0;
}

} // namespace

bool write(const ReportFigures& figures, QIODevice& device)
{
    Output output(device);
    output.add("{\n");
    output.add("  \"captures\": " + QByteArray::number(figures.captures) + ",\n");
    output.add("  \"skipped_lines\": " + QByteArray::number(figures.skippedLines) + ",\n");
    output.add("  \"first\": " + quoted(WallClock::isoDateTime(figures.first)) + ",\n");
    output.add("  \"last\": " + quoted(WallClock::isoDateTime(figures.last)) + ",\n");
    output.add("  \"drops\": " + QByteArray::number(figures.drops) + ",\n");
    output.add("  \"down_seconds\": " + QByteArray::number(figures.downSeconds) + ",\n");
    output.add("  \"longest_drop_seconds\": " + QByteArray::number(figures.longestDropSeconds) + ",\n");
    output.add("  \"availability\": " + availabilityText(figures.upSeconds, figures.coveredSeconds) + ",\n");
    output.add("  \"time_zone\": " + quoted(figures.timeZone) + ",\n");
    output.add(FindingText::jsonMembers(figures.findings));
    output.add("  \"days\": ");
    addDays(figures, output);
    output.add(",\n  \"gaps\": ");
    const bool gapsRead = addGaps(figures.gaps, output);
    output.add("\n}\n");
    return output.flush() && gapsRead;
}

} // namespace ReportJson
