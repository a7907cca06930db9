#include "history/Lineage.h"

#include <algorithm>
#include <deque>

std::uint32_t LineageIndex::slot(const Moniker& moniker)
{
    std::uint32_t key = 0;
    for (size_t i = 0; i < moniker.size() && moniker[i] != '\0'; ++i)
        key |= std::uint32_t(static_cast<unsigned char>(moniker[i])) << (8 * i);
    return key;
}

LineageIndex::LineageIndex(const std::vector<RecordKey>& records) : keys_(records)
{
    // Counting first, then placing: two passes over the records and arrays
    // that hold every row once, whatever the number of monikers.
    auto slotOf = [this](std::uint32_t key) {
        return slots_.try_emplace(key, static_cast<int>(slots_.size())).first->second;
    };
    slots_.reserve(keys_.size() * 2);
    std::vector<int> ownSlot(keys_.size()), parentSlot(keys_.size() * 2, -1);
    for (size_t row = 0; row < keys_.size(); ++row) {
        ownSlot[row] = slotOf(slot(keys_[row].moniker));
        const std::uint32_t parents[2] = {slot(keys_[row].parent1Moniker), slot(keys_[row].parent2Moniker)};
        for (int p = 0; p < 2; ++p)
            if (parents[p] != 0 && (p == 0 || parents[1] != parents[0]))  // a parent named twice counts once
                parentSlot[row * 2 + size_t(p)] = slotOf(parents[p]);
    }
    rowOffsets_.assign(slots_.size() + 1, 0);
    childOffsets_.assign(slots_.size() + 1, 0);
    for (size_t row = 0; row < keys_.size(); ++row) {
        ++rowOffsets_[size_t(ownSlot[row]) + 1];
        for (int p = 0; p < 2; ++p)
            if (parentSlot[row * 2 + size_t(p)] >= 0)
                ++childOffsets_[size_t(parentSlot[row * 2 + size_t(p)]) + 1];
    }
    for (size_t s = 1; s < rowOffsets_.size(); ++s) {
        rowOffsets_[s] += rowOffsets_[s - 1];
        childOffsets_[s] += childOffsets_[s - 1];
    }
    rows_.resize(keys_.size());
    children_.resize(size_t(childOffsets_.back()));
    std::vector<int> rowFill(rowOffsets_.begin(), rowOffsets_.end() - 1);
    std::vector<int> childFill(childOffsets_.begin(), childOffsets_.end() - 1);
    for (size_t row = 0; row < keys_.size(); ++row) {
        rows_[size_t(rowFill[size_t(ownSlot[row])]++)] = static_cast<int>(row);
        for (int p = 0; p < 2; ++p) {
            const int slot = parentSlot[row * 2 + size_t(p)];
            if (slot >= 0)
                children_[size_t(childFill[size_t(slot)]++)] = static_cast<int>(row);
        }
    }
}

std::span<const int> LineageIndex::range(const std::vector<int>& offsets, const std::vector<int>& rows,
                                          std::uint32_t key) const
{
    const auto it = slots_.find(key);
    if (it == slots_.end())
        return {};
    const size_t slot = size_t(it->second);
    return std::span<const int>(rows.data() + offsets[slot], size_t(offsets[slot + 1] - offsets[slot]));
}

std::span<const int> LineageIndex::rowsOf(const Moniker& moniker) const
{
    return range(rowOffsets_, rows_, slot(moniker));
}

std::span<const int> LineageIndex::childrenOf(const Moniker& moniker) const
{
    const std::uint32_t key = slot(moniker);
    return key == 0 ? std::span<const int>() : range(childOffsets_, children_, key);
}

LineageTree buildLineageTree(const LineageIndex& index, int row,
                              const std::function<QString(int row, int which)>& parentName)
{
    LineageTree tree;
    std::vector<int> personOfRow(size_t(index.count()), -1);  // row -> person
    std::unordered_map<std::uint32_t, int> outsider;    // moniker of a parent outside the history -> person
    auto add = [&](int r, const Moniker& moniker, int generation) {
        tree.people.push_back({r, moniker, {}, generation, {}, r >= 0 && index.rowsOf(moniker).size() > 1});
        const int person = static_cast<int>(tree.people.size()) - 1;
        if (r >= 0)
            personOfRow[size_t(r)] = person;
        return person;
    };
    auto link = [&](int child, int parent) {
        if (child == parent)
            return;  // a record that names itself as its parent
        auto& parents = tree.people[size_t(child)].parents;
        if (std::find(parents.begin(), parents.end(), parent) == parents.end())
            parents.push_back(parent);
    };
    add(row, index.key(row).moniker, 0);

    // Up: every parent of every ancestor, each record once.
    std::deque<int> queue{0};
    while (!queue.empty()) {
        const int person = queue.front();
        queue.pop_front();
        const int r = tree.people[size_t(person)].row;
        const int generation = tree.people[size_t(person)].generation;
        const RecordKey& key = index.key(r);
        const Moniker* parents[2] = {&key.parent1Moniker, &key.parent2Moniker};
        for (int which = 1; which <= 2; ++which) {
            const Moniker& moniker = *parents[which - 1];
            if (moniker[0] == '\0')
                continue;  // no parent named
            const std::span<const int> rows = index.rowsOf(moniker);
            if (rows.empty()) {
                // Exported, or from another world: known by what the child says.
                auto [it, fresh] = outsider.try_emplace(LineageIndex::slot(moniker), 0);
                if (fresh) {
                    it->second = add(-1, moniker, generation - 1);
                    tree.people[size_t(it->second)].name = parentName(r, which);
                }
                link(person, it->second);
                continue;
            }
            for (int parentRow : rows) {
                if (const int known = personOfRow[size_t(parentRow)]; known >= 0) {
                    link(person, known);  // met before (a line that closes on itself, or a shared ancestor)
                    continue;
                }
                const int parent = add(parentRow, moniker, generation - 1);
                link(person, parent);
                queue.push_back(parent);
            }
        }
    }

    // Down: every child of every descendant, each record once.
    queue.push_back(0);
    while (!queue.empty()) {
        const int person = queue.front();
        queue.pop_front();
        const int generation = tree.people[size_t(person)].generation;
        const Moniker moniker = tree.people[size_t(person)].moniker;  // People grows below
        for (int childRow : index.childrenOf(moniker)) {
            if (const int known = personOfRow[size_t(childRow)]; known >= 0) {
                link(known, person);
                continue;
            }
            const int child = add(childRow, index.key(childRow).moniker, generation + 1);
            link(child, person);
            queue.push_back(child);
        }
    }
    return tree;
}
