#include "history/WorldStatistics.h"

#include "history/CreatureFiles.h"
#include "history/Lineage.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kWeek = 7 * kDay;
// 1970-01-05, a Monday: weeks begin on Mondays.
constexpr std::int64_t kFirstMonday = 4 * kDay;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The calendar (proleptic Gregorian, no time zone) of a day count since
// 1970-01-01, and back.
struct CivilDate {
    std::int64_t year;
    int month;  // 1..12
};

CivilDate civilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2), month};
}

std::int64_t daysFromCivil(std::int64_t year, int month)
{
    year -= month <= 2;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;  // the 1st of the month
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Periods numbered along time: consecutive periods have consecutive numbers.
std::int64_t periodIndex(StatisticsPeriod period, std::int64_t stamp)
{
    const CivilDate date = civilFromDays(floorDiv(stamp, kDay));
    switch (period) {
    case StatisticsPeriod::Hour: return floorDiv(stamp, kHour);
    case StatisticsPeriod::Day: return floorDiv(stamp, kDay);
    case StatisticsPeriod::Week: return floorDiv(stamp - kFirstMonday, kWeek);
    case StatisticsPeriod::Month: return date.year * 12 + (date.month - 1);
    case StatisticsPeriod::Quarter: return date.year * 4 + (date.month - 1) / 3;
    case StatisticsPeriod::Year: return date.year;
    case StatisticsPeriod::Decade: return floorDiv(date.year, 10);
    }
    return 0;
}

std::int64_t indexStart(StatisticsPeriod period, std::int64_t index)
{
    switch (period) {
    case StatisticsPeriod::Hour: return index * kHour;
    case StatisticsPeriod::Day: return index * kDay;
    case StatisticsPeriod::Week: return index * kWeek + kFirstMonday;
    case StatisticsPeriod::Month: return daysFromCivil(floorDiv(index, 12), int(index - floorDiv(index, 12) * 12) + 1) * kDay;
    case StatisticsPeriod::Quarter:
        return daysFromCivil(floorDiv(index, 4), int(index - floorDiv(index, 4) * 4) * 3 + 1) * kDay;
    case StatisticsPeriod::Year: return daysFromCivil(index, 1) * kDay;
    case StatisticsPeriod::Decade: return daysFromCivil(index * 10, 1) * kDay;
    }
    return 0;
}

std::vector<CodeCount> sortedCounts(const std::map<std::int32_t, int>& counts)
{
    std::vector<CodeCount> out;
    out.reserve(counts.size());
    for (const auto& [code, count] : counts)
        out.push_back({code, count});
    return out;
}

// Every row's generation, without recursion (a line may be as long as the
// history) and ending where a history's lines run in a circle.
std::vector<int> generationsOf(const LineageIndex& lineage)
{
    const int n = lineage.count();
    std::vector<int> generation(size_t(n), 0);  // 0: not yet known
    std::vector<char> onPath(size_t(n), 0);
    std::vector<int> parents;
    auto parentRows = [&lineage](int row, std::vector<int>& out) {
        out.clear();
        const RecordKey& key = lineage.key(row);
        for (const Moniker* parent : {&key.parent1Moniker, &key.parent2Moniker})
            if (LineageIndex::slot(*parent) != 0)
                for (int p : lineage.rowsOf(*parent))
                    if (p != row)
                        out.push_back(p);
    };
    std::vector<int> stack;
    for (int start = 0; start < n; ++start) {
        if (generation[size_t(start)] != 0)
            continue;
        stack.push_back(start);
        while (!stack.empty()) {
            const int row = stack.back();
            if (generation[size_t(row)] != 0) {  // pushed twice, known by now
                stack.pop_back();
                continue;
            }
            if (!onPath[size_t(row)]) {
                onPath[size_t(row)] = 1;
                parentRows(row, parents);
                for (int p : parents)
                    if (generation[size_t(p)] == 0 && !onPath[size_t(p)])
                        stack.push_back(p);
                continue;
            }
            stack.pop_back();
            // Parents still on the path close a circle: they do not count.
            int best = 0;
            parentRows(row, parents);
            for (int p : parents)
                best = std::max(best, generation[size_t(p)]);
            generation[size_t(row)] = best + 1;
            onPath[size_t(row)] = 0;
        }
    }
    return generation;
}

}  // namespace

std::int64_t periodStart(StatisticsPeriod period, std::int64_t stamp)
{
    return indexStart(period, periodIndex(period, stamp));
}

std::int64_t nextPeriodStart(StatisticsPeriod period, std::int64_t start)
{
    return indexStart(period, periodIndex(period, start) + 1);
}

WorldStatistics computeWorldStatistics(const std::vector<RecordFigures>& figures, const LineageIndex& lineage,
                                       const std::vector<int>* counted)
{
    WorldStatistics s;
    std::vector<int> all;
    if (!counted) {
        all.resize(figures.size());
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = int(i);
        counted = &all;
    }
    auto isDead = [](const RecordFigures& f) { return f.key.state == csDead; };

    // The newest moment of the whole history: the still living count to it.
    for (const RecordFigures& f : figures) {
        const std::int32_t last = isDead(f) ? std::max(f.birthTime, f.deathTime) : f.birthTime;
        s.newestStamp = s.newestStamp ? std::max(*s.newestStamp, last) : last;
    }

    std::map<std::int32_t, int> species, genders;
    std::vector<double> spans;
    for (int row : *counted) {
        const RecordFigures& f = figures[size_t(row)];
        ++s.creatures;
        switch (f.key.state) {
        case csAlive: ++s.alive; break;
        case csDead: ++s.dead; break;
        case csExported: ++s.exported; break;
        default: ++s.otherStates; break;
        }
        ++species[f.species];
        ++genders[f.gender];
        s.earliestStamp = s.earliestStamp ? std::min(*s.earliestStamp, f.birthTime) : f.birthTime;
        if (isDead(f)) {
            s.earliestStamp = std::min(*s.earliestStamp, f.deathTime);
            if (f.deathTime < f.birthTime)
                ++s.impossibleSpans;
            else
                spans.push_back(double(std::int64_t(f.deathTime) - f.birthTime) / double(kDay));
        }
    }
    s.species = sortedCounts(species);
    s.genders = sortedCounts(genders);

    if (!spans.empty()) {
        double sum = 0;
        double longest = 0;
        for (double d : spans) {
            sum += d;
            longest = std::max(longest, d);
        }
        s.meanLifeDays = sum / double(spans.size());
        const size_t mid = spans.size() / 2;
        std::nth_element(spans.begin(), spans.begin() + std::ptrdiff_t(mid), spans.end());
        double median = spans[mid];
        if (spans.size() % 2 == 0)
            median = (median + *std::max_element(spans.begin(), spans.begin() + std::ptrdiff_t(mid))) / 2;
        s.medianLifeDays = median;
        // Bins of 1, 2 or 5 times a power of ten days, at most 25 of them.
        std::int64_t width = 1;
        for (int step = 0; longest / double(width) >= 25; ++step)
            width = (step % 3 == 1) ? width / 2 * 5 : width * 2;
        s.spanBinDays = int(width);
        s.spanBins.assign(size_t(longest / double(width)) + 1, 0);
        for (double d : spans)
            ++s.spanBins[size_t(d / double(width))];
    }

    if (s.creatures > 0) {
        const std::int64_t first = *s.earliestStamp, last = std::max<std::int64_t>(*s.newestStamp, first);
        for (auto period : {StatisticsPeriod::Hour, StatisticsPeriod::Day, StatisticsPeriod::Week, StatisticsPeriod::Month,
                            StatisticsPeriod::Quarter, StatisticsPeriod::Year, StatisticsPeriod::Decade}) {
            s.period = period;
            if (periodIndex(period, last) - periodIndex(period, first) + 1 <= kMaxPeriods)
                break;
        }
        const std::int64_t base = periodIndex(s.period, first);
        const size_t count = size_t(periodIndex(s.period, last) - base + 1);
        s.periods.resize(count);
        for (size_t i = 0; i < count; ++i)
            s.periods[i].start = indexStart(s.period, base + std::int64_t(i));
        // Changes of the living per period: a birth adds one, a death (never
        // before the birth) takes one away.
        std::vector<int> change(count + 1, 0);
        auto at = [&](std::int64_t stamp) { return size_t(std::clamp<std::int64_t>(periodIndex(s.period, stamp) - base, 0, std::int64_t(count) - 1)); };
        for (int row : *counted) {
            const RecordFigures& f = figures[size_t(row)];
            ++s.periods[at(f.birthTime)].births;
            ++change[at(f.birthTime)];
            if (isDead(f)) {
                ++s.periods[at(f.deathTime)].deaths;
                --change[at(std::max(f.deathTime, f.birthTime))];
            }
        }
        int living = 0;
        for (size_t i = 0; i < count; ++i) {
            living += change[i];
            s.periods[i].aliveAtEnd = living;
        }
    }

    if (s.creatures > 0 && lineage.count() == int(figures.size())) {
        const std::vector<int> generation = generationsOf(lineage);
        int deepest = -1;
        for (int row : *counted) {
            const int g = generation[size_t(row)];
            if (size_t(g) > s.generationSizes.size())
                s.generationSizes.resize(size_t(g), 0);
            ++s.generationSizes[size_t(g) - 1];
            if (deepest < 0 || g > generation[size_t(deepest)])
                deepest = row;
        }
        // Down from the deepest, one parent of the generation before at a
        // time, then read from the ancestor.
        for (int row = deepest; row >= 0;) {
            s.longestLine.push_back(row);
            const RecordKey& key = lineage.key(row);
            int next = -1;
            for (const Moniker* parent : {&key.parent1Moniker, &key.parent2Moniker})
                if (next < 0 && LineageIndex::slot(*parent) != 0)
                    for (int p : lineage.rowsOf(*parent))
                        if (p != row && generation[size_t(p)] == generation[size_t(row)] - 1) {
                            next = p;
                            break;
                        }
            row = next;
        }
        std::reverse(s.longestLine.begin(), s.longestLine.end());
    }
    return s;
}
