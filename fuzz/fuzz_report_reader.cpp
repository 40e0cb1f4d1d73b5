// Any bytes as the CSV log: read it the way the report does, then write the page and the JSON.
// The figures must agree with one another, and a log without captures must never make a page.

#include "FuzzCheck.h"
#include "report/LogReader.h"
#include "report/ReportBuilder.h"
#include "report/ReportJson.h"
#include "report/ReportPage.h"
#include "report/SpacingTracker.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <numeric>

namespace {

void checkFigures(const ReportFigures& figures, qsizetype lines)
{
    fuzzCheck(figures.captures + figures.skippedLines <= lines, "every line is at most one capture or one skip");
    fuzzCheck(figures.drops <= figures.captures, "no more drops than captures");
    fuzzCheck(figures.longestDropSeconds <= figures.downSeconds, "the longest drop is part of the down time");
    fuzzCheck(figures.first <= figures.last, "the period runs forwards");
    const qint64 dayCaptures = std::accumulate(figures.days.begin(), figures.days.end(), qint64(0),
        [](qint64 sum, const DayFigures& day) { return sum + day.captures; });
    const qint64 dayDrops = std::accumulate(figures.days.begin(), figures.days.end(), qint64(0),
        [](qint64 sum, const DayFigures& day) { return sum + day.drops; });
    const qint64 dayDown = std::accumulate(figures.days.begin(), figures.days.end(), qint64(0),
        [](qint64 sum, const DayFigures& day) { return sum + day.downSeconds; });
    fuzzCheck(dayCaptures == figures.captures, "the days hold every capture");
    fuzzCheck(dayDrops == figures.drops, "the days hold every drop");
    fuzzCheck(dayDown == figures.downSeconds, "the days hold all the down time");
    for (std::size_t i = 1; i < figures.days.size(); ++i)
        fuzzCheck(figures.days[i - 1].day < figures.days[i].day, "the days are in date order");
    qint64 gapCount = 0;
    fuzzCheck(figures.gaps.forEach([&gapCount](const GapRecord& gap) {
        ++gapCount;
        fuzzCheck(gap.seconds > SpacingTracker::gapFactor, "a gap is longer than three seconds at least");
    }),
        "the gaps read back");
    fuzzCheck(gapCount == figures.gaps.count(), "every gap counted is handed on");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray log(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&log);
    device.open(QIODevice::ReadOnly);
    ReportBuilder builder(6.0f, 50.0f);
    fuzzCheck(LogReader::read(device, builder), "a buffer always reads");
    const ReportFigures figures = builder.finish();
    if (figures.captures == 0) {
        fuzzCheck(figures.days.empty() && figures.drops == 0, "no captures, no days and no drops");
        return 0;
    }
    checkFigures(figures, log.count('\n') + 1);
    QByteArray json;
    QBuffer jsonDevice(&json);
    jsonDevice.open(QIODevice::WriteOnly);
    fuzzCheck(ReportJson::write(figures, jsonDevice), "the JSON is written");
    fuzzCheck(json.startsWith('{') && json.endsWith("}\n"), "the JSON is one object");
    const QByteArray page = ReportPage::render(figures, QStringLiteral("stats.csv"));
    fuzzCheck(page.contains("</html>"), "the page is written to its end");
    return 0;
}
