#pragma once
// What a scenario copy or append takes from its source scenario: eight entries of flags.
// Entries 0 and 7 hold one flag; entries 1 to 6 hold a flag for the entry as a whole (flag 0)
// and one per item of the source (flag i + 1 for the source's i-th item, 0-based), sized to the
// source so that a source with many streams or designs is selected in full.
//
//   0  (kept for the callers; copy and append do not read it)
//   1  process streams, by index             2  utility streams, by index
//   3  flag 0 set: copy the default manager   4  flag 0 in 1..254: copy stream links
//   5  flag 0 in 1..254: copy match cost-model names
//   6  designs, by index (flag 0 below 255: copy designs at all)
//   7  flag 0 zero: copied stream names get " from " + the source scenario's name
#include <cstddef>
#include <cstdint>
#include <vector>

class CloneSelection {
public:
    static constexpr int kNumberOfEntries = 8;
    enum Entry : int {
        EntryReserved = 0,
        EntryProcessStreams = 1,
        EntryUtilityStreams = 2,
        EntryDefaultManager = 3,
        EntryStreamLinks = 4,
        EntryCostModels = 5,
        EntryDesigns = 6,
        EntryKeepStreamNames = 7,
    };

    // Every flag 0; entries 1 to 6 have room for their entry flag only.
    CloneSelection() {
        for (int e = 0; e < kNumberOfEntries; ++e) m_flags[e].assign(1, 0);
    }

    // The select-all selection for a source with the given numbers of process streams, utility
    // streams and designs: entries 0 and 7 are 1, and every flag of entries 1 to 6 is 1.
    static CloneSelection SelectAll(std::size_t processStreams, std::size_t utilityStreams, std::size_t designs) {
        CloneSelection s;
        s.m_flags[EntryReserved].assign(1, 1);
        s.m_flags[EntryKeepStreamNames].assign(1, 1);
        s.m_flags[EntryProcessStreams].assign(processStreams + 1, 1);
        s.m_flags[EntryUtilityStreams].assign(utilityStreams + 1, 1);
        s.m_flags[EntryDefaultManager].assign(1, 1);
        s.m_flags[EntryStreamLinks].assign(1, 1);
        s.m_flags[EntryCostModels].assign(1, 1);
        s.m_flags[EntryDesigns].assign(designs + 1, 1);
        return s;
    }

    // Flag `index` of an entry; 0 for anything outside the selection.
    std::uint8_t Get(int entry, std::size_t index) const {
        if (entry < 0 || entry >= kNumberOfEntries) return 0;
        const std::vector<std::uint8_t>& flags = m_flags[entry];
        return index < flags.size() ? flags[index] : 0;
    }
    std::uint8_t EntryFlag(int entry) const { return Get(entry, 0); }
    // Whether the source's item `item` (0-based) of an entry is selected.
    bool IsItemSelected(int entry, std::size_t item) const { return Get(entry, item + 1) != 0; }

    // Sets a flag, growing the entry as needed; entries 0 and 7 hold flag 0 only. False for an
    // entry or index outside that.
    bool Set(int entry, std::size_t index, std::uint8_t value) {
        if (entry < 0 || entry >= kNumberOfEntries) return false;
        if ((entry == EntryReserved || entry == EntryKeepStreamNames) && index != 0) return false;
        std::vector<std::uint8_t>& flags = m_flags[entry];
        if (index >= flags.size()) flags.resize(index + 1, 0);
        flags[index] = value;
        return true;
    }
    bool SelectItem(int entry, std::size_t item, bool selected = true) {
        return Set(entry, item + 1, selected ? 1 : 0);
    }
    // Number of flags an entry holds (its entry flag included).
    std::size_t Size(int entry) const {
        return entry >= 0 && entry < kNumberOfEntries ? m_flags[entry].size() : 0;
    }

private:
    std::vector<std::uint8_t> m_flags[kNumberOfEntries];
};
