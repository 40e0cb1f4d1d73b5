#include "report/DropPatterns.h"

#include "report/DayMedians.h"
#include "report/RobustStatistics.h"
#include "report/WallClock.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int minutesPerDay = 24 * 60;
constexpr int weekdaysInWeek = 7;

int minuteOf(qint64 stamp)
{
    return int((stamp - WallClock::dayOf(stamp) * WallClock::secondsPerDay) / 60);
}

// Monday 0 to Sunday 6; day 0, 1970-01-01, was a Thursday.
int weekdayOf(qint64 day)
{
    return int(((day % weekdaysInWeek) + weekdaysInWeek + 3) % weekdaysInWeek);
}

} // namespace

void DropPatterns::addDrop(qint64 stamp)
{
    const int minute = minuteOf(stamp);
    ++m_dropsByMinute[std::size_t(minute)];
    const qint64 dayNumber = WallClock::dayOf(stamp);
    // A bound on the days kept, as for the day medians: 55 years of drop days.
    if (m_dropDays.size() >= DayMedians::maxDays && m_dropDays.count(dayNumber) == 0) {
        m_overflowed = true;
        return;
    }
    DropDay& day = m_dropDays[dayNumber];
    day.startSlots.set(std::size_t(minute / slotMinutes));
    ++day.drops;
}

DropPatterns::ChanceBase DropPatterns::chanceBase() const
{
    ChanceBase base;
    std::map<qint64, qint64> daysByDrops;
    for (const auto& entry : m_dropDays) {
        base.days.push_back(entry.second.startSlots);
        ++daysByDrops[entry.second.drops];
    }
    base.daysByDrops.assign(daysByDrops.begin(), daysByDrops.end());
    for (const qint64 captures : m_captures)
        base.captures += captures;
    return base;
}

// Under chance a day with n drops has one in a window holding the share q of the captures with
// chance 1 - (1 - q)^n; counting days, not drops, keeps one day of many drops from making a cluster.
double DropPatterns::pOf(const ChanceBase& base, qint64 exposed, qint64 days)
{
    if (days < fewestDays || exposed == base.captures)
        return 1.0;
    const double share = double(exposed) / double(base.captures);
    double expected = 0.0;
    for (const auto& [drops, count] : base.daysByDrops)
        expected += double(count) * (1.0 - std::pow(1.0 - share, double(drops)));
    const auto dropDays = qint64(base.days.size());
    return RobustStatistics::binomialTail(dropDays, expected / double(dropDays), days);
}

// Every window of one to twelve ten-minute slots at every start, each grown from the one before; on
// a tie the narrower, then the earlier, window is the stronger.
DropPatterns::Window DropPatterns::strongestWindow() const
{
    const ChanceBase base = chanceBase();
    Window strongest;
    for (int first = 0; first < daySlots; ++first) {
        SlotSet mask;
        qint64 exposed = 0;
        for (int width = 1; width <= widestSlots; ++width) {
            const auto slot = std::size_t((first + width - 1) % daySlots);
            mask.set(slot);
            exposed += m_captures[slot];
            const auto days = qint64(std::count_if(
                base.days.begin(), base.days.end(), [&](const SlotSet& starts) { return (starts & mask).any(); }));
            const Window window{first, width, days, pOf(base, exposed, days)};
            if (window.p < strongest.p || (window.p == strongest.p && width < strongest.width))
                strongest = window;
        }
    }
    return strongest;
}

Finding DropPatterns::narrowed(const Window& window) const
{
    Finding finding;
    finding.kind = FindingKind::dropHour;
    finding.days = window.days;
    finding.dropDays = qint64(m_dropDays.size());
    bool seen = false;
    for (int offset = 0; offset < window.width * slotMinutes; ++offset) {
        const int minute = (window.first * slotMinutes + offset) % minutesPerDay;
        if (m_dropsByMinute[std::size_t(minute)] == 0)
            continue;
        if (!seen)
            finding.fromMinute = minute;
        finding.toMinute = minute;
        seen = true;
    }
    return finding;
}

std::optional<Finding> DropPatterns::dropHour() const
{
    if (qint64(m_dropDays.size()) < fewestDays)
        return std::nullopt;
    const Window strongest = strongestWindow();
    if (strongest.p * double(widestSlots * daySlots) > significance)
        return std::nullopt;
    return narrowed(strongest);
}

namespace {

constexpr unsigned everyDay = (1u << weekdaysInWeek) - 1;

// Days logged, days with a drop and drops, by weekday.
struct WeekdayCounts
{
    std::array<qint64, weekdaysInWeek> logged{};
    std::array<qint64, weekdaysInWeek> dropDays{};
    std::array<qint64, weekdaysInWeek> drops{};

    static qint64 sum(const std::array<qint64, weekdaysInWeek>& counts, unsigned set)
    {
        qint64 total = 0;
        for (std::size_t weekday = 0; weekday < counts.size(); ++weekday)
            total += (set >> weekday) & 1u ? counts[weekday] : 0;
        return total;
    }

    // The chance of at least as many days with a drop on the set, or 1 where the set does not
    // qualify: too few such days, or the other weekdays have them more than half as often.
    double pOf(unsigned set) const
    {
        const qint64 inside = sum(dropDays, set);
        const qint64 outside = sum(dropDays, everyDay) - inside;
        const qint64 insideLogged = sum(logged, set);
        const qint64 outsideLogged = sum(logged, everyDay) - insideLogged;
        if (inside < DropPatterns::fewestDays
            || double(outside) * double(insideLogged)
                > DropPatterns::quietShare * double(inside) * double(outsideLogged))
            return 1.0;
        return RobustStatistics::hypergeometricTail(
            sum(logged, everyDay), insideLogged, sum(dropDays, everyDay), inside);
    }
};

} // namespace

// The days with a drop are taken as drawn from the days logged: a set of weekdays counts when it
// holds more of them than such a draw would give. On a tie the set of fewer weekdays is stronger.
std::optional<Finding> DropPatterns::weekday(const std::vector<DayFigures>& days) const
{
    WeekdayCounts counts;
    for (const DayFigures& day : days) {
        const auto weekday = std::size_t(weekdayOf(day.day));
        ++counts.logged[weekday];
        counts.dropDays[weekday] += day.drops > 0 ? 1 : 0;
        counts.drops[weekday] += day.drops;
    }
    unsigned best = 0;
    double bestP = 1.0;
    int setsTried = 0;
    for (unsigned set = 1; set < everyDay; ++set) {
        if (std::popcount(set) > mostWeekdays)
            continue;
        ++setsTried;
        const double p = counts.pOf(set);
        if (p < bestP || (p == bestP && best != 0 && std::popcount(set) < std::popcount(best))) {
            best = set;
            bestP = p;
        }
    }
    if (best == 0 || bestP * setsTried > significance)
        return std::nullopt;
    Finding finding;
    finding.kind = FindingKind::weekday;
    finding.weekdays = best;
    finding.drops = WeekdayCounts::sum(counts.drops, best);
    finding.allDrops = WeekdayCounts::sum(counts.drops, everyDay);
    finding.weekdayDaysLogged = WeekdayCounts::sum(counts.logged, best);
    finding.daysLogged = WeekdayCounts::sum(counts.logged, everyDay);
    return finding;
}
