// Who descends from whom. Records name their parents by moniker; the index
// maps every moniker to the records that carry it and to the records that
// name it as a parent, built once per fill in time linear in the number of
// records. The same moniker on two records is kept as two, never merged.
#pragma once

#include "history/HistoryRecord.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

class LineageIndex {
public:
    // One record per row, in the order of the list.
    explicit LineageIndex(const std::vector<RecordKey>& records);

    // The rows whose record carries the moniker (usually one).
    std::span<const int> rowsOf(const Moniker& moniker) const;
    // The rows whose record names the moniker as a parent.
    std::span<const int> childrenOf(const Moniker& moniker) const;

    const RecordKey& key(int row) const { return keys_[size_t(row)]; }
    int count() const { return static_cast<int>(keys_.size()); }

    // A moniker as one number: its characters up to the first zero byte,
    // zero-filled (so "AB\0x" and "AB\0\0" are the same moniker, as their
    // texts are); 0 for the empty moniker.
    static std::uint32_t slot(const Moniker& moniker);

private:
    std::span<const int> range(const std::vector<int>& offsets, const std::vector<int>& rows, std::uint32_t key) const;

    std::vector<RecordKey> keys_;
    std::unordered_map<std::uint32_t, int> slots_;  // moniker -> slot
    // For each slot, its rows and its children, back to back (offsets into
    // one array each).
    std::vector<int> rowOffsets_, rows_;
    std::vector<int> childOffsets_, children_;
};

// A family tree around one creature: its ancestors by generation above it,
// its descendants by generation below. Each person is a row of the list, or
// a parent the history does not hold (known only by the name and moniker its
// child's record gives).
struct LineagePerson {
    int row = -1;            // -1: not in the history
    Moniker moniker{};
    QString name;            // for a parent outside the history: as its child names it
    int generation = 0;      // negative: ancestors; positive: descendants
    std::vector<int> parents;   // people of this tree (indexes into People)
    bool sharedMoniker = false;  // another record carries the same moniker
};

struct LineageTree {
    std::vector<LineagePerson> people;  // People[0] is the creature itself
};

// Walks up through every parent and down through every child, each record
// once (a history whose lines run in a circle ends where it closes), in time
// linear in the size of the tree. `nameOf(row, which)` gives the name a
// record stores for its parent `which` (1 or 2).
LineageTree buildLineageTree(const LineageIndex& index, int row,
                              const std::function<QString(int row, int which)>& parentName);
