#include "report/RobustStatistics.h"

#include <algorithm>
#include <cmath>

namespace RobustStatistics {

namespace {

// Terms of a tail below this share of the sum so far no longer change it.
constexpr double negligible = 1e-16;

double logChoose(qint64 n, qint64 k)
{
    return std::lgamma(double(n) + 1.0) - std::lgamma(double(k) + 1.0) - std::lgamma(double(n - k) + 1.0);
}

int sign(double value)
{
    return (value > 0.0) - (value < 0.0);
}

// Sums terms from the one at `from` while `next(i, term)` gives the next, stopping at `to` or
// once the terms are past their peak and too small to matter.
template <typename Next> double sumFrom(double first, qint64 from, qint64 to, qint64 step, Next next)
{
    double term = first;
    double sum = 0.0;
    for (qint64 i = from; step > 0 ? i <= to : i >= to; i += step) {
        sum += term;
        const double following = next(i, term);
        if (following < term && following < sum * negligible)
            break;
        term = following;
    }
    return sum;
}

// P(X >= k) of a count between lowest and highest, from the log of its chances and the ratio
// up(i) of the chance of i + 1 to that of i. Below the mean the chance of k itself may be too small
// to hold, so that side sums the lower tail and takes it from one.
template <typename LogChance, typename Up>
double upperTail(qint64 k, qint64 lowest, qint64 highest, double mean, LogChance logChance, Up up)
{
    if (k <= lowest)
        return 1.0;
    if (k > highest)
        return 0.0;
    if (double(k) > mean)
        return std::min(
            1.0, sumFrom(std::exp(logChance(k)), k, highest, 1, [&](qint64 i, double term) { return term * up(i); }));
    const double below = sumFrom(std::exp(logChance(k - 1)), k - 1, lowest, -1,
        [&](qint64 i, double term) { return i > lowest ? term / up(i - 1) : 0.0; });
    return std::clamp(1.0 - below, 0.0, 1.0);
}

} // namespace

double binomialTail(qint64 n, double p, qint64 k)
{
    if (p <= 0.0)
        return k <= 0 ? 1.0 : 0.0;
    if (p >= 1.0)
        return k <= n ? 1.0 : 0.0;
    const double odds = p / (1.0 - p);
    return upperTail(
        k, 0, n, double(n) * p,
        [&](qint64 i) { return logChoose(n, i) + double(i) * std::log(p) + double(n - i) * std::log1p(-p); },
        [&](qint64 i) { return odds * double(n - i) / double(i + 1); });
}

double hypergeometricTail(qint64 population, qint64 marked, qint64 draws, qint64 k)
{
    const qint64 unmarked = population - marked;
    const double all = logChoose(population, draws);
    return upperTail(
        k, std::max(draws - unmarked, qint64(0)), std::min(draws, marked),
        double(draws) * double(marked) / double(population),
        [&](qint64 i) { return logChoose(marked, i) + logChoose(unmarked, draws - i) - all; },
        [&](qint64 i) {
            return double(marked - i) * double(draws - i) / (double(i + 1) * double(unmarked - draws + i + 1));
        });
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    return (*std::max_element(values.begin(), values.begin() + std::ptrdiff_t(middle)) + upper) / 2.0;
}

double theilSenSlope(const std::vector<Point>& points)
{
    std::vector<double> slopes;
    slopes.reserve(points.size() * (points.size() - 1) / 2);
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            const double run = points[j].x - points[i].x;
            if (run != 0.0)
                slopes.push_back((points[j].y - points[i].y) / run);
        }
    }
    return median(std::move(slopes));
}

double mannKendallScore(const std::vector<double>& values)
{
    const auto n = double(values.size());
    double score = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        for (std::size_t j = i + 1; j < values.size(); ++j)
            score += sign(values[j] - values[i]);
    }
    // Each group of t equal values takes its share out of the variance.
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    double variance = n * (n - 1.0) * (2.0 * n + 5.0);
    for (std::size_t start = 0; start < sorted.size();) {
        std::size_t end = start;
        while (end < sorted.size() && sorted[end] == sorted[start])
            ++end;
        const auto t = double(end - start);
        variance -= t * (t - 1.0) * (2.0 * t + 5.0);
        start = end;
    }
    variance /= 18.0;
    if (variance <= 0.0)
        return 0.0;
    return (score - sign(score)) / std::sqrt(variance);
}

ChangePoint pettittChange(const std::vector<double>& values)
{
    ChangePoint change;
    const std::size_t n = values.size();
    if (n < 2)
        return change;
    double sum = 0.0;
    double largest = -1.0;
    for (std::size_t t = 0; t + 1 < n; ++t) {
        for (const double other : values)
            sum += sign(values[t] - other);
        if (std::abs(sum) > largest) {
            largest = std::abs(sum);
            change.index = t + 1;
        }
    }
    const auto count = double(n);
    change.p = std::min(1.0, 2.0 * std::exp(-6.0 * largest * largest / (count * count * count + count * count)));
    return change;
}

} // namespace RobustStatistics
