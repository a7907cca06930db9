// A world's history at a glance: how many creatures lived and died when,
// how long they lived, their kinds and their generations. Pure arithmetic
// over the figures of the records (no files, no widgets), in time about
// linear in the number of creatures.
//
// Time stamps are the records' own seconds since 1970. A creature is born at
// its BirthTime; it has died at its DeathTime only when its state says dead
// (1). Every other creature, exported ones and unknown states included,
// counts as still alive, as the list shows it, up to the newest stamp of
// the history.
#pragma once

#include "history/HistoryRecord.h"

#include <cstdint>
#include <optional>
#include <vector>

class LineageIndex;

// The periods births and deaths are counted in: the shortest that gives at
// most kMaxPeriods bars over the time the history spans.
enum class StatisticsPeriod { Hour, Day, Week, Month, Quarter, Year, Decade };
inline constexpr int kMaxPeriods = 100;

struct PeriodFigures {
    std::int64_t start = 0;  // the stamp the period begins at
    int births = 0;
    int deaths = 0;
    int aliveAtEnd = 0;  // creatures alive at the period's last moment
};

struct CodeCount {
    std::int32_t code = 0;
    int count = 0;
    bool operator==(const CodeCount&) const = default;
};

struct WorldStatistics {
    int creatures = 0;
    int alive = 0;        // state 0
    int dead = 0;         // state 1
    int exported = 0;     // state 2
    int otherStates = 0;  // any other state
    // Dead creatures whose death stamp lies before their birth: left out of
    // the life spans (a record edited by hand, or damaged).
    int impossibleSpans = 0;
    std::optional<double> meanLifeDays, medianLifeDays;  // of the dead
    std::optional<std::int32_t> earliestStamp, newestStamp;

    StatisticsPeriod period = StatisticsPeriod::Day;
    std::vector<PeriodFigures> periods;  // in time order, none missing

    // Life spans of the dead in days: bin i holds spans from i * binDays up
    // to, not including, (i + 1) * binDays.
    int spanBinDays = 1;
    std::vector<int> spanBins;

    std::vector<CodeCount> species, genders;  // by code, ascending

    // Generations: a creature without a parent in the history is of
    // generation 1, any other one generation after its latest-born line of
    // parents. generationSizes[g - 1] counts generation g; longestLine runs
    // from a first-generation ancestor down to the creature of the highest
    // generation (rows of the list).
    std::vector<int> generationSizes;
    std::vector<int> longestLine;
};

// The statistics of the rows `counted` (all rows when null), with the
// generations and the newest stamp taken from the whole history:
// `figures[row]` for every row, the lineage index over the same rows.
WorldStatistics computeWorldStatistics(const std::vector<RecordFigures>& figures, const LineageIndex& lineage,
                                       const std::vector<int>* counted = nullptr);

// Where a stamp's period begins, and the next period's start.
std::int64_t periodStart(StatisticsPeriod period, std::int64_t stamp);
std::int64_t nextPeriodStart(StatisticsPeriod period, std::int64_t start);
