#include "report/ReportCharts.h"

#include "report/ReportFigures.h"
#include "report/WallClock.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ReportCharts {

namespace {

// The drawing area inside the view box; the rest holds the axes' labels.
struct Plot
{
    double left = 56;
    double right = 990;
    double top = 12;
    double bottom = 0;
    double low = 0; // value at the bottom
    double high = 10; // value at the top

    double y(double value) const { return bottom - (value - low) / (high - low) * (bottom - top); }
};

QString number(double value)
{
    return QString::number(value, 'f', 1);
}

// A step of 1, 2 or 5 times a power of ten that cuts the span into at most about eight parts.
double niceStep(double span)
{
    const double rough = span / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10.0 * power;
}

void fitRange(Plot& plot, double low, double high)
{
    low = std::min(low, 0.0);
    if (!(high > low))
        high = low + 10.0;
    const double step = niceStep(high - low);
    plot.low = std::floor(low / step) * step;
    plot.high = std::ceil(high / step) * step;
    if (!(plot.high > plot.low))
        plot.high = plot.low + step;
}

QString valueAxis(const Plot& plot)
{
    QString svg;
    const double step = niceStep(plot.high - plot.low);
    const auto ticks = qint64(std::llround((plot.high - plot.low) / step));
    for (qint64 tick = 0; tick <= ticks; ++tick) {
        const double value = plot.low + double(tick) * step;
        const QString y = number(plot.y(value));
        svg += QStringLiteral("<line class=\"grid\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\"/>")
                   .arg(number(plot.left), y, number(plot.right));
        svg += QStringLiteral("<text class=\"tick\" x=\"%1\" y=\"%2\" text-anchor=\"end\">%3</text>")
                   .arg(number(plot.left - 4), number(plot.y(value) + 3), QString::number(value, 'g', 6));
    }
    svg += QStringLiteral("<text class=\"tick\" x=\"4\" y=\"%1\">dB</text>").arg(number(plot.top + 8));
    return svg;
}

QString thresholdLine(const Plot& plot, float threshold, const QString& label)
{
    const QString y = number(plot.y(threshold));
    return QStringLiteral("<line class=\"threshold\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\"/>"
                          "<text class=\"tick label\" x=\"%4\" y=\"%5\" text-anchor=\"end\">%6</text>")
        .arg(number(plot.left), y, number(plot.right), number(plot.right - 2), number(plot.y(threshold) - 3),
            label.toHtmlEscaped());
}

// One pixel column of the time chart.
struct Column
{
    StatRanges ranges;
    bool captured = false;
    bool down = false;
    bool paused = false; // lies inside a pause of the log
};

class TimeColumns
{
public:
    TimeColumns(const ReportFigures& figures, const Plot& plot)
        : m_first(figures.first)
        , m_span(std::max<qint64>(figures.last - figures.first, 1))
        , m_columns(std::size_t(plot.right - plot.left))
    {
        for (const ChartBucket& bucket : figures.chart)
            addBucket(bucket);
        figures.gaps.forEach([this](const GapRecord& gap) { markPause(gap); });
    }

    std::size_t size() const { return m_columns.size(); }
    const Column& operator[](std::size_t index) const { return m_columns[index]; }
    double offsetOf(qint64 stamp) const { return double(stamp - m_first) / double(m_span) * double(size()); }

private:
    std::size_t columnOf(qint64 stamp) const
    {
        const double offset = std::clamp(offsetOf(stamp), 0.0, double(size() - 1));
        return std::size_t(offset);
    }

    void addBucket(const ChartBucket& bucket)
    {
        const std::size_t from = columnOf(bucket.start);
        const std::size_t to = std::max(from, columnOf(bucket.end - 1));
        for (std::size_t index = from; index <= to; ++index) {
            Column& column = m_columns[index];
            for (std::size_t i = 0; i < column.ranges.size(); ++i)
                column.ranges[i].add(bucket.ranges[i]);
            column.captured = true;
            column.down = column.down || bucket.down;
        }
    }

    void markPause(const GapRecord& gap)
    {
        const double from = offsetOf(gap.start);
        const double to = offsetOf(gap.end);
        const auto first = std::size_t(std::clamp(from, 0.0, double(size())));
        const auto last = std::size_t(std::clamp(to + 1.0, 0.0, double(size())));
        for (std::size_t index = first; index < last; ++index) {
            const double middle = double(index) + 0.5;
            if (middle > from && middle < to && !m_columns[index].captured)
                m_columns[index].paused = true;
        }
    }

    qint64 m_first;
    qint64 m_span;
    std::vector<Column> m_columns;
};

QString downShading(const TimeColumns& columns, const Plot& plot)
{
    QString svg;
    std::size_t index = 0;
    while (index < columns.size()) {
        if (!columns[index].down) {
            ++index;
            continue;
        }
        const std::size_t start = index;
        while (index < columns.size() && columns[index].down)
            ++index;
        svg += QStringLiteral("<rect class=\"down\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>")
                   .arg(number(plot.left + double(start)), number(plot.top), QString::number(index - start),
                       number(plot.bottom - plot.top));
    }
    return svg;
}

// One mark per run of pixel columns touched by pauses, however many pauses the log has.
QString pauseBands(const ReportFigures& figures, const TimeColumns& columns, const Plot& plot)
{
    std::vector<bool> marked(columns.size(), false);
    const double last = double(columns.size() - 1);
    figures.gaps.forEach([&](const GapRecord& gap) {
        const auto from = std::size_t(std::clamp(columns.offsetOf(gap.start), 0.0, last));
        const auto to = std::size_t(std::clamp(columns.offsetOf(gap.end), 0.0, last));
        std::fill(marked.begin() + qsizetype(from), marked.begin() + qsizetype(to) + 1, true);
    });
    QString svg;
    std::size_t index = 0;
    while (index < marked.size()) {
        if (!marked[index]) {
            ++index;
            continue;
        }
        const std::size_t start = index;
        while (index < marked.size() && marked[index])
            ++index;
        svg += QStringLiteral("<rect class=\"pause\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"5\"/>")
                   .arg(number(plot.left + double(start)), number(plot.bottom + 2), QString::number(index - start));
    }
    return svg;
}

// Down the column from the highest to the lowest value and on to the next column, so every
// column's whole range is drawn; a pause of the log ends the line.
QString seriesPath(const TimeColumns& columns, const Plot& plot, std::size_t stat)
{
    QString path;
    bool drawing = false;
    for (std::size_t index = 0; index < columns.size(); ++index) {
        const Column& column = columns[index];
        if (column.paused) {
            drawing = false;
            continue;
        }
        const ValueRange& range = column.ranges[stat];
        if (!range.seen)
            continue;
        const QString x = number(plot.left + double(index) + 0.5);
        path += QStringLiteral("%1%2 %3L%2 %4 ")
                    .arg(QChar(drawing ? u'L' : u'M'))
                    .arg(x, number(plot.y(range.max)), number(plot.y(range.min)));
        drawing = true;
    }
    if (path.isEmpty())
        return {};
    return QStringLiteral("<path class=\"series\" stroke=\"%1\" d=\"%2\"/>")
        .arg(QLatin1String(seriesColours[stat]), path);
}

qint64 tickStepFor(qint64 span)
{
    constexpr qint64 hour = 3600;
    constexpr qint64 day = WallClock::secondsPerDay;
    static constexpr qint64 steps[] = {hour, 2 * hour, 3 * hour, 6 * hour, 12 * hour, day, 2 * day, 7 * day, 14 * day,
        28 * day, 91 * day, 182 * day, 364 * day};
    for (const qint64 step : steps) {
        if (span / step <= 10)
            return step;
    }
    return span / 10 + 1;
}

QString timeAxis(const ReportFigures& figures, const TimeColumns& columns, const Plot& plot)
{
    const qint64 span = figures.last - figures.first;
    const qint64 step = tickStepFor(span);
    const bool daily = step >= WallClock::secondsPerDay;
    const qint64 unit = daily ? WallClock::secondsPerDay : 3600;
    QString svg;
    bool minor = false; // every other label, left out where the chart is narrow
    for (qint64 tick = (figures.first + unit - 1) / unit * unit; tick <= figures.last; tick += step) {
        const double x = plot.left + columns.offsetOf(tick);
        const QString label = daily ? WallClock::isoDate(WallClock::dayOf(tick))
                                    : WallClock::isoDateTime(tick).mid(5, 11).replace(u'T', u' ');
        svg += QStringLiteral("<line class=\"grid\" x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/>"
                              "<text class=\"tick%6\" x=\"%1\" y=\"%4\" text-anchor=\"middle\">%5</text>")
                   .arg(number(x), number(plot.top), number(plot.bottom), number(plot.bottom + 18), label,
                       minor ? QStringLiteral(" minor") : QString());
        minor = !minor;
    }
    return svg;
}

void valueBounds(const ReportFigures& figures, double& low, double& high)
{
    low = std::min(figures.snrThreshold, figures.attThreshold);
    high = std::max(figures.snrThreshold, figures.attThreshold);
    for (const ChartBucket& bucket : figures.chart) {
        for (const ValueRange& range : bucket.ranges) {
            if (range.seen) {
                low = std::min(low, double(range.min));
                high = std::max(high, double(range.max));
            }
        }
    }
}

QString svgOpen(int height, const QString& label)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 1000 %1\" role=\"img\" "
                          "aria-label=\"%2\">")
        .arg(height)
        .arg(label);
}

} // namespace

QString timeChart(const ReportFigures& figures)
{
    Plot plot;
    plot.bottom = 300;
    double low = 0;
    double high = 0;
    valueBounds(figures, low, high);
    fitRange(plot, low, high);
    const TimeColumns columns(figures, plot);

    QString svg = svgOpen(330, QStringLiteral("The four statistics over the period"));
    svg += downShading(columns, plot);
    svg += valueAxis(plot);
    svg += timeAxis(figures, columns, plot);
    for (std::size_t stat = 0; stat < std::size(seriesColours); ++stat)
        svg += seriesPath(columns, plot, stat);
    // Over the series, so the labels stay readable where a series runs along its threshold.
    svg += thresholdLine(plot, figures.snrThreshold, QStringLiteral("SNR threshold"));
    svg += thresholdLine(plot, figures.attThreshold, QStringLiteral("Att. threshold"));
    svg += pauseBands(figures, columns, plot);
    svg += QStringLiteral("<rect class=\"frame\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/></svg>")
               .arg(
                   number(plot.left), number(plot.top), number(plot.right - plot.left), number(plot.bottom - plot.top));
    return svg;
}

QString hourChart(const ReportFigures& figures)
{
    Plot plot;
    plot.bottom = 230;
    double low = figures.snrThreshold;
    double high = figures.snrThreshold;
    for (const auto& hours : figures.hours) {
        for (const HourFigures& hour : hours) {
            if (hour.captures > 0) {
                low = std::min(low, double(hour.min));
                high = std::max(high, double(hour.max));
            }
        }
    }
    fitRange(plot, low, high);
    const double slot = (plot.right - plot.left) / 24.0;

    QString svg = svgOpen(265, QStringLiteral("SNR margins by hour of day"));
    svg += valueAxis(plot);
    svg += thresholdLine(plot, figures.snrThreshold, QStringLiteral("SNR threshold"));
    for (int hour = 0; hour < 24; ++hour) {
        svg += QStringLiteral("<text class=\"tick%4\" x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>")
                   .arg(number(plot.left + slot * (hour + 0.5)), number(plot.bottom + 16),
                       QString::number(hour).rightJustified(2, u'0'),
                       hour % 2 == 1 ? QStringLiteral(" minor") : QString());
    }
    for (std::size_t stat = 0; stat < figures.hours.size(); ++stat) {
        const QLatin1String colour(seriesColours[stat]);
        QString medians;
        for (std::size_t hour = 0; hour < 24; ++hour) {
            const HourFigures& figure = figures.hours[stat][hour];
            if (figure.captures == 0)
                continue;
            const double x = plot.left + slot * (double(hour) + 0.5) + (stat == 0 ? -7.0 : 7.0);
            svg += QStringLiteral("<rect class=\"range\" fill=\"%1\" x=\"%2\" y=\"%3\" width=\"10\" height=\"%4\"/>")
                       .arg(colour, number(x - 5), number(plot.y(figure.max)),
                           number(std::max(plot.y(figure.min) - plot.y(figure.max), 1.0)));
            medians += QStringLiteral("%1%2 %3 ")
                           .arg(QChar(medians.isEmpty() ? u'M' : u'L'))
                           .arg(number(x), number(plot.y(figure.median)));
        }
        if (!medians.isEmpty())
            svg += QStringLiteral("<path class=\"median\" stroke=\"%1\" d=\"%2\"/>").arg(colour, medians);
    }
    svg += QStringLiteral("<text class=\"tick\" x=\"%1\" y=\"%2\" text-anchor=\"middle\">hour of day</text>")
               .arg(number((plot.left + plot.right) / 2), number(plot.bottom + 22 + 8));
    svg += QStringLiteral("<rect class=\"frame\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/></svg>")
               .arg(
                   number(plot.left), number(plot.top), number(plot.right - plot.left), number(plot.bottom - plot.top));
    return svg;
}

} // namespace ReportCharts
