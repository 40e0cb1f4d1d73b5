#include "report/ValuePatterns.h"

#include "report/RobustStatistics.h"

#include <algorithm>
#include <cmath>

namespace ValuePatterns {

namespace {

using RobustStatistics::Point;

struct Series
{
    std::vector<Point> points; // x: day number, y: the day's median
    std::vector<qint64> firstDays; // the first day each point stands for
    qint64 lastDay = 0;
};

// One point a day, or the median of each block of days once there are more than mostPoints, so the
// pairwise slopes stay within fixed memory.
Series seriesOf(const std::vector<DayMedians::Day>& days, int statistic)
{
    Series series;
    const std::size_t block = (days.size() + mostPoints - 1) / mostPoints;
    for (std::size_t start = 0; start < days.size(); start += block) {
        const std::size_t end = std::min(start + block, days.size());
        double daySum = 0.0;
        std::vector<double> values;
        for (std::size_t i = start; i < end; ++i) {
            daySum += double(days[i].day);
            values.push_back(double(days[i].medians[std::size_t(statistic)]));
        }
        series.points.push_back({daySum / double(end - start), RobustStatistics::median(std::move(values))});
        series.firstDays.push_back(days[start].day);
    }
    series.lastDay = days.back().day;
    return series;
}

std::vector<double> valuesOf(const std::vector<Point>& points, std::size_t from, std::size_t to)
{
    std::vector<double> values;
    for (std::size_t i = from; i < to; ++i)
        values.push_back(points[i].y);
    return values;
}

// The straight line through the days by Theil-Sen, and their mean distance from it.
struct Line
{
    double slope = 0.0;
    double scatter = 0.0;
};

Line lineThrough(const std::vector<Point>& points)
{
    Line line;
    line.slope = RobustStatistics::theilSenSlope(points);
    std::vector<double> offsets;
    offsets.reserve(points.size());
    for (const Point& point : points)
        offsets.push_back(point.y - line.slope * point.x);
    const double offset = RobustStatistics::median(offsets);
    for (const Point& point : points)
        line.scatter += std::abs(point.y - offset - line.slope * point.x);
    line.scatter /= double(points.size());
    return line;
}

std::optional<Finding> trendOf(const Series& series, const Line& line, int statistic)
{
    const std::vector<Point>& points = series.points;
    if (std::abs(RobustStatistics::mannKendallScore(valuesOf(points, 0, points.size()))) < trendScore)
        return std::nullopt;
    const double change = std::abs(line.slope * (points.back().x - points.front().x));
    if (change < smallestChange || change < scatterFactor * line.scatter)
        return std::nullopt;
    Finding finding;
    finding.kind = FindingKind::trend;
    finding.statistic = statistic;
    finding.dbPerDay = line.slope;
    finding.fromDay = series.firstDays.front();
    finding.toDay = series.lastDay;
    return finding;
}

double meanDistance(const std::vector<double>& values, double from)
{
    double sum = 0.0;
    for (const double value : values)
        sum += std::abs(value - from);
    return values.empty() ? 0.0 : sum / double(values.size());
}

// The days' mean distance from the typical value of their side when split before `at`.
double splitScatter(const std::vector<Point>& points, std::size_t at)
{
    const std::vector<double> before = valuesOf(points, 0, at);
    const std::vector<double> after = valuesOf(points, at, points.size());
    return (meanDistance(before, RobustStatistics::median(before)) * double(before.size())
               + meanDistance(after, RobustStatistics::median(after)) * double(after.size()))
        / double(points.size());
}

// Where two levels fit the days best: the ranks only say that the values changed, and a wobble
// near the change can pull their estimate a day or two off it.
std::size_t bestSplit(const std::vector<Point>& points)
{
    std::size_t best = fewestDaysEachSide;
    double bestScatter = splitScatter(points, best);
    for (std::size_t at = fewestDaysEachSide + 1; at + fewestDaysEachSide <= points.size(); ++at) {
        const double scatter = splitScatter(points, at);
        if (scatter < bestScatter) {
            best = at;
            bestScatter = scatter;
        }
    }
    return best;
}

// A step is sudden: its two levels fit the days closer than any straight line, and the few days
// either side of it already show at least half the change, which a steady drift never does.
std::optional<Finding> stepOf(const Series& series, const Line& line, int statistic)
{
    const std::vector<Point>& points = series.points;
    if (points.size() < 2 * fewestDaysEachSide
        || RobustStatistics::pettittChange(valuesOf(points, 0, points.size())).p > stepChance)
        return std::nullopt;
    const std::size_t at = bestSplit(points);
    const double levelBefore = RobustStatistics::median(valuesOf(points, 0, at));
    const double levelAfter = RobustStatistics::median(valuesOf(points, at, points.size()));
    const double db = levelAfter - levelBefore;
    const double jump = RobustStatistics::median(valuesOf(points, at, at + suddenDays))
        - RobustStatistics::median(valuesOf(points, at - suddenDays, at));
    const double scatter = splitScatter(points, at);
    if (std::abs(db) < smallestChange || std::abs(db) < scatterFactor * scatter || scatter >= line.scatter
        || jump * db < 0.0 || std::abs(jump) < std::abs(db) / 2.0)
        return std::nullopt;
    Finding finding;
    finding.kind = FindingKind::step;
    finding.statistic = statistic;
    finding.day = series.firstDays[at];
    finding.db = db;
    finding.before = levelBefore;
    finding.after = levelAfter;
    return finding;
}

} // namespace

// A sudden step also drifts by rank, so the step is asked first.
std::optional<Finding> read(const std::vector<DayMedians::Day>& days, int statistic)
{
    if (days.size() < fewestDays)
        return std::nullopt;
    const Series series = seriesOf(days, statistic);
    const Line line = lineThrough(series.points);
    if (std::optional<Finding> step = stepOf(series, line, statistic))
        return step;
    return trendOf(series, line, statistic);
}

} // namespace ValuePatterns
