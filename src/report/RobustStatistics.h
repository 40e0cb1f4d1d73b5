#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

// The few statistics the report's findings rest on: how likely a count is by chance, and slopes and
// change points read from ranks, so a handful of odd days can neither make nor hide a pattern.
namespace RobustStatistics {

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

// P(X >= k) for X the successes in n independent tries of chance p each.
double binomialTail(qint64 n, double p, qint64 k);

// P(X >= k) for X the marked items among `draws` taken without putting back from `population`
// items of which `marked` are marked.
double hypergeometricTail(qint64 population, qint64 marked, qint64 draws, qint64 k);

// The middle value; the mean of the two middle ones for an even count. 0 for none.
double median(std::vector<double> values);

// The Theil-Sen slope: the median of the slopes between every two points of different x.
double theilSenSlope(const std::vector<Point>& points);

// The Mann-Kendall statistic of values in time order, as a standard normal score (ties allowed):
// far from 0 when the values keep rising or falling.
double mannKendallScore(const std::vector<double>& values);

// Pettitt's change point: the values before `index` differ most in rank from those from it on;
// `p` is the approximate chance of so large a difference in values without a change.
struct ChangePoint
{
    std::size_t index = 0;
    double p = 1.0;
};
ChangePoint pettittChange(const std::vector<double>& values);

} // namespace RobustStatistics
