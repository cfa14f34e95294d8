#pragma once
// The units of a propagation and the ones waiting to calculate. Every unit calculates once;
// after that a unit calculates again only when a value it reads changes: when it wrote (what it
// wrote may let it go on), when a unit next to it changed a segment they share, or when a split
// fraction changes anywhere (it scales every heat content after it). So a unit calculates about
// as often as its inputs change, not once per pass over the whole network, and a propagation
// along a stream of many units grows with the units rather than with the units times the
// stream's length.
//
// A unit at rest (its last calculation wrote nothing, and since then nothing it reads changed)
// would write nothing again, so it is passed over at its turn instead of calculated. So is an
// exchanger whose last calculation wrote and showed that a repeat over its own writes would
// write nothing (`HeatExch::IsSettled`), when nothing else changed around it since. A unit that
// writes still gives each unit next to it the turn in the queue it has always given it, but only
// one across a segment one of whose values it changed calculates there: the
// order of calculation is that of a run that calculated them all, so every shared temperature
// comes from the same unit in the same direction and the results agree to the last bit. Only
// what the caller marks as changed between runs (`Mark`) and what the run itself touches
// calculates: a run after a change on a few streams solves the units on those streams and what
// their writes reach, in the order a full run would.
//
// The units and their connections stay as they are while the list lives; each unit's
// neighbours are found once, when it is made.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

class CNode;
class CPString;
class FlowSheet;

class UnitWorkList {
public:
    UnitWorkList(const std::vector<CNode*>& units, const FlowSheet& sheet);

    // Something the unit reads changed outside the run.
    void Mark(CNode* unit);
    // A held unit does not calculate (it stays stirred, and calculates at its turn once let go).
    void Hold(CNode* unit);
    void LetGo() { m_held.assign(m_units.size(), false); }

    // Runs until no unit writes; `whenIdle` may then hand new work (units whose values it
    // wrote). Answers the values written.
    int Run(int code, const std::function<void(std::vector<CNode*>&)>& whenIdle);
    // Unit calculations the list's runs have made.
    long Calculations() const { return m_calculations; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // One value of a segment as a unit across it reads it: the number's bits, status, text
    // (a copy in m_texts, kNone for a number: a text written in place over the one read would
    // otherwise compare with itself) and how many values it holds below it.
    struct Entry {
        std::uint64_t bits;
        int status;
        std::size_t text;
        std::size_t subValues;
    };
    // One port slot of a unit (upstream slots first): its segment (null for an empty slot) and
    // the unit across it (kNone when that is no unit of the list).
    struct Port {
        const CNode* segment;
        std::size_t neighbour;
    };
    // Appends the segment's values, in order (nothing for an empty slot).
    static void ReadPort(const CNode* segment, std::vector<Entry>& out, std::vector<CPString>& texts);
    // Whether the segment's values differ from m_before[first, end).
    bool PortChanged(const CNode* segment, std::size_t first, std::size_t end);
    void ReadPorts(std::size_t unit);
    // Puts the unit in the queue; `stir`: something it reads changed, so it calculates at its
    // turn.
    void Enqueue(std::size_t unit, bool stir);
    // A node of the list (nothing for another).
    void EnqueueNode(const CNode* unit);
    void EnqueueAll();
    void StirAll();
    // The units across the unit's ports, after the unit wrote; `changedOnly`: only those across
    // a segment the unit changed are stirred.
    void EnqueueNeighbours(std::size_t unit, bool changedOnly);

    const std::vector<CNode*>& m_units;
    const FlowSheet& m_sheet;
    // The position of each unit in the list, in an open-addressed table made once per list (a
    // propagation makes a list per trial: no allocation per unit); kNone for a node not in it.
    std::size_t IndexOf(const CNode* node) const;
    std::vector<const CNode*> m_slots;
    std::vector<std::size_t> m_slotIndex;
    std::size_t m_slotMask = 0;
    // The ports of unit i are m_ports[m_firstPort[i] .. m_firstPort[i + 1]).
    std::vector<std::size_t> m_firstPort;
    std::vector<Port> m_ports;
    std::vector<bool> m_queued;
    std::vector<bool> m_held;
    // Units not known to be at rest.
    std::vector<bool> m_stirred;
    // Units whose only stir since their last calculation is their own writes.
    std::vector<bool> m_ownWritesOnly;
    std::deque<std::size_t> m_queue;
    // The values of the ports of the unit calculating, as they were before it calculated: those
    // of its k-th port are m_before[m_portStart[k] .. m_portStart[k + 1]).
    std::vector<Entry> m_before;
    std::vector<CPString> m_texts;
    std::vector<std::size_t> m_portStart;
    long m_calculations = 0;
};
