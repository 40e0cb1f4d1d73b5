#include "report/ReportPage.h"

#include "report/DayTable.h"
#include "report/FindingText.h"
#include "report/ReportBuilder.h"
#include "report/ReportCharts.h"
#include "report/ReportFigures.h"
#include "report/WallClock.h"

#include <QStringList>

namespace ReportPage {

namespace {

const QString style = QStringLiteral(R"(
@page { size: A4; margin: 14mm; }
body { font-family: "Liberation Sans", Arial, sans-serif; font-size: 10pt; color: #000; background: #fff;
       max-width: 190mm; margin: 0 auto; padding: 4mm; }
h1 { font-size: 16pt; margin: 0 0 2mm; }
h2 { font-size: 12pt; margin: 6mm 0 2mm; break-after: avoid; }
p.note { color: #444; margin: 1mm 0; }
.findings { font-size: 11pt; } ul.findings { padding-left: 6mm; } ul.findings li { margin: 1mm 0; }
div.wide { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; }
thead { display: table-header-group; }
th, td { border: 1px solid #bbb; padding: 1px 5px; text-align: right; white-space: nowrap; }
th { background: #eee; }
td:first-child, th:first-child, th.text { text-align: left; }
table.summary td, table.summary th { text-align: left; border: none; padding: 1px 8px 1px 0; background: none; }
table.summary td { white-space: normal; }
tr { break-inside: avoid; }
tr.drop td { background: #ffd6d6; font-weight: bold; }
figure { margin: 0; break-inside: avoid; }
svg { width: 100%; height: auto; display: block; }
svg .grid { stroke: #ddd; stroke-width: 1; }
svg .frame { fill: none; stroke: #888; stroke-width: 1; }
svg .tick { font-size: 13px; fill: #333; }
svg .label { paint-order: stroke; stroke: #fff; stroke-width: 4px; }
svg .threshold { stroke: #555; stroke-width: 1.2; stroke-dasharray: 6 4; }
svg .series { fill: none; stroke-width: 2.2; stroke-linejoin: round; }
svg .median { fill: none; stroke-width: 2.2; }
svg .range { opacity: 0.3; }
svg .down { fill: #ffc4c4; }
svg .pause { fill: #999; }
.legend span { display: inline-block; margin-right: 12px; }
.legend i { display: inline-block; width: 14px; height: 4px; margin-right: 4px; vertical-align: middle; }
@media (max-width: 700px) { body { padding: 2mm; } svg .tick { font-size: 24px; } }
@media (max-width: 480px) { svg .tick { font-size: 30px; } svg .minor { display: none; } }
@media print { body { max-width: none; padding: 0; } div.wide { overflow: visible; } }
)");

QString value(float number)
{
    return QString::number(double(number), 'g', 6);
}

QString row(const QStringList& cells, const QString& rowClass = {})
{
    QString html = rowClass.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"%1\">").arg(rowClass);
    for (const QString& cell : cells)
        html += QStringLiteral("<td>") + cell + QStringLiteral("</td>");
    return html + QStringLiteral("</tr>\n");
}

QString summaryRow(const QString& name, const QString& text)
{
    return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(name, text);
}

QString dateTimeText(qint64 stamp)
{
    return WallClock::isoDateTime(stamp).replace(u'T', u' ');
}

QString availabilityText(qint64 upSeconds, qint64 coveredSeconds)
{
    const std::optional<double> share = availability(upSeconds, coveredSeconds);
    return share ? QString::number(*share, 'f', 2) + QStringLiteral(" %") : QStringLiteral("&ndash;");
}

// A table that scrolls sideways on a narrow screen, its headings repeated on every printed page.
QString table(const QString& headings, const QString& rows)
{
    return QStringLiteral("<div class=\"wide\"><table>\n<thead><tr>") + headings
        + QStringLiteral("</tr></thead>\n<tbody>\n") + rows + QStringLiteral("</tbody></table></div>\n");
}

QString summary(const ReportFigures& figures)
{
    QString html = QStringLiteral("<table class=\"summary\">\n");
    html += summaryRow(QStringLiteral("Period"),
        QStringLiteral("%1 to %2").arg(dateTimeText(figures.first), dateTimeText(figures.last)));
    html += summaryRow(QStringLiteral("Captures"),
        QStringLiteral("%1 (usually one every %2)")
            .arg(figures.captures)
            .arg(WallClock::durationText(figures.usualSpacing)));
    html += summaryRow(QStringLiteral("Lines skipped"), QString::number(figures.skippedLines));
    html += summaryRow(QStringLiteral("Drops"), QString::number(figures.drops));
    html += summaryRow(QStringLiteral("Down time"),
        QStringLiteral("%1 in all, longest drop %2")
            .arg(WallClock::durationText(figures.downSeconds), WallClock::durationText(figures.longestDropSeconds)));
    html += summaryRow(QStringLiteral("Gaps in the log"),
        figures.gaps.empty() ? QStringLiteral("none")
                             : QStringLiteral("%1, %2 without captures in all")
                                   .arg(figures.gaps.count())
                                   .arg(WallClock::durationText(figures.gaps.totalSeconds())));
    html += summaryRow(QStringLiteral("Availability"),
        availabilityText(figures.upSeconds, figures.coveredSeconds)
            + QStringLiteral(" of the time the log covers (gaps in the log excluded)"));
    html += summaryRow(QStringLiteral("Time zone"),
        figures.timeZone.toHtmlEscaped() + QStringLiteral(": times are as the log wrote them, lengths are real time"));
    html += summaryRow(QStringLiteral("Line up when"),
        QStringLiteral("both SNR margins &ge; %1 dB and both attenuations &le; %2 dB")
            .arg(value(figures.snrThreshold), value(figures.attThreshold)));
    return html + QStringLiteral("</table>\n");
}

QString legend()
{
    QString html = QStringLiteral("<p class=\"legend\">");
    for (std::size_t i = 0; i < std::size(ReportCharts::seriesColours); ++i) {
        html += QStringLiteral("<span><i style=\"background:%1\"></i>%2</span>")
                    .arg(QLatin1String(ReportCharts::seriesColours[i]), QLatin1String(ReportCharts::seriesNames[i]));
    }
    return html
        + QStringLiteral("<span><i style=\"background:#ffd0d0;height:10px\"></i>line down</span>"
                         "<span><i style=\"background:#999\"></i>no captures</span></p>\n");
}

QString rangeText(const ValueRange& range, bool lowest)
{
    return range.seen ? value(lowest ? range.min : range.max) : QStringLiteral("&ndash;");
}

// Past what a page can show one row a day, the table says how it sums the days up.
QString dayTableNote(const ReportFigures& figures)
{
    if (figures.daySpan == RowSpan::day)
        return {};
    const qint64 days = WallClock::dayOf(figures.last) - WallClock::dayOf(figures.first) + 1;
    return QStringLiteral("<p class=\"note\">The period spans %1 days, more than the %2 a page lists one by one: "
                          "one row per %3.</p>\n")
        .arg(days)
        .arg(DayTable::maxRows)
        .arg(figures.daySpan == RowSpan::month ? QStringLiteral("month") : QStringLiteral("year"));
}

QString dayTable(const ReportFigures& figures)
{
    const QString heading = figures.daySpan == RowSpan::day ? QStringLiteral("Date")
        : figures.daySpan == RowSpan::month                 ? QStringLiteral("Month")
                                                            : QStringLiteral("Year");
    const QString headings
        = QStringLiteral("<th class=\"text\">%1</th><th>Captures</th><th>Drops</th><th>Down time</th>"
                         "<th>Availability</th><th>Down SNR min</th><th>Down SNR max</th><th>Up SNR min</th>"
                         "<th>Up SNR max</th>")
              .arg(heading);
    QString rows;
    for (const DayFigures& day : figures.days) {
        rows += row(
            {DayTable::label(day.day, figures.daySpan), QString::number(day.captures), QString::number(day.drops),
                day.drops > 0 ? WallClock::durationText(day.downSeconds) : QString(),
                availabilityText(day.upSeconds, day.coveredSeconds), rangeText(day.ranges[0], true),
                rangeText(day.ranges[0], false), rangeText(day.ranges[1], true), rangeText(day.ranges[1], false)},
            day.drops > 0 ? QStringLiteral("drop") : QString());
    }
    return dayTableNote(figures) + table(headings, rows);
}

QString dropList(const ReportFigures& figures)
{
    if (figures.drops == 0)
        return QStringLiteral("<p>No drops in this period.</p>\n");
    QString rows;
    for (const DropRecord& drop : figures.listedDrops) {
        const QString end = dateTimeText(drop.end) + (drop.recovered ? QString() : QStringLiteral(" (log ends)"));
        rows += row({dateTimeText(drop.start), end, WallClock::durationText(drop.seconds), value(drop.values[0]),
            value(drop.values[1]), value(drop.values[2]), value(drop.values[3])});
    }
    QString html = table(QStringLiteral("<th class=\"text\">Start</th><th class=\"text\">End</th><th>Length</th>"
                                        "<th>Down SNR</th><th>Up SNR</th><th>Down Att.</th><th>Up Att.</th>"),
        rows);
    if (figures.drops > qint64(figures.listedDrops.size())) {
        html += QStringLiteral("<p class=\"note\">%1 later drops are not listed; the day table counts them all.</p>\n")
                    .arg(figures.drops - qint64(figures.listedDrops.size()));
    }
    return html;
}

QString gapList(const ReportFigures& figures)
{
    if (figures.gaps.empty())
        return QStringLiteral("<p>None: captures went on at the usual pace.</p>\n");
    QString rows;
    for (const GapRecord& gap : figures.gaps.firstGaps())
        rows += row({dateTimeText(gap.start), dateTimeText(gap.end), WallClock::durationText(gap.seconds)});
    QString html = table(QStringLiteral("<th class=\"text\">Last capture before</th><th class=\"text\">Captures "
                                        "resumed</th><th>Length</th>"),
        rows);
    if (figures.gaps.count() > qint64(figures.gaps.firstGaps().size())) {
        html += QStringLiteral("<p class=\"note\">The page lists the first %1 of the %2 gaps; the JSON figures "
                               "(--json) hold them all.</p>\n")
                    .arg(figures.gaps.firstGaps().size())
                    .arg(figures.gaps.count());
    }
    return html;
}

} // namespace

QByteArray render(const ReportFigures& figures, const QString& logName)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
    html += QStringLiteral("<title>Line report: %1</title>\n<style>%2</style>\n</head>\n<body>\n")
                .arg(logName.toHtmlEscaped(), style);
    html += QStringLiteral("<h1>Line report</h1>\n<p class=\"note\">From the capture log %1.</p>\n")
                .arg(logName.toHtmlEscaped());
    html += FindingText::pageSection(figures.findings);
    html += summary(figures);
    html += QStringLiteral("<h2>The four statistics</h2>\n<figure>") + ReportCharts::timeChart(figures)
        + QStringLiteral("</figure>\n") + legend();
    html += QStringLiteral("<h2>SNR margins by hour of day</h2>\n<figure>") + ReportCharts::hourChart(figures)
        + QStringLiteral("</figure>\n<p class=\"note\">Bars: lowest to highest value in each hour; lines: the "
                         "median.</p>\n");
    html += QStringLiteral("<h2>Days</h2>\n") + dayTable(figures);
    html += QStringLiteral("<h2>Drops</h2>\n") + dropList(figures);
    html += QStringLiteral("<h2>Gaps in the log</h2>\n<p class=\"note\">Times when the program captured nothing "
                           "for more than three times the usual spacing of the captures around that time.</p>\n")
        + gapList(figures);
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace ReportPage
